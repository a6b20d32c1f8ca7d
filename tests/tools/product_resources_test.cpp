// The product's resource rules: the XML reader refuses what is not well-formed, the manifest
// rules accept the program's manifest and name what an XP-unsafe or incomplete one lacks, and
// the version reader gets texts and numbers back without reading past its bytes.
#include "product_resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace {

std::string ProgramManifest(const std::string& architecture) {
  std::ifstream file(NETMEND_MANIFEST_TEMPLATE);
  std::stringstream text;
  text << file.rdbuf();
  std::string manifest = text.str();
  const std::string placeholder = "@NETMEND_MANIFEST_ARCH@";
  const size_t at = manifest.find(placeholder);
  EXPECT_NE(at, std::string::npos);
  if (at != std::string::npos) manifest.replace(at, placeholder.size(), architecture);
  return manifest;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

}  // namespace

TEST(Xml, WellFormedDocumentsAreReadAndEveryOtherIsRefused) {
  std::string error;
  auto doc = pe::ParseXml(
      "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- c --><a x='1 &amp; &#x4E2D;' "
      "y=\"&lt;\"><b/>t<![CDATA[<]]><c>"
      "</c ></a>\n",
      &error);
  ASSERT_TRUE(doc) << error;
  EXPECT_EQ(doc->attributes.at("x"), "1 & \xE4\xB8\xAD");
  EXPECT_EQ(doc->attributes.at("y"), "<");
  ASSERT_EQ(doc->children.size(), 2u);
  EXPECT_EQ(doc->children[1].name, "c");

  for (const char* bad :
       {"", "<a>", "<a></b>", "<a x=1/>", "<a x='1' x='2'/>", "<a>&</a>", "<a>&bogus;</a>", "<a/><b/>",
        "<a/>text", "<a x='<'/>", "<!DOCTYPE a><a/>", "<a><!-- </a>", "<a x='1'y='2'/>", "<a>&#0;</a>"}) {
    EXPECT_FALSE(pe::ParseXml(bad, &error)) << bad;
  }
}

TEST(Manifest, TheProgramsManifestPassesAndEachGapIsNamed) {
  const std::string x86 = ProgramManifest("x86");
  EXPECT_EQ(pe::CheckManifest(x86, "x86"), std::vector<std::string>{});
  EXPECT_EQ(pe::CheckManifest(ProgramManifest("amd64"), "x86"),
            std::vector<std::string>{"assemblyIdentity is not win32 for x86"});

  // The form Windows XP SP2 refuses: trustInfo in the asm.v3 namespace.
  EXPECT_EQ(pe::CheckManifest(Replace(x86, "xmlns=\"urn:schemas-microsoft-com:asm.v2\"",
                                      "xmlns=\"urn:schemas-microsoft-com:asm.v3\""),
                              "x86"),
            (std::vector<std::string>{"the asm.v3 namespace, which Windows XP mishandles",
                                      "no trustInfo in the asm.v2 namespace"}));
  EXPECT_EQ(pe::CheckManifest(Replace(x86, "requireAdministrator", "asInvoker"), "x86"),
            std::vector<std::string>{"administrator rights are not requested"});
  EXPECT_EQ(pe::CheckManifest(Replace(x86, "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{0}"), "x86"),
            std::vector<std::string>{"Windows 10 and 11 is not listed"});
  const auto broken = pe::CheckManifest(Replace(x86, "</security>", ""), "x86");
  ASSERT_EQ(broken.size(), 1u);
  EXPECT_EQ(broken[0].rfind("manifest is not well-formed XML", 0), 0u);
}

namespace {

// One block of a version resource: header, UTF-16 key, value, children, each 4-aligned.
std::vector<uint8_t> VersionBlock(const std::u16string& key, const std::vector<uint8_t>& value, bool text,
                                  const std::vector<std::vector<uint8_t>>& children) {
  std::vector<uint8_t> b(6, 0);
  for (char16_t c : key + u'\0') {
    b.push_back(static_cast<uint8_t>(c));
    b.push_back(static_cast<uint8_t>(c >> 8));
  }
  while (b.size() % 4) b.push_back(0);
  b.insert(b.end(), value.begin(), value.end());
  for (const auto& child : children) {
    while (b.size() % 4) b.push_back(0);
    b.insert(b.end(), child.begin(), child.end());
  }
  const size_t valueLength = text ? value.size() / 2 : value.size();
  b[0] = static_cast<uint8_t>(b.size());
  b[1] = static_cast<uint8_t>(b.size() >> 8);
  b[2] = static_cast<uint8_t>(valueLength);
  b[4] = text ? 1 : 0;
  return b;
}

std::vector<uint8_t> Utf16(const std::u16string& s) {
  std::vector<uint8_t> out;
  for (char16_t c : s + u'\0') {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  return out;
}

}  // namespace

TEST(VersionInfo, TextsAndNumbersComeBackAndTruncationsAreRefused) {
  std::vector<uint8_t> fixed(52, 0);
  const uint32_t words[] = {0xFEEF04BD, 0x10000, 0x00010002, 0x00030004, 0x00010002, 0x00030004};
  std::memcpy(fixed.data(), words, sizeof words);
  const auto name = VersionBlock(u"ProductName", Utf16(u"Netmend"), true, {});
  const auto description =
      VersionBlock(u"FileDescription", Utf16(u"Netmend \u7F51\u7EDC\u4FEE\u590D"), true, {});
  const auto table = VersionBlock(u"080404b0", {}, true, {name, description});
  const auto root =
      VersionBlock(u"VS_VERSION_INFO", fixed, false, {VersionBlock(u"StringFileInfo", {}, true, {table})});

  std::string error;
  auto info = pe::ParseVersionInfo(root, &error);
  ASSERT_TRUE(info) << error;
  EXPECT_EQ(info->fileVersion[0], 1);
  EXPECT_EQ(info->fileVersion[1], 2);
  EXPECT_EQ(info->fileVersion[2], 3);
  EXPECT_EQ(info->fileVersion[3], 4);
  EXPECT_EQ(info->strings.at("080404b0/ProductName"), "Netmend");
  // Texts come back as UTF-8 (the narrow literals of this program are GBK).
  EXPECT_EQ(info->strings.at("080404b0/FileDescription"),
            "Netmend \xE7\xBD\x91\xE7\xBB\x9C\xE4\xBF\xAE\xE5\xA4\x8D");

  // Cut short, the outer length runs past the bytes (the sanitizers watch every read).
  for (size_t length = 0; length < root.size(); ++length) {
    EXPECT_FALSE(pe::ParseVersionInfo(std::span(root).first(length), &error)) << length;
  }
}

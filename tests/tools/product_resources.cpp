// The product's resources: a small XML reader for the manifest, the version resource's block
// tree, and the rules both must follow.
#include "product_resources.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace pe {
namespace {

void AppendUtf8(uint32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

class XmlReader {
 public:
  explicit XmlReader(std::string_view text) : t_(text) {}

  std::optional<XmlElement> Document(std::string* error) {
    if (t_.starts_with("\xEF\xBB\xBF")) at_ = 3;
    XmlElement root;
    if (!Misc() || !Expect("<") || !Element(&root, 0) || !Misc()) return Failed(error);
    if (at_ != t_.size()) Fail("text after the root element");
    if (!error_.empty()) return Failed(error);
    return root;
  }

 private:
  std::optional<XmlElement> Failed(std::string* error) {
    *error = error_.empty() ? "malformed" : error_;
    return std::nullopt;
  }
  bool Fail(const char* reason) {
    if (error_.empty()) error_ = reason;
    return false;
  }
  bool Starts(std::string_view s) const { return t_.substr(at_).starts_with(s); }
  bool Expect(std::string_view s) {
    if (!Starts(s)) return Fail("unexpected character");
    at_ += s.size();
    return true;
  }
  void Space() {
    while (at_ < t_.size() && t_[at_] != '\0' && std::strchr(" \t\r\n", t_[at_])) ++at_;
  }
  // Skips to just past `end`.
  bool Past(std::string_view end) {
    const size_t found = t_.find(end, at_);
    if (found == std::string_view::npos) return Fail("unterminated comment, section or instruction");
    at_ = found + end.size();
    return true;
  }
  // Comments, processing instructions (the XML declaration among them) and white space.
  bool Misc() {
    for (;;) {
      Space();
      if (Starts("<!--")) {
        if (!Past("-->")) return false;
      } else if (Starts("<?")) {
        if (!Past("?>")) return false;
      } else if (Starts("<!")) {
        return Fail("document type declarations are not read");
      } else {
        return true;
      }
    }
  }
  static bool NameChar(char c, bool first) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::isalpha(u) || c == '_' || c == ':' || u >= 0x80) return true;
    return !first && (std::isdigit(u) || c == '-' || c == '.');
  }
  bool Name(std::string* name) {
    const size_t start = at_;
    while (at_ < t_.size() && NameChar(t_[at_], at_ == start)) ++at_;
    if (at_ == start) return Fail("a name was expected");
    name->assign(t_.substr(start, at_ - start));
    return true;
  }
  // Replaces entity and character references; a bare '&' or '<' is a fault.
  bool Decode(std::string_view raw, std::string* out) {
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '<') return Fail("'<' in text or a value");
      if (raw[i] != '&') {
        out->push_back(raw[i]);
        continue;
      }
      const size_t end = raw.find(';', i);
      if (end == std::string_view::npos) return Fail("unterminated reference");
      const std::string_view ref = raw.substr(i + 1, end - i - 1);
      static const std::pair<std::string_view, char> kNamed[] = {
          {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
      auto named =
          std::find_if(std::begin(kNamed), std::end(kNamed), [&](auto& n) { return n.first == ref; });
      if (named != std::end(kNamed)) {
        out->push_back(named->second);
      } else if (ref.size() > 1 && ref[0] == '#') {
        const bool hex = ref[1] == 'x';
        const std::string digits(ref.substr(hex ? 2 : 1));
        if (digits.empty() || digits.size() > 6 ||
            digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos) {
          return Fail("bad character reference");
        }
        const unsigned long c = std::stoul(digits, nullptr, hex ? 16 : 10);
        if (c == 0 || c > 0x10FFFF) return Fail("bad character reference");
        AppendUtf8(static_cast<uint32_t>(c), out);
      } else {
        return Fail("unknown entity");
      }
      i = end;
    }
    return true;
  }
  bool Attributes(XmlElement* element) {
    for (;;) {
      const size_t before = at_;
      Space();
      if (Starts("/>") || Starts(">")) return true;
      if (at_ == before) return Fail("attributes must be separated by space");
      std::string name, value;
      if (!Name(&name)) return false;
      Space();
      if (!Expect("=")) return false;
      Space();
      if (at_ >= t_.size() || (t_[at_] != '"' && t_[at_] != '\'')) return Fail("unquoted attribute value");
      const char quote = t_[at_++];
      const size_t end = t_.find(quote, at_);
      if (end == std::string_view::npos) return Fail("unterminated attribute value");
      if (!Decode(t_.substr(at_, end - at_), &value)) return false;
      at_ = end + 1;
      if (!element->attributes.emplace(name, value).second) return Fail("repeated attribute");
    }
  }
  // Just past '<': the element, its content and its end tag.
  bool Element(XmlElement* element, int depth) {
    if (depth > 64) return Fail("elements nested too deeply");
    if (!Name(&element->name) || !Attributes(element)) return false;
    if (Starts("/>")) return Expect("/>");
    if (!Expect(">")) return false;
    for (;;) {
      const size_t lt = t_.find('<', at_);
      if (lt == std::string_view::npos) return Fail("unterminated element");
      std::string text;
      if (!Decode(t_.substr(at_, lt - at_), &text)) return false;
      at_ = lt;
      if (Starts("</")) {
        at_ += 2;
        std::string name;
        if (!Name(&name)) return false;
        if (name != element->name) return Fail("end tag does not match its start tag");
        Space();
        return Expect(">");
      }
      if (Starts("<!--")) {
        if (!Past("-->")) return false;
      } else if (Starts("<![CDATA[")) {
        if (!Past("]]>")) return false;
      } else if (Starts("<?")) {
        if (!Past("?>")) return false;
      } else {
        ++at_;
        element->children.emplace_back();
        if (!Element(&element->children.back(), depth + 1)) return false;
      }
    }
  }

  std::string_view t_;
  size_t at_ = 0;
  std::string error_;
};

// A block of the version resource: length, value length, type (1 text), key, value, children;
// each part starts on a 4-byte boundary of the resource.
struct Block {
  std::string key;
  std::span<const uint8_t> value;
  bool text = false;
  std::vector<Block> children;
};

uint16_t Word(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// UTF-16 text up to its end or its terminating zero, as UTF-8.
std::string FromUtf16(std::span<const uint8_t> bytes, size_t at, size_t end, size_t* next) {
  std::string out;
  while (at + 2 <= end) {
    uint32_t c = Word(bytes, at);
    at += 2;
    if (c == 0) break;
    if (c >= 0xD800 && c < 0xDC00 && at + 2 <= end) {
      const uint32_t low = Word(bytes, at);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        at += 2;
      }
    }
    AppendUtf8(c, &out);
  }
  if (next) *next = at;
  return out;
}

size_t Align4(size_t at) { return (at + 3) & ~size_t{3}; }

bool ReadBlock(std::span<const uint8_t> bytes, size_t at, size_t limit, int depth, Block* block,
               size_t* end) {
  if (depth > 8 || at + 6 > limit) return false;
  const size_t length = Word(bytes, at), valueLength = Word(bytes, at + 2);
  block->text = Word(bytes, at + 4) == 1;
  if (length < 6 || length > limit - at) return false;
  *end = at + length;
  size_t next;
  block->key = FromUtf16(bytes, at + 6, *end, &next);
  next = Align4(next);
  const size_t valueBytes = block->text ? 2 * valueLength : valueLength;
  if (next > *end || valueBytes > *end - next) return false;
  block->value = bytes.subspan(next, valueBytes);
  for (next = Align4(next + valueBytes); next < *end; next = Align4(next)) {
    Block child;
    size_t childEnd;
    if (!ReadBlock(bytes, next, *end, depth + 1, &child, &childEnd)) return false;
    block->children.push_back(std::move(child));
    next = childEnd;
  }
  return true;
}

void ReadVersionPair(std::span<const uint8_t> fixed, size_t at, uint16_t out[4]) {
  out[0] = Word(fixed, at + 2);
  out[1] = Word(fixed, at);
  out[2] = Word(fixed, at + 6);
  out[3] = Word(fixed, at + 4);
}

const Resource* Find(const Image& image, uint32_t type, uint32_t name = kNamedResource) {
  for (const Resource& r : image.resources) {
    if (r.type == type && (name == kNamedResource || r.name == name)) return &r;
  }
  return nullptr;
}

std::string Dotted(const uint16_t v[4]) {
  return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
         std::to_string(v[3]);
}

// Whether the element or one below it declares `uri` as its default or a prefixed namespace.
bool DeclaresNamespace(const XmlElement& e, const std::string& uri) {
  for (const auto& [name, value] : e.attributes) {
    if ((name == "xmlns" || name.starts_with("xmlns:")) && value == uri) return true;
  }
  return std::any_of(e.children.begin(), e.children.end(),
                     [&](const XmlElement& c) { return DeclaresNamespace(c, uri); });
}

}  // namespace

const XmlElement* XmlElement::Child(const std::string& childName) const {
  for (const XmlElement& c : children) {
    if (c.name == childName) return &c;
  }
  return nullptr;
}

std::optional<XmlElement> ParseXml(std::string_view text, std::string* error) {
  return XmlReader(text).Document(error);
}

std::optional<VersionInfo> ParseVersionInfo(std::span<const uint8_t> bytes, std::string* error) {
  Block root;
  size_t end;
  if (!ReadBlock(bytes, 0, bytes.size(), 0, &root, &end)) {
    *error = "version resource blocks run past their ends";
    return std::nullopt;
  }
  uint32_t signature = 0;
  if (root.key != "VS_VERSION_INFO" || root.value.size() < 52 ||
      (std::memcpy(&signature, root.value.data(), 4), signature != 0xFEEF04BD)) {
    *error = "no fixed version information";
    return std::nullopt;
  }
  VersionInfo info;
  ReadVersionPair(root.value, 8, info.fileVersion);
  ReadVersionPair(root.value, 16, info.productVersion);
  for (const Block& group : root.children) {
    if (group.key != "StringFileInfo") continue;
    for (const Block& table : group.children) {
      for (const Block& s : table.children) {
        info.strings[table.key + "/" + s.key] = FromUtf16(s.value, 0, s.value.size(), nullptr);
      }
    }
  }
  return info;
}

std::vector<std::string> CheckManifest(std::string_view text, const std::string& architecture) {
  std::string error;
  const auto root = ParseXml(text, &error);
  if (!root) return {"manifest is not well-formed XML: " + error};
  std::vector<std::string> problems;
  auto attribute = [](const XmlElement* e, const std::string& name) {
    if (!e) return std::string("(missing)");
    auto it = e->attributes.find(name);
    return it == e->attributes.end() ? std::string("(missing)") : it->second;
  };
  auto require = [&](bool ok, const std::string& problem) {
    if (!ok) problems.push_back(problem);
  };
  require(root->name == "assembly" && attribute(&*root, "xmlns") == "urn:schemas-microsoft-com:asm.v1" &&
              attribute(&*root, "manifestVersion") == "1.0",
          "the root is not an asm.v1 assembly of manifest version 1.0");
  const XmlElement* identity = root->Child("assemblyIdentity");
  require(
      attribute(identity, "type") == "win32" && attribute(identity, "processorArchitecture") == architecture,
      "assemblyIdentity is not win32 for " + architecture);
  // Windows XP SP2 refuses a manifest that puts trustInfo in the asm.v3 namespace.
  require(!DeclaresNamespace(*root, "urn:schemas-microsoft-com:asm.v3"),
          "the asm.v3 namespace, which Windows XP mishandles");
  const XmlElement* trust = root->Child("trustInfo");
  require(attribute(trust, "xmlns") == "urn:schemas-microsoft-com:asm.v2",
          "no trustInfo in the asm.v2 namespace");
  const XmlElement* security = trust ? trust->Child("security") : nullptr;
  const XmlElement* privileges = security ? security->Child("requestedPrivileges") : nullptr;
  const XmlElement* level = privileges ? privileges->Child("requestedExecutionLevel") : nullptr;
  require(attribute(level, "level") == "requireAdministrator" && attribute(level, "uiAccess") == "false",
          "administrator rights are not requested");
  std::set<std::string> ids;
  const XmlElement* compatibility = root->Child("compatibility");
  const XmlElement* application = compatibility ? compatibility->Child("application") : nullptr;
  if (application && attribute(compatibility, "xmlns") == "urn:schemas-microsoft-com:compatibility.v1") {
    for (const XmlElement& os : application->children) {
      if (os.name == "supportedOS") ids.insert(attribute(&os, "Id"));
    }
  }
  static const std::pair<const char*, const char*> kSystems[] = {
      {"Vista", "{e2011457-1546-43c5-a5fe-008deee3d3f0}"},
      {"7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},
      {"8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"},
      {"8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
      {"10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}};
  for (auto [system, id] : kSystems)
    require(ids.count(id) == 1, std::string("Windows ") + system + " is not listed");
  return problems;
}

std::vector<std::string> CheckProductResources(const Image& image) {
  std::vector<std::string> problems;
  const Resource* manifest = Find(image, kManifest, 1);
  if (!manifest) {
    problems.push_back("no application manifest (resource 24, 1)");
  } else {
    const std::string architecture = image.machine == 0x8664 ? "amd64" : "x86";
    for (auto& p : CheckManifest(
             {reinterpret_cast<const char*>(manifest->data.data()), manifest->data.size()}, architecture)) {
      problems.push_back(p);
    }
  }
  std::string error;
  const Resource* version = Find(image, kVersion);
  const auto info = version ? ParseVersionInfo(version->data, &error) : std::nullopt;
  if (!info) {
    problems.push_back("no readable version resource" + (error.empty() ? "" : ": " + error));
  } else {
    auto text = [&](const char* key) {
      for (auto& [name, value] : info->strings) {
        if (name.ends_with(std::string("/") + key)) return value;
      }
      return std::string();
    };
    if (text("ProductName") != "Netmend") problems.push_back("ProductName is not Netmend");
    if (text("FileDescription").empty()) problems.push_back("no FileDescription");
    if (text("FileVersion") != Dotted(info->fileVersion) || info->fileVersion[0] == 0) {
      problems.push_back("FileVersion text and numbers differ, or the version is 0");
    }
    if (text("ProductVersion").empty()) problems.push_back("no ProductVersion");
  }
  const Resource* icons = Find(image, kIconGroup);
  std::set<int> sizes;
  for (size_t at = 6; icons && at + 14 <= icons->data.size(); at += 14) {
    const int width = icons->data[at] ? icons->data[at] : 256;
    const uint16_t id = Word(icons->data, at + 12);
    const Resource* icon = Find(image, 3, id);
    if (icon && icon->data.size() == Word(icons->data, at + 8) + (size_t{Word(icons->data, at + 10)} << 16)) {
      sizes.insert(width);
    }
  }
  for (int size : {16, 24, 32, 48, 256}) {
    if (!sizes.count(size)) problems.push_back("no " + std::to_string(size) + " px icon");
  }
  return problems;
}

}  // namespace pe

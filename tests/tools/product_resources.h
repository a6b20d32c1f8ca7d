// What the product's resources must hold: an application manifest that Windows XP accepts and
// that asks for administrator rights, a readable version resource and the icon.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pe_image.h"

namespace pe {

inline constexpr uint32_t kIconGroup = 14, kVersion = 16, kManifest = 24;

// A well-formed XML element tree (no DTDs; the five predefined entities and character
// references). Attribute values and text come back decoded.
struct XmlElement {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::vector<XmlElement> children;
  const XmlElement* Child(const std::string& childName) const;
};
std::optional<XmlElement> ParseXml(std::string_view text, std::string* error);

// The version resource: the fixed version numbers and the texts of its string tables (UTF-8).
struct VersionInfo {
  uint16_t fileVersion[4] = {};
  uint16_t productVersion[4] = {};
  std::map<std::string, std::string> strings;  // "080404b0/ProductName" -> "Netmend"
};
std::optional<VersionInfo> ParseVersionInfo(std::span<const uint8_t> bytes, std::string* error);

// The manifest's rules, one line per fault. `architecture` is "x86" or "amd64".
std::vector<std::string> CheckManifest(std::string_view text, const std::string& architecture);

// Manifest, version resource and icon sizes of a product image, one line per fault.
std::vector<std::string> CheckProductResources(const Image& image);

}  // namespace pe

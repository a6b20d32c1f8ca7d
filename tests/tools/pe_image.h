// Reads what the product check needs from a PE file: machine, subsystem, the OS and subsystem
// versions the loader compares, the import table and the resources. Every offset is checked
// against the file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pe {

struct Import {
  std::string library;
  std::vector<std::string> functions;  // names, or "#n" for imports by ordinal
};

// One resource: type, name and language by number (a name given as text reads as
// kNamedResource), and its bytes.
inline constexpr uint32_t kNamedResource = 0xFFFFFFFF;
struct Resource {
  uint32_t type = 0, name = 0, language = 0;
  std::vector<uint8_t> data;
};

struct Image {
  uint16_t machine = 0;    // 0x14C i386, 0x8664 x86_64
  uint16_t subsystem = 0;  // 2 GUI, 3 console
  uint16_t osMajor = 0, osMinor = 0;
  uint16_t subsystemMajor = 0, subsystemMinor = 0;
  std::vector<uint32_t> sectionFileOffsets;  // of the sections with bytes in the file
  std::vector<Import> imports;
  std::vector<Resource> resources;
};

// nullopt with a reason when the bytes are not a well-formed PE image.
std::optional<Image> Read(std::span<const uint8_t> file, std::string* error);

// The allow-list: lines "library function" (# starts a comment); library names compare
// without regard to case.
struct AllowList {
  std::vector<std::pair<std::string, std::string>> entries;
  bool Allows(const std::string& library, const std::string& function) const;
};
AllowList ParseAllowList(const std::string& text);

// Everything wrong with the image for a program that Windows 2000 must load: one line each.
// The product is a GUI program; the device console beside it a console one.
inline constexpr uint16_t kGuiSubsystem = 2, kConsoleSubsystem = 3;
std::vector<std::string> CheckForWindows2000(const Image& image, const AllowList& allowed,
                                             uint16_t subsystem = kGuiSubsystem);

// Wine maps an image's sections from the file only where they start on a page there; any other
// image it reads whole into private memory, its debug information too. Empty when the sections
// are page-aligned in the file, else the one line that says they are not.
std::vector<std::string> CheckMappedFromFile(const Image& image);

}  // namespace pe

// PE reading and the Windows 2000 product check.
#include "pe_image.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace pe {
namespace {

class Cursor {
 public:
  explicit Cursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool Has(uint64_t offset, uint64_t size) const {
    return offset <= bytes_.size() && size <= bytes_.size() - offset;
  }
  template <typename T>
  bool Read(uint64_t offset, T* value) const {
    if (!Has(offset, sizeof(T))) return false;
    std::memcpy(value, bytes_.data() + offset, sizeof(T));
    return true;
  }
  void Copy(uint64_t offset, uint64_t size, std::vector<uint8_t>* out) const {
    out->assign(bytes_.begin() + static_cast<ptrdiff_t>(offset),
                bytes_.begin() + static_cast<ptrdiff_t>(offset + size));
  }
  bool ReadString(uint64_t offset, std::string* text) const {
    if (offset >= bytes_.size()) return false;
    const uint8_t* begin = bytes_.data() + offset;
    const uint8_t* end = std::find(begin, bytes_.data() + bytes_.size(), 0);
    if (end == bytes_.data() + bytes_.size()) return false;
    text->assign(begin, end);
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
};

struct Section {
  uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

std::optional<uint64_t> FileOffset(const std::vector<Section>& sections, uint32_t rva) {
  for (const Section& s : sections) {
    const uint32_t size = std::max(s.virtualSize, s.rawSize);
    if (rva >= s.virtualAddress && rva - s.virtualAddress < size) {
      const uint32_t delta = rva - s.virtualAddress;
      if (delta >= s.rawSize) return std::nullopt;
      return uint64_t{s.rawOffset} + delta;
    }
  }
  return std::nullopt;
}

// The resource tree: type, name and language directories, then data entries (whose offsets
// are addresses in the image, not offsets into the tree).
bool ReadResources(const Cursor& in, const std::vector<Section>& sections, uint32_t rva,
                   std::vector<Resource>* out) {
  const auto root = FileOffset(sections, rva);
  if (!root) return false;
  // Entries of the directory at `offset` (relative to the root): pairs (id, offset).
  auto entries = [&](uint32_t offset, std::vector<std::pair<uint32_t, uint32_t>>* list) {
    uint16_t named, numbered;
    if (!in.Read(*root + offset + 12, &named) || !in.Read(*root + offset + 14, &numbered)) return false;
    for (uint32_t i = 0; i < uint32_t{named} + numbered; ++i) {
      uint32_t id, target;
      const uint64_t at = *root + offset + 16 + 8ull * i;
      if (!in.Read(at, &id) || !in.Read(at + 4, &target)) return false;
      list->emplace_back(id & 0x80000000u ? kNamedResource : id, target);
    }
    return true;
  };
  auto subdirectory = [](uint32_t target) { return (target & 0x80000000u) != 0; };
  std::vector<std::pair<uint32_t, uint32_t>> types;
  if (!entries(0, &types)) return false;
  for (auto [type, typeAt] : types) {
    std::vector<std::pair<uint32_t, uint32_t>> names;
    if (!subdirectory(typeAt) || !entries(typeAt & 0x7FFFFFFF, &names)) return false;
    for (auto [name, nameAt] : names) {
      std::vector<std::pair<uint32_t, uint32_t>> languages;
      if (!subdirectory(nameAt) || !entries(nameAt & 0x7FFFFFFF, &languages)) return false;
      for (auto [language, dataAt] : languages) {
        uint32_t dataRva, size;
        if (subdirectory(dataAt) || !in.Read(*root + dataAt, &dataRva) ||
            !in.Read(*root + dataAt + 4, &size)) {
          return false;
        }
        const auto data = FileOffset(sections, dataRva);
        if (!data || !in.Has(*data, size)) return false;
        Resource r{type, name, language, {}};
        in.Copy(*data, size, &r.data);
        out->push_back(std::move(r));
        if (out->size() > 10000) return false;
      }
    }
  }
  return true;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::optional<Image> Read(std::span<const uint8_t> file, std::string* error) {
  auto fail = [&](const char* reason) -> std::optional<Image> {
    *error = reason;
    return std::nullopt;
  };
  Cursor in(file);
  uint16_t mz;
  uint32_t peOffset, signature;
  if (!in.Read(0, &mz) || mz != 0x5A4D) return fail("no MZ header");
  if (!in.Read(0x3C, &peOffset) || !in.Read(peOffset, &signature) || signature != 0x00004550) {
    return fail("no PE signature");
  }
  Image image;
  uint16_t sectionCount, optionalSize, magic;
  const uint64_t fileHeader = uint64_t{peOffset} + 4;
  const uint64_t optional = fileHeader + 20;
  if (!in.Read(fileHeader, &image.machine) || !in.Read(fileHeader + 2, &sectionCount) ||
      !in.Read(fileHeader + 16, &optionalSize) || !in.Read(optional, &magic)) {
    return fail("truncated file header");
  }
  if (magic != 0x10B && magic != 0x20B) return fail("unknown optional header");
  const bool pe32plus = magic == 0x20B;
  if (!in.Read(optional + 40, &image.osMajor) || !in.Read(optional + 42, &image.osMinor) ||
      !in.Read(optional + 48, &image.subsystemMajor) || !in.Read(optional + 50, &image.subsystemMinor) ||
      !in.Read(optional + 68, &image.subsystem)) {
    return fail("truncated optional header");
  }
  const uint64_t directories = optional + (pe32plus ? 112 : 96);
  uint32_t importRva = 0, importSize = 0, resourceRva = 0;
  if (!in.Read(directories + 8, &importRva) || !in.Read(directories + 12, &importSize) ||
      !in.Read(directories + 16, &resourceRva)) {
    return fail("truncated data directories");
  }

  std::vector<Section> sections;
  const uint64_t sectionTable = optional + optionalSize;
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const uint64_t at = sectionTable + 40ull * i;
    Section s;
    if (!in.Read(at + 8, &s.virtualSize) || !in.Read(at + 12, &s.virtualAddress) ||
        !in.Read(at + 16, &s.rawSize) || !in.Read(at + 20, &s.rawOffset)) {
      return fail("truncated section table");
    }
    sections.push_back(s);
    if (s.rawSize != 0) image.sectionFileOffsets.push_back(s.rawOffset);
  }
  if (resourceRva != 0 && !ReadResources(in, sections, resourceRva, &image.resources)) {
    return fail("bad resource tree");
  }
  if (importRva == 0) return image;

  auto descriptor = FileOffset(sections, importRva);
  if (!descriptor) return fail("import table outside every section");
  for (uint64_t at = *descriptor;; at += 20) {
    uint32_t lookupRva, nameRva, addressRva;
    if (!in.Read(at, &lookupRva) || !in.Read(at + 12, &nameRva) || !in.Read(at + 16, &addressRva)) {
      return fail("truncated import descriptor");
    }
    if (lookupRva == 0 && nameRva == 0 && addressRva == 0) break;
    Import import;
    auto nameAt = FileOffset(sections, nameRva);
    if (!nameAt || !in.ReadString(*nameAt, &import.library)) return fail("bad import library name");
    auto thunk = FileOffset(sections, lookupRva ? lookupRva : addressRva);
    if (!thunk) return fail("bad import lookup table");
    const unsigned width = pe32plus ? 8 : 4;
    for (uint64_t entryAt = *thunk;; entryAt += width) {
      uint64_t entry = 0;
      if (pe32plus ? !in.Read(entryAt, &entry) : !in.Read(entryAt, reinterpret_cast<uint32_t*>(&entry))) {
        return fail("truncated import lookup table");
      }
      if (entry == 0) break;
      const uint64_t ordinalFlag = pe32plus ? (1ull << 63) : (1ull << 31);
      if (entry & ordinalFlag) {
        import.functions.push_back("#" + std::to_string(entry & 0xFFFF));
        continue;
      }
      auto hintAt = FileOffset(sections, static_cast<uint32_t>(entry & 0x7FFFFFFF));
      std::string name;
      if (!hintAt || !in.ReadString(*hintAt + 2, &name)) return fail("bad import name");
      import.functions.push_back(name);
      if (import.functions.size() > 100000) return fail("absurd import count");
    }
    image.imports.push_back(std::move(import));
    if (image.imports.size() > 10000) return fail("absurd import descriptor count");
  }
  return image;
}

bool AllowList::Allows(const std::string& library, const std::string& function) const {
  const std::string lib = Lower(library);
  return std::any_of(entries.begin(), entries.end(),
                     [&](const auto& entry) { return entry.first == lib && entry.second == function; });
}

AllowList ParseAllowList(const std::string& text) {
  AllowList list;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string library, function;
    if (!(words >> library)) continue;
    while (words >> function) list.entries.emplace_back(Lower(library), function);
  }
  return list;
}

std::vector<std::string> CheckForWindows2000(const Image& image, const AllowList& allowed,
                                             uint16_t subsystem) {
  std::vector<std::string> problems;
  if (image.machine != 0x14C) problems.push_back("machine is not i386");
  if (image.subsystem != subsystem)
    problems.push_back(subsystem == kGuiSubsystem ? "subsystem is not Windows GUI"
                                                  : "subsystem is not console");
  auto above50 = [](uint16_t major, uint16_t minor) { return major > 5 || (major == 5 && minor > 0); };
  if (above50(image.osMajor, image.osMinor)) {
    problems.push_back("OS version " + std::to_string(image.osMajor) + "." + std::to_string(image.osMinor) +
                       " is above 5.0");
  }
  if (above50(image.subsystemMajor, image.subsystemMinor)) {
    problems.push_back("subsystem version " + std::to_string(image.subsystemMajor) + "." +
                       std::to_string(image.subsystemMinor) + " is above 5.0");
  }
  for (const Import& import : image.imports) {
    for (const std::string& function : import.functions) {
      if (!allowed.Allows(import.library, function)) {
        problems.push_back("import not on the Windows 2000 list: " + import.library + " " + function);
      }
    }
  }
  return problems;
}

std::vector<std::string> CheckMappedFromFile(const Image& image) {
  constexpr uint32_t kPage = 0x1000;
  const auto& offsets = image.sectionFileOffsets;
  const size_t off =
      std::count_if(offsets.begin(), offsets.end(), [](uint32_t at) { return at % kPage != 0; });
  if (off == 0) return {};
  return {std::to_string(off) + " of " + std::to_string(offsets.size()) +
          " sections start off a page in the file: Wine copies the image into private memory"};
}

}  // namespace pe

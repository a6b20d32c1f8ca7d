// Template blocks as readable text.
#include "tools/template_dump.h"

#include <cstdarg>
#include <cstdio>

#include "components/label/label_properties.h"
#include "runtime/templates/class_blocks.h"
#include "runtime/templates/template_reader.h"
#include "runtime/templates/window_template.h"

namespace tools {

using namespace runtime;
using components::ReadTransLabelBlock;
using components::TransLabelProperties;

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(length > 0 ? length : 0, '\0');
  vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}

const char* ClassName(uint32_t typeReference) {
  switch (typeReference) {
    case kClassWindow:
      return "window";
    case kClassMenuItem:
      return "menu item";
    case kClassButton:
      return "Button";
    case kClassTimer:
      return "Timer";
    case kClassCartoonBox:
      return "CartoonBox";
    case kClassCartoonObject:
      return "CartoonObject";
    case kClassTransLabel:
      return "TransLabel";
  }
  return "unknown class";
}

bool KnownClass(uint32_t typeReference) {
  return typeReference == kClassWindow || typeReference == kClassButton || typeReference == kClassTimer ||
         typeReference == kClassTransLabel;
}

std::string HexBytes(std::span<const uint8_t> bytes, size_t limit = 32) {
  std::string text;
  for (size_t i = 0; i < bytes.size() && i < limit; ++i) text += Format(i ? " %02X" : "%02X", bytes[i]);
  if (bytes.size() > limit) text += " ...";
  return text;
}

class Dumper {
 public:
  explicit Dumper(const DumpOptions& options) : options_(options) {}

  std::string Dump(std::span<const uint8_t> block) {
    TemplateReadResult result = ReadTemplateBlock(block);
    if (!result.Ok()) {
      return Format("template block: %zu bytes, rejected at offset %zu: %s\n", block.size(),
                    result.errorOffset, TemplateErrorText(result.error));
    }
    out_ = Format("template block: %zu bytes, %zu windows\n", block.size(), result.table.windows.size());
    for (const WindowTemplate& window : result.table.windows) DumpWindow(window);
    return std::move(out_);
  }

 private:
  std::string Quote(std::string_view bytes) {
    return options_.quote ? options_.quote(bytes) : QuoteEscaped(bytes);
  }

  void Line(int indent, const std::string& text) { out_ += std::string(indent, ' ') + text + "\n"; }

  void DumpWindow(const WindowTemplate& window) {
    out_ += "\n";
    Line(0, Format("window 0x%08X: words 0x%08X 0x%08X, texts %s %s, %zu units", window.id, window.words[0],
                   window.words[1], Quote(window.firstText).c_str(), Quote(window.secondText).c_str(),
                   window.units.size()));
    for (const UnitTemplate& unit : window.units) DumpUnit(unit);
  }

  void DumpUnit(const UnitTemplate& unit) {
    Line(2, Format("unit 0x%08X %s: %s (0x%08X)", unit.id, Quote(unit.name).c_str(),
                   ClassName(unit.typeReference), unit.typeReference));
    Line(4, Format("left %d, top %d, width %d, height %d", unit.left, unit.top, unit.width, unit.height));
    DumpStoredExtras(unit);
    Line(4, "events: " + Bindings(unit));
    DumpClassBlock(unit);
  }

  static std::string FlagNames(uint32_t flags) {
    std::string names;
    const char* known[] = {"visible", "disabled", "tab stop"};
    for (int bit = 0; bit < 32; ++bit) {
      if (!(flags & (1u << bit))) continue;
      names += names.empty() ? " (" : ", ";
      names += bit < 3 ? std::string(known[bit]) : Format("bit %d", bit);
    }
    return names.empty() ? " (hidden)" : names + ")";
  }

  // Items that are the same in every unit of a plain layout are shown only when they differ.
  void DumpStoredExtras(const UnitTemplate& unit) {
    std::string line = Format("flags 0x%08X%s, ", unit.flags, FlagNames(unit.flags).c_str());
    line += unit.cursorData == Bytes(4, 0) ? "default cursor" : "cursor data " + HexBytes(unit.cursorData);
    if (unit.parentId) line += Format(", parent 0x%08X", unit.parentId);
    if (!unit.tag.empty()) line += ", tag " + Quote(unit.tag);
    if (unit.arrayLeader) line += Format(", array leader 0x%08X", unit.arrayLeader);
    for (uint32_t child : unit.children) line += Format(", child 0x%08X", child);
    if (!unit.secondText.empty()) line += ", second text " + Quote(unit.secondText);
    Line(4, line);
    std::string words;
    for (uint32_t w : unit.headWords) words += w ? Format(" head 0x%08X", w) : "";
    if (unit.flagsLead || unit.flagsTrail)
      words += Format(" around flags 0x%08X 0x%08X", unit.flagsLead, unit.flagsTrail);
    for (uint32_t w : unit.tailWords) words += w ? Format(" tail 0x%08X", w) : "";
    if (!words.empty()) Line(4, "stored words:" + words);
  }

  std::string Bindings(const UnitTemplate& unit) {
    if (unit.bindings.empty()) return "none";
    std::string text;
    for (const EventBinding& binding : unit.bindings) {
      if (!text.empty()) text += "; ";
      if (binding.reference == kNoHandler) {
        text += Format("%d -> none", binding.eventIndex);
        continue;
      }
      text += Format("%d -> %u", binding.eventIndex, binding.reference);
      std::string name = options_.handlerName ? options_.handlerName(binding.reference) : std::string();
      if (!name.empty()) text += " " + name;
    }
    return text;
  }

  void DumpClassBlock(const UnitTemplate& unit) {
    const Bytes& block = unit.classBlock;
    std::string head = block.empty() ? "class block: empty" : Format("class block: %zu bytes", block.size());
    if (block.size() >= 4 && KnownClass(unit.typeReference)) {
      head += Format(", version %u", block[0] | block[1] << 8 | block[2] << 16 | uint32_t{block[3]} << 24);
    }
    switch (unit.typeReference) {
      case kClassWindow:
        return Decoded(head, ReadWindowBlock(block), &Dumper::WindowLines);
      case kClassButton:
        return Decoded(head, ReadButtonBlock(block), &Dumper::ButtonLines);
      case kClassTimer:
        return Decoded(head, ReadTimerBlock(block), &Dumper::TimerLines);
      case kClassTransLabel:
        return Decoded(head, ReadTransLabelBlock(block), &Dumper::LabelLines);
    }
    Line(4, block.empty() ? head : head + ": " + HexBytes(block));
  }

  template <typename Properties>
  void Decoded(const std::string& head, const ClassBlockRead<Properties>& read,
               void (Dumper::*lines)(const Properties&)) {
    if (read.status == ClassBlockStatus::kNewerVersion) return Line(4, head + ", rejected: newer version");
    if (read.status == ClassBlockStatus::kMalformed) return Line(4, head + ", rejected: malformed");
    Line(4, head + (head.ends_with("empty") ? ", the class defaults" : ""));
    (this->*lines)(read.properties);
  }

  void WindowLines(const WindowProperties& p) {
    Line(6, Format("border style %d, picture placement %d, background colour %s, shape %d", p.borderStyle,
                   p.picturePlacement, Colour(p.backgroundColour).c_str(), p.shape));
    Line(6, Format("maximize button %d, minimize button %d, control box %d, close allowed %d",
                   p.maximizeButton, p.minimizeButton, p.controlBox, p.closeAllowed));
    Line(6, Format("start position %d, always on top %d, shown in the taskbar %d, drag by client area %d",
                   p.startPosition, p.alwaysOnTop, p.showInTaskbar, p.dragByClient));
    Line(6, Format("Enter moves focus %d, Esc closes %d, F1 help %d, help context %d, keep caption active %d",
                   p.enterMovesFocus, p.escCloses, p.f1Help, p.helpContext, p.keepCaptionActive));
    Line(6, Format("sound playing %d, picture %zu bytes, icon %zu bytes, sound %zu bytes", p.soundPlaying,
                   p.picture.size(), p.icon.size(), p.sound.size()));
    Line(6, "title " + Quote(p.title) + ", class name " + Quote(p.className) + ", help file " +
                Quote(p.helpFile));
  }

  void ButtonLines(const ButtonProperties& p) {
    Line(6, Format("type %d, horizontal align %d, vertical align %d, picture %zu bytes", p.type,
                   p.horizontalAlign, p.verticalAlign, p.picture.size()));
    Line(6, "caption " + Quote(p.caption));
    FontLines(p.font);
  }

  void TimerLines(const TimerProperties& p) { Line(6, Format("interval %d ms", p.interval)); }

  void LabelLines(const TransLabelProperties& p) {
    Line(6,
         Format("text effect %d, text colour %s, horizontal align %d, vertical align %d, word wrap %d",
                p.textEffect, Colour(p.textColour).c_str(), p.horizontalAlign, p.verticalAlign, p.wordWrap));
    Line(6, "caption " + Quote(p.caption));
    FontLines(p.font);
  }

  static std::string Colour(uint32_t colour) {
    return colour == kNoColor ? std::string("none") : Format("0x%08X", colour);
  }

  void FontLines(const Bytes& bytes) {
    std::optional<FontRecord> font = ReadFontRecord(bytes);
    if (!font)
      return Line(6,
                  bytes.empty() ? "font default" : Format("font default (%zu bytes stored)", bytes.size()));
    Line(6, "font " + Quote(font->FaceName()) +
                Format(", height %d, weight %d, char set %d", font->height, font->weight, font->charSet));
    Line(8, Format("width %d, escapement %d, orientation %d, italic %d, underline %d, strike-out %d",
                   font->width, font->escapement, font->orientation, font->italic, font->underline,
                   font->strikeOut));
    Line(8, Format("output precision %d, clip precision %d, quality %d, pitch and family 0x%02X",
                   font->outPrecision, font->clipPrecision, font->quality, font->pitchAndFamily));
  }

  const DumpOptions& options_;
  std::string out_;
};

}  // namespace

std::string QuoteEscaped(std::string_view bytes) {
  std::string text = "\"";
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') text += '\\';
    text += (b >= 0x20 && b < 0x7F) ? std::string(1, c) : Format("\\x%02X", b);
  }
  return text + "\"";
}

std::string DumpTemplateBlock(std::span<const uint8_t> block, const DumpOptions& options) {
  return Dumper(options).Dump(block);
}

}  // namespace tools

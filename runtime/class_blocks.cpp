// Reading the class property blocks. An empty block keeps every default; a newer version than
// the class knows is rejected; a field that runs past the end makes the block malformed. Bytes
// after the last known field are ignored.
#include "runtime/class_blocks.h"

#include <utility>

#include "runtime/byte_reader.h"

namespace runtime {
namespace {

// Reads the version; sets the status when the block cannot be read any further. Returns
// whether the fields should be read.
template <typename Properties>
bool StartBlock(ByteReader& reader, ClassBlockRead<Properties>& result, uint32_t& version) {
  if (reader.AtEnd()) return false;  // empty: the defaults
  version = reader.U32();
  if (!reader.Ok()) {
    result.status = ClassBlockStatus::kMalformed;
    return false;
  }
  if (version > Properties::kVersion) {
    result.status = ClassBlockStatus::kNewerVersion;
    return false;
  }
  return true;
}

template <typename Properties>
ClassBlockRead<Properties> Finish(const ByteReader& reader, Properties properties) {
  if (!reader.Ok()) return {ClassBlockStatus::kMalformed, {}};
  return {ClassBlockStatus::kOk, std::move(properties)};
}

bool Logical(ByteReader& reader) { return reader.U32() != 0; }

}  // namespace

std::optional<FontRecord> ReadFontRecord(std::span<const uint8_t> bytes) {
  if (bytes.size() != kFontRecordSize) return std::nullopt;
  ByteReader reader(bytes);
  FontRecord font;
  font.height = reader.I32();
  font.width = reader.I32();
  font.escapement = reader.I32();
  font.orientation = reader.I32();
  font.weight = reader.I32();
  std::span<const uint8_t> b = reader.Take(8);
  font.italic = b[0];
  font.underline = b[1];
  font.strikeOut = b[2];
  font.charSet = b[3];
  font.outPrecision = b[4];
  font.clipPrecision = b[5];
  font.quality = b[6];
  font.pitchAndFamily = b[7];
  std::span<const uint8_t> face = reader.Take(font.faceBuffer.size());
  for (size_t i = 0; i < face.size(); ++i) font.faceBuffer[i] = static_cast<char>(face[i]);
  return font;
}

ClassBlockRead<WindowProperties> ReadWindowBlock(std::span<const uint8_t> block) {
  ByteReader reader(block);
  ClassBlockRead<WindowProperties> result;
  uint32_t version = 0;
  if (!StartBlock(reader, result, version)) return result;
  WindowProperties p;
  p.borderStyle = reader.I32();
  p.picturePlacement = reader.I32();
  p.backgroundColour = reader.U32();
  p.maximizeButton = Logical(reader);
  p.minimizeButton = Logical(reader);
  p.controlBox = Logical(reader);
  p.startPosition = reader.I32();
  p.closeAllowed = Logical(reader);
  p.soundPlaying = reader.I32();
  p.enterMovesFocus = Logical(reader);
  p.escCloses = Logical(reader);
  p.f1Help = Logical(reader);
  p.helpContext = reader.I32();
  if (version >= 2) p.showInTaskbar = Logical(reader);
  if (version >= 3) {
    p.dragByClient = Logical(reader);
    p.shape = reader.I32();
  }
  if (version >= 4) p.alwaysOnTop = Logical(reader);
  if (version >= 5) p.keepCaptionActive = Logical(reader);
  if (version >= 6) p.className = reader.PrefixedText();
  p.picture = reader.PrefixedBytes();
  p.icon = reader.PrefixedBytes();
  p.sound = reader.PrefixedBytes();
  p.title = reader.PrefixedText();
  p.helpFile = reader.PrefixedText();
  return Finish(reader, std::move(p));
}

ClassBlockRead<ButtonProperties> ReadButtonBlock(std::span<const uint8_t> block) {
  ByteReader reader(block);
  ClassBlockRead<ButtonProperties> result;
  uint32_t version = 0;
  if (!StartBlock(reader, result, version)) return result;
  ButtonProperties p;
  p.type = reader.I32();
  p.horizontalAlign = reader.I32();
  p.verticalAlign = reader.I32();
  p.picture = reader.PrefixedBytes();
  p.font = reader.PrefixedBytes();
  p.caption = reader.PrefixedText();
  return Finish(reader, std::move(p));
}

ClassBlockRead<TimerProperties> ReadTimerBlock(std::span<const uint8_t> block) {
  ByteReader reader(block);
  ClassBlockRead<TimerProperties> result;
  uint32_t version = 0;
  if (!StartBlock(reader, result, version)) return result;
  TimerProperties p;
  p.interval = reader.I32();
  return Finish(reader, p);
}

ClassBlockRead<TransLabelProperties> ReadTransLabelBlock(std::span<const uint8_t> block) {
  ByteReader reader(block);
  ClassBlockRead<TransLabelProperties> result;
  uint32_t version = 0;
  if (!StartBlock(reader, result, version)) return result;
  TransLabelProperties p;
  p.textEffect = reader.I32();
  p.textColour = reader.U32();
  p.horizontalAlign = reader.I32();
  p.verticalAlign = reader.I32();
  p.wordWrap = Logical(reader);
  p.font = reader.PrefixedBytes();
  p.caption = reader.PrefixedText();
  return Finish(reader, std::move(p));
}

}  // namespace runtime

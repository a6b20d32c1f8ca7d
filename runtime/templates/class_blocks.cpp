// Reading the class property blocks. An empty block keeps every default; a newer version than
// the class knows is rejected; a field that runs past the end makes the block malformed. Bytes
// after the last known field are ignored.
#include "runtime/templates/class_blocks.h"

#include <utility>

namespace runtime {

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
  return ReadClassBlock<WindowProperties>(block,
                                          [](ByteReader& reader, uint32_t version, WindowProperties& p) {
                                            p.borderStyle = reader.I32();
                                            p.picturePlacement = reader.I32();
                                            p.backgroundColour = reader.U32();
                                            p.maximizeButton = ReadLogical(reader);
                                            p.minimizeButton = ReadLogical(reader);
                                            p.controlBox = ReadLogical(reader);
                                            p.startPosition = reader.I32();
                                            p.closeAllowed = ReadLogical(reader);
                                            p.soundPlaying = reader.I32();
                                            p.enterMovesFocus = ReadLogical(reader);
                                            p.escCloses = ReadLogical(reader);
                                            p.f1Help = ReadLogical(reader);
                                            p.helpContext = reader.I32();
                                            if (version >= 2) p.showInTaskbar = ReadLogical(reader);
                                            if (version >= 3) {
                                              p.dragByClient = ReadLogical(reader);
                                              p.shape = reader.I32();
                                            }
                                            if (version >= 4) p.alwaysOnTop = ReadLogical(reader);
                                            if (version >= 5) p.keepCaptionActive = ReadLogical(reader);
                                            if (version >= 6) p.className = reader.PrefixedText();
                                            p.picture = reader.PrefixedBytes();
                                            p.icon = reader.PrefixedBytes();
                                            p.sound = reader.PrefixedBytes();
                                            p.title = reader.PrefixedText();
                                            p.helpFile = reader.PrefixedText();
                                          });
}

ClassBlockRead<ButtonProperties> ReadButtonBlock(std::span<const uint8_t> block) {
  return ReadClassBlock<ButtonProperties>(block, [](ByteReader& reader, uint32_t, ButtonProperties& p) {
    p.type = reader.I32();
    p.horizontalAlign = reader.I32();
    p.verticalAlign = reader.I32();
    p.picture = reader.PrefixedBytes();
    p.font = reader.PrefixedBytes();
    p.caption = reader.PrefixedText();
  });
}

ClassBlockRead<TimerProperties> ReadTimerBlock(std::span<const uint8_t> block) {
  return ReadClassBlock<TimerProperties>(
      block, [](ByteReader& reader, uint32_t, TimerProperties& p) { p.interval = reader.I32(); });
}

}  // namespace runtime

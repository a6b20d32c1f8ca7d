// Reading the transparent label's class block, by the rules of every class block: empty gives
// the defaults, a newer version is rejected, a field running past the end is malformed.
#include "components/label/label_properties.h"

#include "base/byte_reader.h"

namespace components {

using base::ByteReader;

ClassBlockRead<TransLabelProperties> ReadTransLabelBlock(std::span<const uint8_t> block) {
  return runtime::ReadClassBlock<TransLabelProperties>(
      block, [](ByteReader& reader, uint32_t, TransLabelProperties& p) {
        p.textEffect = reader.I32();
        p.textColour = reader.U32();
        p.horizontalAlign = reader.I32();
        p.verticalAlign = reader.I32();
        p.wordWrap = runtime::ReadLogical(reader);
        p.font = reader.PrefixedBytes();
        p.caption = reader.PrefixedText();
      });
}

}  // namespace components

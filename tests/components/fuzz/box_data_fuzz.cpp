// libFuzzer target: the animation box's stored property data. What is accepted must write out
// and read back to the same properties; what is rejected leaves the defaults.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "components/box/box_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  components::BoxProperties read;
  if (!components::ReadBoxData({data, size}, &read)) {
    if (!(read == components::BoxProperties())) abort();
    return 0;
  }
  components::BoxProperties again;
  if (!components::ReadBoxData(components::WriteBoxData(read), &again) || !(again == read)) abort();
  return 0;
}

// libFuzzer target: the animation object's stored property data. What is accepted must write
// out and read back to the same properties.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "components/object/object_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  components::ObjectProperties read;
  if (!components::ReadObjectData({data, size}, &read)) {
    if (!(read == components::ObjectProperties())) abort();  // rejected: the defaults stay
    return 0;
  }
  components::ObjectProperties again;
  if (!components::ReadObjectData(components::WriteObjectData(read), &again) || !(again == read)) abort();
  return 0;
}

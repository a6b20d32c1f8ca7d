// The animation box's shared resources: frame sets (source and rendered images) and byte blocks
// (sounds), reference-counted and compared by content, so that many objects made from one
// picture hold a single copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "components/image/frame_set.h"

namespace components {

class ResourcePool {
 public:
  // An entry holding this image or one equal to it gains a reference; otherwise a new entry
  // takes the image over. The returned image belongs to the pool until released; null when
  // `image` is no image (nothing to pool).
  const FrameSet* AddImage(FrameSet image);
  // One more reference to an image the pool already holds.
  const FrameSet* AddImage(const FrameSet* pooled);
  // The same for byte blocks; null for an empty block.
  const std::vector<uint8_t>* AddBytes(std::span<const uint8_t> bytes);
  const std::vector<uint8_t>* AddBytes(const std::vector<uint8_t>* pooled);

  // Takes one reference; at none left the resource is freed. Null is ignored.
  void Release(const void* resource);

  size_t EntryCount() const { return entries_.size(); }
  // The references held on the entry of `resource`, 0 when the pool does not hold it.
  int References(const void* resource) const;
  void Clear() { entries_.clear(); }

 private:
  struct Entry {
    std::unique_ptr<FrameSet> image;
    std::unique_ptr<std::vector<uint8_t>> bytes;
    int references = 0;
    const void* Resource() const {
      return image ? static_cast<const void*>(image.get()) : static_cast<const void*>(bytes.get());
    }
  };
  Entry* Find(const void* resource);

  std::vector<Entry> entries_;
};

}  // namespace components

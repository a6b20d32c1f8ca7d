// The animation box's reference-counted resource pool.
#include "components/box/resource_pool.h"

#include <algorithm>
#include <utility>

namespace components {

namespace {

// Cheap fields first: a pool of many images differing in size rejects them without a pixel scan.
bool SameImage(const FrameSet& a, const FrameSet& b) {
  if (a.width != b.width || a.height != b.height || a.frames.size() != b.frames.size()) return false;
  for (size_t i = 0; i < a.frames.size(); ++i) {
    const Frame& fa = a.frames[i];
    const Frame& fb = b.frames[i];
    if (fa.transparentColor != fb.transparentColor || fa.delay != fb.delay) return false;
  }
  return a == b;
}

}  // namespace

ResourcePool::Entry* ResourcePool::Find(const void* resource) {
  for (Entry& entry : entries_)
    if (entry.Resource() == resource) return &entry;
  return nullptr;
}

const FrameSet* ResourcePool::AddImage(FrameSet image) {
  if (image.Empty()) return nullptr;
  for (Entry& entry : entries_) {
    if (entry.image && SameImage(*entry.image, image)) {
      ++entry.references;
      return entry.image.get();
    }
  }
  Entry entry;
  entry.image = std::make_unique<FrameSet>(std::move(image));
  entry.references = 1;
  entries_.push_back(std::move(entry));
  return entries_.back().image.get();
}

const FrameSet* ResourcePool::AddImage(const FrameSet* pooled) {
  Entry* entry = Find(pooled);
  if (!entry) return pooled ? AddImage(FrameSet(*pooled)) : nullptr;
  ++entry->references;
  return entry->image.get();
}

const std::vector<uint8_t>* ResourcePool::AddBytes(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return nullptr;
  for (Entry& entry : entries_) {
    if (entry.bytes && std::ranges::equal(*entry.bytes, bytes)) {
      ++entry.references;
      return entry.bytes.get();
    }
  }
  Entry entry;
  entry.bytes = std::make_unique<std::vector<uint8_t>>(bytes.begin(), bytes.end());
  entry.references = 1;
  entries_.push_back(std::move(entry));
  return entries_.back().bytes.get();
}

const std::vector<uint8_t>* ResourcePool::AddBytes(const std::vector<uint8_t>* pooled) {
  Entry* entry = Find(pooled);
  if (!entry) return pooled ? AddBytes(std::span<const uint8_t>(*pooled)) : nullptr;
  ++entry->references;
  return entry->bytes.get();
}

void ResourcePool::Release(const void* resource) {
  if (!resource) return;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].Resource() != resource) continue;
    if (--entries_[i].references <= 0) entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(i));
    return;
  }
}

int ResourcePool::References(const void* resource) const {
  for (const Entry& entry : entries_)
    if (entry.Resource() == resource) return entry.references;
  return 0;
}

}  // namespace components

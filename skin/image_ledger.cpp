// Reference counts of images held by window properties and drawn by compositions.
#include "skin/image_ledger.h"

namespace skin {

// A spin lock: the product's thread model has no std::mutex, and it is held only for a
// property read or write and a few map operations. A waiter spins briefly, then gives the
// processor up: on one CPU a holder preempted inside would otherwise cost whole time slices.
class ImageLedger::Guard {
 public:
  Guard(std::atomic_flag& flag, Yield yield) : flag_(flag) {
    for (int spins = 0; flag_.test_and_set(std::memory_order_acquire); ++spins) {
      if (yield && spins >= kSpins) yield();
    }
  }
  ~Guard() { flag_.clear(std::memory_order_release); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  static constexpr int kSpins = 64;
  std::atomic_flag& flag_;
};

void ImageLedger::Register(Image image, uintptr_t keepAlive) {
  if (!image) return;
  uintptr_t orphan = 0;
  {
    Guard guard(lock_, yield_);
    disposed_.erase(image);
    Entry& entry = entries_[image];
    orphan = entry.keepAlive;
    entry = Entry{};
    entry.keepAlive = keepAlive;
  }
  if (orphan) disposer_(0, orphan);
}

// Disposes the entry's image when nothing needs it any more, or forgets an image the ledger
// does not own once no property holds it.
void ImageLedger::Settle(Image image, std::vector<Doomed>* doomed) {
  auto it = entries_.find(image);
  if (it == entries_.end()) return;
  const Entry& entry = it->second;
  if (entry.holders || entry.pins) return;
  if (entry.released) {
    doomed->push_back({image, entry.keepAlive});
    entries_.erase(it);
    disposed_.insert(image);
  } else if (!entry.keepAlive) {
    entries_.erase(it);  // someone else's image: nothing of ours to keep
  }
}

void ImageLedger::DisposeAll(const std::vector<Doomed>& doomed) {
  for (const Doomed& d : doomed) disposer_(d.image, d.keepAlive);
}

bool ImageLedger::Replace(Image image, const std::function<bool(Image* previous)>& exchange) {
  std::vector<Doomed> doomed;
  bool stored;
  {
    Guard guard(lock_, yield_);
    Image previous = 0;
    stored = exchange(&previous);
    if (stored && previous != image) {
      if (image) {
        ++entries_[image].holders;
        disposed_.erase(image);
      }
      auto it = previous ? entries_.find(previous) : entries_.end();
      if (it != entries_.end() && it->second.holders) --it->second.holders;
      if (previous) Settle(previous, &doomed);
    }
  }
  DisposeAll(doomed);
  return stored;
}

void ImageLedger::Drop(const std::function<Image()>& take) {
  std::vector<Doomed> doomed;
  {
    Guard guard(lock_, yield_);
    const Image image = take();
    auto it = image ? entries_.find(image) : entries_.end();
    if (it == entries_.end()) return;
    if (it->second.holders) --it->second.holders;
    Settle(image, &doomed);
  }
  DisposeAll(doomed);
}

ImageLedger::Image ImageLedger::Pin(const std::function<Image()>& read, uintptr_t* keepAlive) {
  Guard guard(lock_, yield_);
  const Image image = read();
  if (keepAlive) *keepAlive = 0;
  if (!image) return 0;
  Entry& entry = entries_[image];
  ++entry.pins;
  if (keepAlive) *keepAlive = entry.keepAlive;
  return image;
}

void ImageLedger::Unpin(Image image) {
  if (!image) return;
  std::vector<Doomed> doomed;
  {
    Guard guard(lock_, yield_);
    auto it = entries_.find(image);
    if (it == entries_.end()) return;
    if (it->second.pins) --it->second.pins;
    Settle(image, &doomed);
  }
  DisposeAll(doomed);
}

void ImageLedger::Release(Image image) {
  if (!image) return;
  std::vector<Doomed> doomed;
  {
    Guard guard(lock_, yield_);
    if (!entries_.count(image) && disposed_.count(image)) return;
    Entry& entry = entries_[image];
    entry.released = true;
    Settle(image, &doomed);
  }
  DisposeAll(doomed);
}

bool ImageLedger::InUse(Image image) {
  Guard guard(lock_, yield_);
  auto it = entries_.find(image);
  return it != entries_.end() && (it->second.holders || it->second.pins);
}

size_t ImageLedger::TrackedCount() {
  Guard guard(lock_, yield_);
  return entries_.size();
}

}  // namespace skin

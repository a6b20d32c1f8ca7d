// Who still needs an image. Window properties hold images, compositions draw them, and the
// repair worker replaces a button's images while the window thread may be drawing the old
// ones; GDI+ images have no reference count of their own. The ledger counts, per image, the
// properties holding it and the drawings in progress, and disposes an image once nothing
// holds or draws it and its owner has given it up (ReleaseImage; the layer gives up at once
// the images it decodes for itself). Reading or replacing a property happens under the
// ledger's lock, so a drawing never picks up an image that is being disposed.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace skin {

class ImageLedger {
 public:
  using Image = uintptr_t;
  // Disposes the image and whatever was kept alive for it (the bytes it was decoded from);
  // image 0: only what was kept alive.
  using Disposer = void (*)(Image image, uintptr_t keepAlive);
  // Gives the processor up while another thread holds the lock (null: spin).
  using Yield = void (*)();

  explicit ImageLedger(Disposer disposer, Yield yield = nullptr) : disposer_(disposer), yield_(yield) {}
  ImageLedger(const ImageLedger&) = delete;
  ImageLedger& operator=(const ImageLedger&) = delete;

  // A new image with something to keep alive as long as it (0: nothing). An entry already
  // under the handle is an image its owner disposed without the ledger (GDI+ handed the
  // handle out again): what was kept alive for it is disposed now.
  void Register(Image image, uintptr_t keepAlive);

  // Replaces what a property holds: exchange() stores the new image and returns the one it
  // replaced, or false when the store failed (a dead window). Runs under the lock.
  bool Replace(Image image, const std::function<bool(Image* previous)>& exchange);
  // A property's image stops being held (its window ends); under the lock.
  void Drop(const std::function<Image()>& take);

  // Reads a property and marks its image as being drawn; Unpin when the drawing is done.
  // What was kept alive with it stays valid until then.
  Image Pin(const std::function<Image()>& read, uintptr_t* keepAlive = nullptr);
  void Unpin(Image image);

  // The owner gives the image up. A handle the ledger disposed and has not seen since is
  // not disposed again (a second release).
  void Release(Image image);
  bool InUse(Image image);

  size_t TrackedCount();

 private:
  struct Entry {
    uint32_t holders = 0;
    uint32_t pins = 0;
    bool released = false;
    uintptr_t keepAlive = 0;
  };
  struct Doomed {
    Image image;
    uintptr_t keepAlive;
  };
  class Guard;

  void Settle(Image image, std::vector<Doomed>* doomed);
  void DisposeAll(const std::vector<Doomed>& doomed);

  Disposer disposer_;
  Yield yield_;
  std::atomic_flag lock_ = ATOMIC_FLAG_INIT;
  std::unordered_map<Image, Entry> entries_;
  std::unordered_set<Image> disposed_;  // until the handle is seen again
};

}  // namespace skin

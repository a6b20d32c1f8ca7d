// The PNG files of images/, compiled in: each array's initializer is generated from its file
// at build time (see CMakeLists.txt).
#include "assets/assets.h"

namespace assets {
namespace {
const uint8_t kBackground1[] = {
#include "background1.inc"
};
const uint8_t kBackground2[] = {
#include "background2.inc"
};
const uint8_t kRepairNormal[] = {
#include "button_start1.inc"
};
const uint8_t kRepairHover[] = {
#include "button_start2.inc"
};
const uint8_t kRepairPressed[] = {
#include "button_start3.inc"
};
const uint8_t kRepairBusy[] = {
#include "button_repair.inc"
};
const uint8_t kFinishNormal[] = {
#include "button_end1.inc"
};
const uint8_t kFinishHover[] = {
#include "button_end2.inc"
};
const uint8_t kFinishPressed[] = {
#include "button_end3.inc"
};
const uint8_t kCloseB[] = {
#include "close_b.inc"
};
const uint8_t kCloseA[] = {
#include "close_a.inc"
};
const uint8_t kProgress01[] = {
#include "progress01.inc"
};
const uint8_t kProgress02[] = {
#include "progress02.inc"
};
const uint8_t kProgress03[] = {
#include "progress03.inc"
};
const uint8_t kProgress05[] = {
#include "progress05.inc"
};
const uint8_t kProgress06[] = {
#include "progress06.inc"
};
const uint8_t kProgress07[] = {
#include "progress07.inc"
};
const uint8_t kProgress08[] = {
#include "progress08.inc"
};
const uint8_t kProgress09[] = {
#include "progress09.inc"
};
const uint8_t kProgress10[] = {
#include "progress10.inc"
};
const uint8_t kProgress11[] = {
#include "progress11.inc"
};
const uint8_t kProgress12[] = {
#include "progress12.inc"
};
const uint8_t kProgress13[] = {
#include "progress13.inc"
};

// Frames 3 and 4 are one picture.
const Bytes kProgressFrames[kProgressFrameCount] = {
    kProgress01, kProgress02, kProgress03, kProgress03, kProgress05, kProgress06, kProgress07,
    kProgress08, kProgress09, kProgress10, kProgress11, kProgress12, kProgress13,
};

}  // namespace

Bytes Background1() { return kBackground1; }
Bytes Background2() { return kBackground2; }
Bytes RepairNormal() { return kRepairNormal; }
Bytes RepairHover() { return kRepairHover; }
Bytes RepairPressed() { return kRepairPressed; }
Bytes RepairBusy() { return kRepairBusy; }
Bytes FinishNormal() { return kFinishNormal; }
Bytes FinishHover() { return kFinishHover; }
Bytes FinishPressed() { return kFinishPressed; }
Bytes CloseB() { return kCloseB; }
Bytes CloseA() { return kCloseA; }

Bytes ProgressFrame(int n) {
  if (n < 1 || n > kProgressFrameCount) return {};
  return kProgressFrames[n - 1];
}

}  // namespace assets

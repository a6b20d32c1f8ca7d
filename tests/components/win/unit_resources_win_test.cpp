// Creating, repainting and destroying many labels and animation objects gives back every GDI
// and USER object they took.
#include <gtest/gtest.h>
#include <windows.h>

#include "components/label/label.h"
#include "components/label/label_win.h"
#include "components/object/cartoon_object.h"
#include "components/object/object_win.h"
#include "runtime/templates/font_record.h"
#include "support/child_process_win.h"
#include "unit_host_win.h"

using namespace components;
using unit_host::Host;

namespace {

// The process's GDI objects. Wine reports none through GetGuiResources, but takes a bare handle
// index (no generation in the high word) for the live object in that slot: there they are counted
// slot by slot.
DWORD Gdi() {
  if (const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return reported;
  DWORD live = 0;
  for (uintptr_t slot = 0x20; slot < 0x10000; ++slot)
    live += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
  return live;
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  EnumChildWindows(hwnd, CountWindow, count);
  return TRUE;
}

// The USER objects: as reported, or (under Wine) the thread's windows and all their descendants.
DWORD User() {
  if (const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return reported;
  DWORD windows = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

runtime::Bytes Font() {
  runtime::FontRecord font{.height = -20, .weight = 400};
  font.SetFaceName("Tahoma");
  return runtime::WriteFontRecord(font);
}

TEST(UnitResources, AThousandLabelsAndObjectsGiveBackEveryGdiAndUserObject) {
  const runtime::Bytes label = WriteTransLabelBlock({.textEffect = 3, .font = Font(), .caption = "abc"});
  ObjectProperties text;
  text.SetData(kPropText, runtime::Bytes{'x', 'y'});
  text.SetData(kPropFont, Font());
  const runtime::Bytes object = WriteObjectData(text);
  const auto change =
      reinterpret_cast<runtime::PropertyChangedRoutine>(LabelClassInterface(runtime::kOpPropertyChanged));

  // Side by side, so that the see-through refresh of one label repaints no other.
  DWORD peak = 0;
  auto round = [&](int count) {
    Host host(1000, 700, RGB(0, 128, 0));
    for (int i = 0; i < count; ++i) {
      const int x = (i % 25) * 40, y = (i / 25) * 34;
      runtime::UnitObject* l = host.Create(LabelClassInterface, label, x, y, 38, 14);
      ASSERT_TRUE(l);
      if (i % 10 == 0) change(*l, LabelK(kLabelCaption), {.bytes = {'d'}});
      ASSERT_TRUE(host.Create(ObjectClassInterface, object, x, y + 16, 38, 16, i % 2 == 0));
    }
    RedrawWindow(host.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Host::Settle();
    peak = User();
  };
  // A first round of the same size: classes registered, and the system's caches (Wine keeps
  // window DCs and their regions) grown to what that many windows need.
  const int count = testing_support::Rounds(500);
  round(count);
  const DWORD gdi = Gdi(), user = User();
  ASSERT_GT(gdi, 0u);
  round(count);  // 500 labels and 500 objects (50 and 50 in the emulated guest)
  ASSERT_GE(peak, user + 2 * count) << "the counts see the units";
  EXPECT_EQ(Gdi(), gdi);
  EXPECT_EQ(User(), user);
}

}  // namespace

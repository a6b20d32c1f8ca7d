// The components' two support libraries: their class records and notification routine; and
// the picture editor's file question, which the animation box and the animation object share.
#include "components/library_win.h"

// (after windows.h)
#include <commdlg.h>

#include <array>

#include "base/handles_win.h"
#include "components/box/box_unit.h"
#include "components/box/box_win.h"
#include "components/label/label.h"
#include "components/object/cartoon_object.h"

namespace components {
namespace {

using runtime::ClassRecord;

intptr_t ComponentsNotify(int, uintptr_t, uintptr_t) { return 0; }

// The open-file dialog, loaded when first asked for: the product never shows it, so it does
// not import it.
std::string AskForPictureFile(HWND owner, const char* prompt, const char* filter) {
  using GetOpenFileNameRoutine = BOOL(WINAPI*)(OPENFILENAMEA*);
  HMODULE dialogs = LoadLibraryA("comdlg32.dll");
  if (!dialogs) return {};
  auto getOpenFileName = reinterpret_cast<GetOpenFileNameRoutine>(
      reinterpret_cast<void*>(GetProcAddress(dialogs, "GetOpenFileNameA")));
  std::string chosen;
  if (getOpenFileName) {
    const std::string dialogFilter = DialogFilter(filter);
    char path[MAX_PATH] = "";
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = dialogFilter.c_str();
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrTitle = prompt;
    request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (getOpenFileName(&request)) chosen = path;
  }
  FreeLibrary(dialogs);
  return chosen;
}

PictureFileChooser gChooser = AskForPictureFile;

// The whole file, up to the picture budget.
bool ReadWholeFile(const std::string& path, runtime::Bytes* out) {
  const base::KernelHandle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  const DWORD size = GetFileSize(file.get(), nullptr);
  bool ok = size != INVALID_FILE_SIZE && size <= kPictureBudget;
  if (ok) {
    out->resize(size);
    DWORD done = 0, read = 0;
    while (ok && done < size) {
      ok = ReadFile(file.get(), out->data() + done, size - done, &read, nullptr) && read > 0;
      done += read;
    }
  }
  return ok;
}

runtime::SupportLibrary Library(const char* name, const char* identifier,
                                std::span<const runtime::UnitClass* const> classes) {
  runtime::SupportLibrary library;
  library.name = name;
  library.identifier = identifier;
  library.classes = classes;
  library.notify = ComponentsNotify;
  return library;
}

}  // namespace

runtime::SupportLibrary ExtendedControlsLibrary2() {
  static const runtime::UnitClass box = [] {
    runtime::UnitClass record =
        ClassRecord("动画框", "CartoonBox", runtime::kClassIsWindow | runtime::kClassDragsWindow,
                    BoxUnitPropertyTable(), BoxClassInterface);
    record.eventCount = static_cast<uint32_t>(BoxEventTable().size());
    record.events = BoxEventTable().data();
    return record;
  }();
  static const runtime::UnitClass object = ClassRecord("动画物体", "CartoonObject", runtime::kClassIsWindow,
                                                       ObjectUnitPropertyTable(), ObjectClassInterface);
  static const std::array<const runtime::UnitClass*, kCartoonObjectClass> classes = [] {
    std::array<const runtime::UnitClass*, kCartoonObjectClass> table{};
    table[kCartoonBoxClass - 1] = &box;
    table[kCartoonObjectClass - 1] = &object;
    return table;
  }();
  return Library("Extended Controls Library 2", "B59C2E8A47D3410F8E6A1C9D05B7F342", classes);
}

runtime::SupportLibrary ExtendedControlsLibrary1() {
  static const runtime::UnitClass label = ClassRecord("透明标签", "TransLabel", runtime::kClassIsWindow,
                                                      LabelPropertyTable(), LabelClassInterface);
  static const std::array<const runtime::UnitClass*, kTransLabelClass> classes = [] {
    std::array<const runtime::UnitClass*, kTransLabelClass> table{};
    table[kTransLabelClass - 1] = &label;
    return table;
  }();
  return Library("Extended Controls Library 1", "3AF86D1B0C5E4927B8D4E2A6197C05FD", classes);
}

void SetPictureFileChooser(PictureFileChooser chooser) { gChooser = chooser ? chooser : AskForPictureFile; }

bool AskForPicture(HWND owner, runtime::Bytes* bytes) {
  const std::string path = gChooser(owner, kPicturePrompt, kPictureFilter);
  return !path.empty() && ReadWholeFile(path, bytes);
}

}  // namespace components

// The picture editor's file question: the open-file dialog, loaded when first asked for, and
// the chosen file read whole within the picture budget.
#include "components/object/picture_file_win.h"

// (after windows.h)
#include <commdlg.h>

#include "base/handles_win.h"
#include "components/image/frame_set.h"
#include "components/object/cartoon_object.h"

namespace components {
namespace {

// The open-file dialog, loaded when first asked for: the product never shows it, so it does
// not import it.
std::string AskForPictureFile(HWND owner, const char* prompt, const char* filter) {
  using GetOpenFileNameRoutine = BOOL(WINAPI*)(OPENFILENAMEA*);
  const base::Module dialogs(LoadLibraryA("comdlg32.dll"));
  if (!dialogs) return {};
  auto getOpenFileName = reinterpret_cast<GetOpenFileNameRoutine>(
      reinterpret_cast<void*>(GetProcAddress(dialogs.get(), "GetOpenFileNameA")));
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

}  // namespace

void SetPictureFileChooser(PictureFileChooser chooser) { gChooser = chooser ? chooser : AskForPictureFile; }

bool AskForPicture(HWND owner, runtime::Bytes* bytes) {
  const std::string path = gChooser(owner, kPicturePrompt, kPictureFilter);
  return !path.empty() && ReadWholeFile(path, bytes);
}

}  // namespace components

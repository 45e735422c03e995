// The system's file dialog, for the book to export.
#include "app/BookFileDialog.h"

// shobjidl.h needs windows.h first.
#include <shobjidl.h>

#include "app/UserTexts.h"
#include "win/ComOwner.h"

std::optional<std::wstring> chooseBookFile(HWND owner) {
  IFileOpenDialog* created = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IFileOpenDialog, reinterpret_cast<void**>(&created))))
    return std::nullopt;
  const ComOwner<IFileOpenDialog> dialog(created);
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_FORCEFILESYSTEM | FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST |
                     FOS_NOCHANGEDIR);
  const COMDLG_FILTERSPEC filters[] = {{texts::kBookFilesFilter, texts::kBookFilesPattern},
                                       {texts::kAllFilesFilter, texts::kAllFilesPattern}};
  dialog->SetFileTypes(static_cast<UINT>(std::size(filters)), filters);
  dialog->SetTitle(texts::kOpenDialogTitle);
  if (FAILED(dialog->Show(owner))) return std::nullopt;  // cancelled, too
  IShellItem* chosen = nullptr;
  if (FAILED(dialog->GetResult(&chosen))) return std::nullopt;
  const ComOwner<IShellItem> item(chosen);
  wchar_t* path = nullptr;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) return std::nullopt;
  std::wstring result(path);
  CoTaskMemFree(path);
  return result;
}

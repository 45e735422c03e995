// Answers the system's file dialog from another thread, as a user would: finds it by its title,
// types the path into its file name box and presses Open, or cancels it.
#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

class FileDialogAnswerer {
 public:
  // Answers the first dialog titled `title` of process `processId`: with `path`, or Cancel.
  FileDialogAnswerer(DWORD processId, std::wstring title, std::optional<std::wstring> path);
  ~FileDialogAnswerer();
  FileDialogAnswerer(const FileDialogAnswerer&) = delete;
  FileDialogAnswerer& operator=(const FileDialogAnswerer&) = delete;

  // Waits up to `ms` for the answer; true once the dialog was found and answered.
  bool answeredWithin(DWORD ms) const;
  // The window that owns the dialog answered.
  HWND owner() const { return owner_; }

 private:
  void watch();

  const DWORD processId_;
  const std::wstring title_;
  const std::optional<std::wstring> path_;
  std::atomic<bool> stop_ = false;
  std::atomic<bool> answered_ = false;
  std::atomic<HWND> owner_ = nullptr;
  std::thread thread_;
};

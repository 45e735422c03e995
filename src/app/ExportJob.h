// One export, run on a thread of its own so that the window stays free to answer: the user can
// stop it and Windows can end it. Everything the export starts (7-Zip, the copy of the book,
// its reader, the temporary folders) is owned on that thread and gone when the thread ends.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "app/AppUi.h"
#include "win/Handles.h"

class MainWindow;

class ExportJob {
 public:
  // Runs one export of a dropped path with the UI it is given; on the job's thread.
  using Runner = std::function<void(const std::wstring& dropped, ExportUi& ui)>;

  // Starts `run` at once; when it returns, `endedMessage` is posted to the window.
  ExportJob(MainWindow& window, Runner run, std::wstring dropped, UINT endedMessage);
  // Stops the export, without its last notice, and waits for it.
  ~ExportJob();
  ExportJob(const ExportJob&) = delete;
  ExportJob& operator=(const ExportJob&) = delete;

  // Asks the export to stop after the article being written, then waits for its thread while
  // the window goes on answering. `tellUser` false withholds the notice that it stopped. False
  // when it had not ended within `limitMs`; it still ends on its own later.
  bool stop(bool tellUser, DWORD limitMs = INFINITE);
  bool ended() const { return WaitForSingleObject(ended_.get(), 0) == WAIT_OBJECT_0; }

 private:
  AppUi ui_;
  UniqueHandle ended_;  // set as the thread's last step
  std::thread thread_;
};

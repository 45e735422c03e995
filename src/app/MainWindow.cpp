// The program's one window: the drop label, the menus and the drop target.
#include "app/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "app/BookFileDialog.h"
#include "app/DpiScale.h"
#include "app/ExportJob.h"
#include "app/UserTexts.h"

namespace {

constexpr const char* kProductHost = "https://www.vellumix.app";
// Posted to the window by a drop it takes: the export runs once the drag source is let go.
constexpr UINT kStartExportMessage = WM_APP + 1;
// Posted by an export's thread as its last step.
constexpr UINT kExportEndedMessage = WM_APP + 2;
// Posted by an export's thread when it has progress to show and none is waiting to be shown.
constexpr UINT kProgressMessage = WM_APP + 3;
// Sent by an export's thread with a task for the window's thread (lParam: the task).
constexpr UINT kRunTaskMessage = WM_APP + 4;
// How long the end of the Windows session waits for an export to stop.
constexpr DWORD kEndSessionStopMs = 2000;

// Geometry at 96 DPI.
constexpr int kLeft = 50;
constexpr int kTop = 50;
constexpr int kOuterWidth = 380;
constexpr int kOuterHeight = 250;
constexpr int kLabelFontHeight = -19;
// The progress bar lies over the lower part of the label.
constexpr int kProgressMargin = 30;
constexpr int kProgressHeight = 18;
constexpr int kProgressBottomGap = 40;
// Drawing the progress costs some: it is redrawn four times a second.
constexpr DWORD kRedrawIntervalMs = 250;

constexpr COLORREF kLabelTextColour = 0x808080;
constexpr COLORREF kLabelBackColour = 0xFFFFFF;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

UniqueFont createLabelFont(UINT dpi) {
  return UniqueFont(CreateFontW(scaleForDpi(kLabelFontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE,
                                FALSE, FALSE, GB2312_CHARSET, OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS,
                                DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Microsoft YaHei UI"));
}

}  // namespace

const std::string kHelpUrl = std::string(kProductHost) + "/apps/Vellumix/get-help";
const std::string kHomeUrl = std::string(kProductHost) + "/apps/Vellumix";

MainWindow::MainWindow()
    : background_(CreateSolidBrush(kLabelBackColour)),
      dropTarget_(new DropTarget(
          [this](std::wstring dropped) { return startExport(std::move(dropped)); })) {}

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
  job_.reset();
}

bool MainWindow::create(int showCommand) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MainWindow::windowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hIconSm = windowClass.hIcon;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background_.get();
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when a second window registers again

  const HWND created =
      CreateWindowExW(0, kClassName, texts::kWindowTitle, kStyle, kLeft, kTop, kOuterWidth,
                      kOuterHeight, nullptr, buildMenuBar(), instance, this);
  if (created == nullptr) return false;
  ShowWindow(created, showCommand);
  UpdateWindow(created);
  return true;
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self) {
    if (const auto handled = self->handle(message, wParam, lParam)) return *handled;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

std::optional<LRESULT> MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      onCreate();
      return 0;
    case WM_COMMAND:
      onCommand(static_cast<Command>(LOWORD(wParam)));
      return 0;
    case WM_CLOSE:
      return onClose();
    case WM_QUERYENDSESSION:
      return TRUE;  // an export under way stops when the session ends
    case WM_ENDSESSION:
      onEndSession(wParam != FALSE);
      return 0;
    case WM_DPICHANGED:
      onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SIZE:
      onSize();
      return 0;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(onLabelColours(reinterpret_cast<HDC>(wParam)));
    case WM_SETCURSOR:
      return onSetCursor();
    case kStartExportMessage:
      onStartExport();
      return 0;
    case kExportEndedMessage:
      endExport();
      return 0;
    case kProgressMessage:
      progressPosted_ = false;
      // Posted progress can arrive after the export's end, which was sent: it is then stale.
      if (busy_) showProgress(postedDone_, postedTotal_);
      return 0;
    case kRunTaskMessage:
      (*reinterpret_cast<const std::function<void()>*>(lParam))();
      return TRUE;
    case WM_DESTROY:
      onDestroy();
      return 0;
  }
  return std::nullopt;
}

void MainWindow::onCreate() {
  label_ = CreateWindowExW(0, L"STATIC", texts::kDropLabel,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_CENTER, 0, 0, 0, 0, window_,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  progress_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_CLIPSIBLINGS | PBS_SMOOTH,
                              0, 0, 0, 0, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
  const UINT dpi = dpiOfWindow(window_);
  SetWindowPos(window_, nullptr, scaleForDpi(kLeft, dpi), scaleForDpi(kTop, dpi),
               scaleForDpi(kOuterWidth, dpi), scaleForDpi(kOuterHeight, dpi),
               SWP_NOZORDER | SWP_NOACTIVATE);
  applyDpi(dpi);
  dropTarget_->registerDropTarget(window_);
}

void MainWindow::onCommand(Command command) {
  if (command == Command::Stop) {
    askToStop();
    return;
  }
  // Nothing the user does may change an export under way.
  if (exportUnderWay()) return;
  switch (command) {
    case Command::ToggleChapterList:
    case Command::ToggleNumbering:
      setChecked(command, !isChecked(command));
      break;
    case Command::Open:
      // Chosen, the file goes the way a dropped one goes.
      if (const auto book = chooseBookFile(window_)) startExport(*book);
      break;
    case Command::About:
      openUrl(kHomeUrl.c_str());
      break;
    case Command::Help:
      openUrl(kHelpUrl.c_str());
      break;
    case Command::Stop:
    case Command::None:
      break;
  }
}

void MainWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  applyDpi(dpi);
}

std::optional<LRESULT> MainWindow::onClose() {
  if (!exportUnderWay()) return std::nullopt;  // the window goes
  askToStop();
  return 0;
}

void MainWindow::askToStop() {
  if (!job_ || stoppingJob_ || askingToStop_) return;
  askingToStop_ = true;
  const int answer = MessageBoxW(window_, texts::kStopQuestion, texts::kWindowTitle,
                                 MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION);
  askingToStop_ = false;
  // The export may have ended while the question was showing.
  if (answer == IDYES && job_) stopExport(true);
}

void MainWindow::stopExport(bool tellUser, DWORD limitMs) {
  if (!job_ || stoppingJob_) return;
  stoppingJob_ = true;
  const bool ended = job_->stop(tellUser, limitMs);
  stoppingJob_ = false;
  if (ended) endExport();
}

void MainWindow::endExport() {
  if (!job_ || stoppingJob_) return;
  job_.reset();
  exporting_ = false;
  if (!window_) return;
  ShutdownBlockReasonDestroy(window_);
  dropTarget_->registerDropTarget(window_);
}

void MainWindow::onEndSession(bool ending) {
  // Windows may end the program as soon as this returns: the export stops first, with nothing
  // left half-written and no notice.
  if (ending) stopExport(false, kEndSessionStopMs);
}

void MainWindow::onSize() { layOutChildren(); }

HBRUSH MainWindow::onLabelColours(HDC dc) {
  SetTextColor(dc, kLabelTextColour);
  SetBkColor(dc, kLabelBackColour);
  return background_.get();
}

std::optional<LRESULT> MainWindow::onSetCursor() {
  if (!busy_) return std::nullopt;
  SetCursor(LoadCursorA(nullptr, IDC_APPSTARTING));
  return TRUE;
}

bool MainWindow::startExport(std::wstring dropped) {
  if (exportUnderWay() || !runExport_) return false;
  // The window is no drop target while the export runs; it is one again when it ends.
  exporting_ = true;
  dropTarget_->revokeDropTarget(window_);
  pendingDrop_ = std::move(dropped);
  PostMessageW(window_, kStartExportMessage, 0, 0);
  return true;
}

void MainWindow::onStartExport() {
  ShutdownBlockReasonCreate(window_, texts::kShutdownReason);
  job_ = std::make_unique<ExportJob>(*this, runExport_, std::exchange(pendingDrop_, std::wstring()),
                                     kExportEndedMessage);
}

void MainWindow::layOutChildren() {
  RECT client{};
  GetClientRect(window_, &client);
  if (label_) MoveWindow(label_, 0, 0, client.right, client.bottom, TRUE);
  const int margin = scaleForDpi(kProgressMargin, dpi_);
  if (progress_)
    SetWindowPos(progress_, HWND_TOP, margin,
                 client.bottom - scaleForDpi(kProgressBottomGap + kProgressHeight, dpi_),
                 client.right - 2 * margin, scaleForDpi(kProgressHeight, dpi_), SWP_NOACTIVATE);
}

void MainWindow::onDestroy() {
  stopExport(false);
  dropTarget_->revokeDropTarget(window_);
  window_ = nullptr;
  PostQuitMessage(0);
}

void MainWindow::applyDpi(UINT dpi) {
  dpi_ = dpi;
  layOutChildren();
  UniqueFont font = createLabelFont(dpi);
  SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);
}

bool MainWindow::isChecked(Command item) const {
  return (GetMenuState(GetMenu(window_), static_cast<UINT>(item), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void MainWindow::setChecked(Command item, bool checked) {
  CheckMenuItem(GetMenu(window_), static_cast<UINT>(item),
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::setBusy(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorA(nullptr, busy ? IDC_APPSTARTING : IDC_ARROW));
  if (busy) {
    lastRedrawTick_ = GetTickCount() - kRedrawIntervalMs;
    SendMessageW(progress_, PBM_SETPOS, 0, 0);  // hidden until the first article
    return;
  }
  ShowWindow(progress_, SW_HIDE);
  SetWindowTextW(label_, texts::kDropLabel);
  if (taskbar_) taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
}

void MainWindow::showProgress(int done, int total) {
  const DWORD now = GetTickCount();
  if (done < total && now - lastRedrawTick_ < kRedrawIntervalMs) return;
  lastRedrawTick_ = now;
  drawProgress(done, total);
}

void MainWindow::postProgress(int done, int total) {
  postedDone_ = done;
  postedTotal_ = total;
  if (!progressPosted_.exchange(true)) PostMessageW(window_, kProgressMessage, 0, 0);
}

bool MainWindow::onWindowThread() const {
  return window_ != nullptr && GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId();
}

bool MainWindow::runOnWindowThread(const std::function<void()>& task) {
  if (onWindowThread()) {
    task();
    return true;
  }
  return window_ != nullptr &&
         SendMessageW(window_, kRunTaskMessage, 0, reinterpret_cast<LPARAM>(&task)) == TRUE;
}

void MainWindow::drawProgress(int done, int total) {
  if (!IsWindowVisible(progress_)) {
    SetWindowPos(progress_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    if (!taskbarLookedUp_) {
      taskbarLookedUp_ = true;
      // Windows 7 and later; nothing is shown on the taskbar where it cannot be had.
      ITaskbarList3* taskbar = nullptr;
      if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_ITaskbarList3, reinterpret_cast<void**>(&taskbar)))) {
        taskbar_.reset(taskbar);
        if (FAILED(taskbar_->HrInit())) taskbar_.reset();
      }
    }
    if (taskbar_) taskbar_->SetProgressState(window_, TBPF_NORMAL);
  }
  SendMessageW(progress_, PBM_SETRANGE32, 0, std::max(total, 1));
  SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
  const std::wstring text = L"\r\n\r\n" + texts::format(texts::kProgress, {std::to_wstring(done),
                                                                           std::to_wstring(total)});
  SetWindowTextW(label_, text.c_str());
  if (taskbar_)
    taskbar_->SetProgressValue(window_, static_cast<ULONGLONG>(done),
                               static_cast<ULONGLONG>(std::max(total, 1)));
}

void MainWindow::pumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop, after the export
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void MainWindow::openUrl(const char* url) {
  const HWND owner = FindWindowA(nullptr, "Microsoft Internet Explorer");
  ShellExecuteA(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

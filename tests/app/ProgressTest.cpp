// A long export through the real window: the progress it shows, a window that keeps answering,
// and input that changes nothing while the export runs (a close asks whether to stop).
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "app/AppUi.h"
#include "export/BookWalker.h"
#include "support/BookBuilder.h"
#include "support/FolderChooserAnswerer.h"
#include "support/MessageBoxWatcher.h"
#include "support/TempDir.h"
#include "support/WindowTest.h"
#include "win/TextConversion.h"

namespace {

constexpr int kArticles = 2000;

std::wstring textOf(HWND window) {
  wchar_t text[512] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000,
                      nullptr);
  return text;
}

// Watches the window from another thread while the export runs.
class Sampler {
 public:
  explicit Sampler(MainWindow& window) : window_(window), thread_([this] { run(); }) {}
  ~Sampler() { stop(); }
  void stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  std::vector<int> positions;
  std::vector<std::wstring> texts;
  DWORD slowestAnswerMs = 0;
  int range = 0;
  bool sentInput = false;

 private:
  void run() {
    while (!stop_) {
      if (IsWindowVisible(window_.progressBar())) {
        const DWORD start = GetTickCount();
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window_.handle(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer);
        slowestAnswerMs = std::max(slowestAnswerMs, GetTickCount() - start);
        DWORD_PTR position = 0;
        DWORD_PTR high = 0;
        SendMessageTimeoutW(window_.progressBar(), PBM_GETPOS, 0, 0, SMTO_NORMAL, 1000, &position);
        SendMessageTimeoutW(window_.progressBar(), PBM_GETRANGE, FALSE, 0, SMTO_NORMAL, 1000,
                            &high);
        positions.push_back(static_cast<int>(position));
        range = static_cast<int>(high);
        texts.push_back(textOf(window_.label()));
        if (!sentInput && position > 0) {
          // A user's menu choice and close while the export runs.
          SendMessageTimeoutW(window_.handle(), WM_COMMAND,
                              static_cast<WPARAM>(Command::ToggleNumbering), 0, SMTO_NORMAL, 1000,
                              &answer);
          PostMessageW(window_.handle(), WM_CLOSE, 0, 0);
          sentInput = true;
        }
      }
      Sleep(10);
    }
  }

  MainWindow& window_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class ProgressTest : public WindowTest {
 protected:
  // Runs the walk through the real window, answering the chooser and the notice (and No to
  // the question whether to stop).
  std::vector<SeenMessageBox> exportBook(const std::wstring& book) {
    window_.setExportRunner(
        [](const std::wstring& dropped, ExportUi& ui) { BookWalker(ui).run(dropped); });
    MessageBoxWatcher notices(20);
    const FolderChooserAnswerer answerer({out_.path()});
    EXPECT_TRUE(window_.startExport(book));
    EXPECT_TRUE(waitForExportToEnd());
    return notices.seen();
  }

  void expectBackToTheLabel() {
    EXPECT_FALSE(IsWindowVisible(window_.progressBar()));
    EXPECT_EQ(textOf(window_.label()),
              L"\r\n\r\n拖到这里\r\n\r\n（只接受 db 和 pwb 文件，\r\n后者需要另行安装 7-Zip）");
    EXPECT_TRUE(IsWindowEnabled(window_.handle()));
  }

  TempDir books_;
  TempDir out_;
};

TEST_F(ProgressTest, LongExportShowsItsProgressAndKeepsAnswering) {
  BookBuilder builder(books_ / L"long.db");
  builder.exec("BEGIN").folder("f", "卷");
  for (int i = 0; i < kArticles; ++i)
    builder.article("f", std::to_string(i) + " 章", "txt", i, std::string(2000, 'x'));
  builder.exec("COMMIT").finish();

  Sampler sampler(window_);
  const auto notices = exportBook(books_ / L"long.db");
  sampler.stop();

  // The close asked whether to stop; answered No, the export went on to its end.
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].title, L"Vellumix");
  EXPECT_EQ(notices[0].text, L"正在导出，要停止吗？");
  EXPECT_EQ(notices[0].owner, window_.handle());
  EXPECT_EQ(notices[1].text, L"完成。");
  EXPECT_EQ(notices[1].owner, window_.handle());
  ASSERT_FALSE(sampler.positions.empty()) << "the progress bar never showed";
  EXPECT_TRUE(std::is_sorted(sampler.positions.begin(), sampler.positions.end()));
  EXPECT_EQ(sampler.range, kArticles);
  DWORD_PTR finalPosition = 0;
  SendMessageTimeoutW(window_.progressBar(), PBM_GETPOS, 0, 0, SMTO_NORMAL, 1000, &finalPosition);
  EXPECT_EQ(static_cast<int>(finalPosition), kArticles);
  const std::wstring total = L" 篇，共 " + std::to_wstring(kArticles) + L" 篇（按 Esc 停止）";
  EXPECT_TRUE(
      std::any_of(sampler.texts.begin(), sampler.texts.end(), [&](const std::wstring& text) {
        return text.starts_with(L"\r\n\r\n正在导出：第 ") && text.ends_with(total);
      }));
  EXPECT_LT(sampler.slowestAnswerMs, 1000u);

  EXPECT_TRUE(sampler.sentInput);
  EXPECT_TRUE(IsWindow(window_.handle())) << "a close during the export closed the window";
  EXPECT_FALSE(window_.isChecked(Command::ToggleNumbering)) << "a menu choice changed the export";
  expectBackToTheLabel();
  EXPECT_EQ(readTree(out_.path()).size(), static_cast<size_t>(kArticles) + 1);
}

TEST_F(ProgressTest, WindowReturnsToItsLabelAfterExportsThatStop) {
  BookBuilder(books_ / L"guard.db").folder("x'y", "卷").article("x'y", "章", "txt", 1, "x");
  writeFileBytes(books_ / L"broken.db", std::string(5000, 'z'));
  for (const wchar_t* book : {L"guard.db", L"broken.db"}) {
    const auto notices = exportBook(books_ / book);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].title, std::wstring(book) == L"guard.db" ? L"导出异常" : L"错误");
    expectBackToTheLabel();
  }
}

}  // namespace

// Stopping an export through the real window: the user's close or Esc answered Yes, and the end
// of the Windows session. Whatever was written is whole; nothing is left in the temporary folder.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <thread>

#include "export/BookWalker.h"
#include "support/BookBuilder.h"
#include "support/FolderChooserAnswerer.h"
#include "support/MessageBoxWatcher.h"
#include "support/TempDir.h"
#include "support/WindowTest.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

constexpr int kArticles = 3000;

std::string titleOf(int n) { return "第" + std::to_string(n) + "章"; }
std::string contentOf(int n) {
  return std::string(1000 + n % 500, static_cast<char>('a' + n % 26));
}

class StopTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    BookBuilder builder(books_ / L"long.db");
    builder.exec("BEGIN").folder("f", "卷");
    for (int n = 1; n <= kArticles; ++n) builder.article("f", titleOf(n), "txt", n, contentOf(n));
    builder.exec("COMMIT").finish();
    window_.setExportRunner(
        [](const std::wstring& dropped, ExportUi& ui) { BookWalker(ui).run(dropped); });
  }

  // Starts the export of the long book; `midway` runs on another thread once the window shows
  // that some articles are written. Returns the notices shown, answering questions `answer`.
  std::vector<SeenMessageBox> exportAndMeanwhile(const std::function<void()>& midway, int answer) {
    MessageBoxWatcher notices(0, answer);
    const FolderChooserAnswerer chooser({out_.path()});
    std::atomic<bool> done = false;
    std::thread helper([&] {
      while (!done) {
        DWORD_PTR position = 0;
        SendMessageTimeoutW(window_.progressBar(), PBM_GETPOS, 0, 0, SMTO_NORMAL, 1000, &position);
        if (IsWindowVisible(window_.progressBar()) && position > 100) {
          midway();
          return;
        }
        Sleep(5);
      }
    });
    EXPECT_TRUE(window_.startExport(books_ / L"long.db"));
    EXPECT_TRUE(waitForExportToEnd());
    done = true;
    helper.join();
    return notices.seen();
  }

  // Every file written is one of the book's articles, whole; returns how many there are.
  int expectOnlyWholeArticles() {
    int files = 0;
    for (const auto& [name, bytes] : readTree(out_.path())) {
      if (name == "卷/") continue;
      ++files;
      const std::string prefix = "卷/第";
      const size_t end = name.find("章.txt");
      if (!name.starts_with(prefix) || end == std::string::npos) {
        ADD_FAILURE() << "not an article: " << name;
        continue;
      }
      const int n = std::stoi(name.substr(prefix.size(), end - prefix.size()));
      EXPECT_EQ(bytes, contentOf(n)) << name;
    }
    return files;
  }

  PrivateTempDirectory temp_;
  TempDir books_;
  TempDir out_;
};

TEST_F(StopTest, ACloseOrEscAnsweredYesStopsWithEveryWrittenFileWhole) {
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
  } cases[] = {
      {"close", WM_CLOSE, 0},
      {"Esc", WM_COMMAND, static_cast<WPARAM>(Command::Stop)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    removeDirectoryTree(out_.path());
    createDirectoryTree(out_.path());
    const auto before = temp_.entries();
    const auto notices =
        exportAndMeanwhile([&] { PostMessageW(window_.handle(), c.message, c.wParam, 0); }, IDYES);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].text, L"正在导出，要停止吗？");
    const int written = expectOnlyWholeArticles();
    EXPECT_GT(written, 0);
    EXPECT_LT(written, kArticles);
    EXPECT_EQ(notices[1].title, L"提示");
    EXPECT_EQ(notices[1].text, L"已停止导出：已写出 " + std::to_wstring(written) + L" 篇，另有 " +
                                   std::to_wstring(kArticles - written) + L" 篇未写出。");
    EXPECT_EQ(temp_.entries(), before);
    EXPECT_TRUE(IsWindow(window_.handle())) << "a stop keeps the window";
    EXPECT_FALSE(IsWindowVisible(window_.progressBar()));
  }
}

// Windows ending the session: the export stops within two seconds, without a notice.
TEST_F(StopTest, TheEndOfTheSessionStopsTheExportWithinTwoSeconds) {
  const auto before = temp_.entries();
  DWORD_PTR allowed = 0;
  DWORD endedWithin = 0;
  bool underWayAfter = true;
  const auto notices = exportAndMeanwhile(
      [&] {
        SendMessageTimeoutW(window_.handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                            5000, &allowed);
        const DWORD start = GetTickCount();
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window_.handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                            10000, &ignored);
        endedWithin = GetTickCount() - start;
        underWayAfter = window_.exportUnderWay();
      },
      IDNO);
  EXPECT_EQ(allowed, static_cast<DWORD_PTR>(TRUE));
  EXPECT_LT(endedWithin, 2000u);
  EXPECT_FALSE(underWayAfter);
  EXPECT_TRUE(notices.empty());
  const int written = expectOnlyWholeArticles();
  EXPECT_GT(written, 0);
  EXPECT_LT(written, kArticles);
  EXPECT_EQ(temp_.entries(), before);
}

}  // namespace

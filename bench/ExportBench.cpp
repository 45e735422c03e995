// Export speed on synthetic books, each dropped as a .db and as a packed .pwb, timed from the
// chooser's OK to the notice (the user taking two seconds to choose), against two floors:
// writing the same files from the book (one query, one plain create and write each) and writing
// them with their bytes already in memory.
// Every floor writes from where its export reads: a copy of the .db, made while the user
// chooses, or the database 7-Zip unpacked before the chooser opened.
// Prints a table: seconds are the best of a book's rounds, ratios the median of each round's run
// against that round's floor; the shorter books take more rounds. `--quick` uses books a twentieth
// of the size, for smoke runs; `--progress-cost` measures only what showing the progress costs.
// `--folder DIR` puts the books, the exports and the engine's working copies in DIR instead of
// the temporary folder.
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/MainWindow.h"
#include "export/BookCopy.h"
#include "export/BookWalker.h"
#include "export/ExportDriver.h"
#include "export/SevenZipUnpacker.h"
#include "win/Handles.h"
#include "win/TemporaryFolder.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

struct BookShape {
  const char* name;
  int folders;
  int articlesPerFolder;
  int categoriesPerFolder;
  int minBytes;
  int maxBytes;
  // Rounds in each pass over the books: a short book's rounds swing by as much as a long one's,
  // so it takes more of them for a median as steady, and they cost little.
  int roundsEachPass = 1;
};

// Where each article lands, in the order the book holds them: all books are held at once, so
// the name is kept apart from its directory.
struct PlannedFile {
  size_t directory;
  std::wstring name;
};

struct Book {
  std::wstring path;
  std::wstring packedPath;  // the same database packed by 7-Zip
  std::vector<std::wstring> directories;
  std::vector<PlannedFile> files;
  long long bytes = 0;
  size_t largestArticle = 0;
};

// Deterministic numbers for titles and lengths.
class Random {
 public:
  unsigned next() {
    state_ = state_ * 1103515245u + 12345u;
    return state_ >> 8;
  }

 private:
  unsigned state_ = 20261208u;
};

double seconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// How long the user takes to choose the folder: a quick choice. A dropped .db is copied
// meanwhile. Every floor run waits as long before it starts, so that all runs start alike.
constexpr DWORD kChoosingMilliseconds = 2000;

// No dialogs; progress goes to the real window when there is one. An export is timed as the
// user waits for it: from the chooser's OK to the notice.
class BenchUi : public ExportUi {
 public:
  BenchUi(std::wstring folder, MainWindow* window) : folder_(std::move(folder)), window_(window) {}
  ExportOptions options() override { return {}; }
  std::optional<std::wstring> chooseExportFolder() override {
    Sleep(kChoosingMilliseconds);
    chosenAt_ = seconds();
    return folder_;
  }
  void reportStopped(ExportStop) override { elapsed_ = -1; }
  void reportCancelled(int, int) override { elapsed_ = -1; }
  bool stopRequested() override { return false; }
  void reportFinished(const ExportFailures& failures) override {
    elapsed_ = failures.count() == 0 ? seconds() - chosenAt_ : -1;
  }
  void setBusy(bool busy) override {
    if (window_) window_->setBusy(busy);
  }
  void showProgress(int done, int total) override {
    if (window_) window_->showProgress(done, total);
  }
  void keepResponsive() override {
    if (window_) window_->pumpMessages();
  }
  // Seconds from the chooser's OK to the notice; negative when the export did not finish cleanly.
  double elapsed() const { return elapsed_; }

 private:
  std::wstring folder_;
  MainWindow* window_;
  double chosenAt_ = 0;
  double elapsed_ = -1;
};

void exec(sqlite3* db, const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

Book makeBook(const BookShape& shape, const std::wstring& folder, const std::wstring& out) {
  static const std::string kParagraph =
      "夜色渐深，城墙上的灯火一盏接一盏地亮起来。他站在桥头，望着远处的山影，想起了很多年前的那个冬"
      "天。\r\n";
  Book book;
  book.path = folder + L"\\" + utf8ToWide(shape.name) + L".db";
  DeleteFileW(book.path.c_str());
  sqlite3* db = nullptr;
  sqlite3_open(wideToUtf8(book.path).c_str(), &db);
  exec(db,
       "CREATE TABLE Folder (id TEXT PRIMARY KEY, name TEXT, deleted INTEGER DEFAULT 0);"
       "CREATE TABLE Article (id INTEGER PRIMARY KEY, folderId TEXT, title TEXT, extension TEXT,"
       " rank REAL, content TEXT, deleted INTEGER DEFAULT 0);"
       "CREATE TABLE Category (id INTEGER PRIMARY KEY, folderId TEXT, name TEXT, rank REAL,"
       " deleted INTEGER DEFAULT 0);"
       "INSERT INTO Folder (id, name) VALUES ('PW_Trash', '回收站');"
       "BEGIN");
  sqlite3_stmt* folderInsert = nullptr;
  sqlite3_stmt* articleInsert = nullptr;
  sqlite3_stmt* categoryInsert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO Folder (id, name) VALUES (?, ?)", -1, &folderInsert, nullptr);
  sqlite3_prepare_v2(
      db, "INSERT INTO Article (folderId, title, extension, rank, content) VALUES (?, ?, ?, ?, ?)",
      -1, &articleInsert, nullptr);
  sqlite3_prepare_v2(db, "INSERT INTO Category (folderId, name, rank) VALUES (?, ?, ?)", -1,
                     &categoryInsert, nullptr);
  Random random;
  std::string content;
  for (int f = 0; f < shape.folders; ++f) {
    const std::string id = "folder-" + std::to_string(f);
    const std::string name = "第" + std::to_string(f + 1) + "卷";
    sqlite3_bind_text(folderInsert, 1, id.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(folderInsert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(folderInsert);
    sqlite3_reset(folderInsert);
    std::wstring directory = out + L"\\" + utf8ToWide(name);
    book.directories.push_back(directory);
    const std::wstring folderDirectory = directory;
    const int perCategory = shape.categoriesPerFolder
                                ? std::max(1, shape.articlesPerFolder / shape.categoriesPerFolder)
                                : shape.articlesPerFolder + 1;
    int rank = 0;
    for (int a = 0; a < shape.articlesPerFolder; ++a) {
      if (shape.categoriesPerFolder && a % perCategory == 0) {
        const std::string category = "第" + std::to_string(a / perCategory + 1) + "部分";
        sqlite3_bind_text(categoryInsert, 1, id.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(categoryInsert, 2, category.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(categoryInsert, 3, ++rank);
        sqlite3_step(categoryInsert);
        sqlite3_reset(categoryInsert);
        directory = folderDirectory + L"\\" + utf8ToWide(category);
        book.directories.push_back(directory);
      }
      const int length = shape.minBytes +
                         static_cast<int>(random.next() % static_cast<unsigned>(
                                                              shape.maxBytes - shape.minBytes + 1));
      content.clear();
      while (static_cast<int>(content.size()) < length) content += kParagraph;
      const std::string title =
          "第" + std::to_string(a + 1) + "章 " + std::to_string(random.next() % 100000);
      const bool txt = a % 5 != 0;
      sqlite3_bind_text(articleInsert, 1, id.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(articleInsert, 2, title.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(articleInsert, 3, txt ? "txt" : "md", -1, SQLITE_STATIC);
      sqlite3_bind_double(articleInsert, 4, ++rank);
      sqlite3_bind_text(articleInsert, 5, content.data(), static_cast<int>(content.size()),
                        SQLITE_STATIC);
      sqlite3_step(articleInsert);
      sqlite3_reset(articleInsert);
      book.files.push_back(
          {book.directories.size() - 1, utf8ToWide(title) + (txt ? L".txt" : L".md")});
      book.bytes += static_cast<long long>(content.size());
      book.largestArticle = std::max(book.largestArticle, content.size());
    }
  }
  sqlite3_finalize(folderInsert);
  sqlite3_finalize(articleInsert);
  sqlite3_finalize(categoryInsert);
  exec(db, "COMMIT");
  sqlite3_close(db);
  return book;
}

// Writes one article the plainest way: one create, one write, one close.
void writePlainFile(const std::wstring& path, const void* bytes, DWORD size) {
  const auto file = ownFileHandle(CreateFileW(longPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  WriteFile(file.get(), bytes, size, &written, nullptr);
}

// Every live article's content in book order, from `database`: the book or its unpacking.
std::vector<std::string> readContents(const std::wstring& database) {
  std::vector<std::string> contents;
  sqlite3* db = nullptr;
  sqlite3_open(wideToUtf8(database).c_str(), &db);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "SELECT content FROM Article WHERE deleted=0 ORDER BY id", -1, &statement,
                     nullptr);
  while (sqlite3_step(statement) == SQLITE_ROW)
    contents.emplace_back(static_cast<const char*>(sqlite3_column_blob(statement, 0)),
                          static_cast<size_t>(sqlite3_column_bytes(statement, 0)));
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return contents;
}

// The least work that gives the same files from the book in `database`: directories made once,
// one query over every live article in book order, one plain create and write each.
void writeFloor(const Book& book, const std::wstring& database) {
  for (const auto& directory : book.directories)
    CreateDirectoryW(longPathForm(directory).c_str(), nullptr);
  sqlite3* db = nullptr;
  sqlite3_open(wideToUtf8(database).c_str(), &db);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "SELECT content FROM Article WHERE deleted=0 ORDER BY id", -1, &statement,
                     nullptr);
  size_t index = 0;
  while (sqlite3_step(statement) == SQLITE_ROW && index < book.files.size()) {
    const PlannedFile& planned = book.files[index++];
    writePlainFile(joinPath(book.directories[planned.directory], planned.name),
                   sqlite3_column_blob(statement, 0),
                   static_cast<DWORD>(sqlite3_column_bytes(statement, 0)));
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
}

// Writing the same files with their bytes already in memory: what creating them costs alone.
void writeBareFloor(const Book& book, const std::vector<std::string>& contents) {
  for (const auto& directory : book.directories)
    CreateDirectoryW(longPathForm(directory).c_str(), nullptr);
  for (size_t i = 0; i < book.files.size() && i < contents.size(); ++i)
    writePlainFile(joinPath(book.directories[book.files[i].directory], book.files[i].name),
                   contents[i].data(), static_cast<DWORD>(contents[i].size()));
}

// Packs the book as a user's .pwb: the database under the same name, stored without compression
// (unpacking is not timed, and storing keeps the benchmark's own preparation short).
void packBook(Book& book) {
  const size_t slash = book.path.rfind(L'\\');
  const std::wstring folder = book.path.substr(0, slash);
  const std::wstring name = book.path.substr(slash + 1);
  book.packedPath = book.path.substr(0, book.path.size() - 3) + L".pwb";
  DeleteFileW(book.packedPath.c_str());
  std::wstring commandLine = L"\"" + SevenZipUnpacker::FindProgram() + L"\" a -t7z -mx0 \"" +
                             book.packedPath + L"\" \"" + name + L"\" -bso0 -bsp0";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, folder.c_str(), &startup, &process)) {
    std::printf("7-Zip could not be started: no packed books\n");
    return;
  }
  const UniqueHandle processHandle(process.hProcess);
  const UniqueHandle threadHandle(process.hThread);
  WaitForSingleObject(processHandle.get(), INFINITE);
}

// Unpacks the packed book into `folder` as an export does, untimed; the database's path there,
// empty when 7-Zip fails.
std::wstring unpackBook(const Book& book, const std::wstring& folder) {
  const std::wstring database = joinPath(folder, book.path.substr(book.path.rfind(L'\\') + 1));
  const auto result = SevenZipUnpacker::Extract(SevenZipUnpacker::FindProgram(), book.packedPath,
                                                folder, [] { return true; });
  return result == SevenZipUnpacker::ExtractResult::Extracted && fileExistsWide(database)
             ? database
             : std::wstring();
}

// The middle of `sorted`, or the mean of its two middle values; 0 when it is empty.
double median(const std::vector<double>& sorted) {
  if (sorted.empty()) return 0;
  const size_t middle = sorted.size() / 2;
  return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

size_t workingSet() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.WorkingSetSize;
}

// The highest working set seen while it lives, sampled every few milliseconds: the process's own
// peak would also count the other books' runs.
class WorkingSetSampler {
 public:
  explicit WorkingSetSampler(size_t& peak)
      : peak_(peak), thread_([this] {
          while (!stop_.load()) {
            peak_ = std::max(peak_, workingSet());
            Sleep(5);
          }
        }) {}
  ~WorkingSetSampler() {
    stop_ = true;
    thread_.join();
    peak_ = std::max(peak_, workingSet());
  }
  WorkingSetSampler(const WorkingSetSampler&) = delete;
  WorkingSetSampler& operator=(const WorkingSetSampler&) = delete;

 private:
  size_t& peak_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// What showing the progress costs, measured more finely than best-of-3 can under Wine, whose
// file writing speed swings from run to run: the mean of many runs with and without progress,
// taken in turns so that both meet the same conditions.
int measureProgressCost(const std::wstring& root, MainWindow& window) {
  constexpr int kRounds = 8;
  const std::wstring out = root + L"\\out";
  const Book book = makeBook({"archive", 200, 5, 4, 1000, 8000}, root, out);
  double total[2] = {0, 0};
  for (int run = 0; run < 2 * kRounds; ++run) {
    const bool withProgress = run % 2 == 1;
    removeDirectoryTree(out);
    createDirectoryTree(out);
    BenchUi ui(out, withProgress ? &window : nullptr);
    BookWalker(ui).run(book.path);
    total[withProgress] += ui.elapsed();
  }
  std::printf(
      "progress cost over %d runs each of %zu articles: without %.3f s, with %.3f s, "
      "cost %.1f %%\n",
      kRounds, book.files.size(), total[0] / kRounds, total[1] / kRounds,
      100.0 * (total[1] - total[0]) / total[0]);
  removeDirectoryTree(root);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring mode;
  std::wstring folder;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    if (argument == L"--folder" && i + 1 < argc)
      folder = argv[++i];
    else
      mode = argument;
  }
  const bool quick = mode == L"--quick";
  const int divisor = quick ? 20 : 1;
  // The machine swings by more than our margins even over the largest book's runs: it takes six
  // rounds, and the shorter books two or three times as many. A smoke run takes one pass.
  const int passes = quick ? 1 : 6;
  const BookShape shapes[] = {
      {"novel", 20, 250 / divisor, 0, 3000, 12000, 3},
      {"archive", 200, 100 / divisor, 4, 1000, 8000, 2},
      {"large", 800, 100 / divisor, 4, 1000, 12000, 1},
      {"many folders", quick ? 200 : 4000, 5, 0, 1000, 4000, 2},
  };
  if (folder.empty()) folder = temporaryDirectory();
  const std::wstring root = joinPath(folder, L"vellumix-bench");
  removeDirectoryTree(root);
  createDirectoryTree(root);
  // The engine copies each book into the temporary folder: the same drive as the rest.
  SetEnvironmentVariableW(L"TMP", root.c_str());

  // The window shows the progress of the runs "with progress".
  OleInitialize(nullptr);
  MainWindow window;
  window.create(SW_SHOWNOACTIVATE);
  if (mode == L"--progress-cost") return measureProgressCost(root, window);
  const std::wstring out = root + L"\\out";
  std::vector<Book> books;
  for (const auto& shape : shapes) {
    books.push_back(makeBook(shape, root, out));
    packBook(books.back());
  }

  // The books take turns within each pass, so that the machine's slower and faster spells
  // reach all of them. Within a book, the two floors stand in the middle of every round, so that
  // each export has a floor run beside it, and the exports take turns around them: in every three
  // rounds each comes first, in the middle and last once, and so after a different run each time.
  // (Turning one order round put each kind after the same one in every round, so that a row
  // carried, every time, whatever the run before it left behind.) A packed book's export starts
  // right after 7-Zip has unpacked it, a .db's right after its copy, and so do their floors:
  // under this virtual machine, any writing is slower after 500 MB have just been written.
  enum Kind {
    Engine,
    WithProgress,
    Packed,
    Floor,
    BareFloor,
    UnpackedFloor,
    UnpackedBareFloor,
    kKinds
  };
  constexpr int kOrders = 3;
  constexpr Kind kOrder[kOrders][kKinds] = {
      {Engine, Floor, UnpackedFloor, WithProgress, BareFloor, UnpackedBareFloor, Packed},
      {WithProgress, Floor, UnpackedFloor, Packed, BareFloor, UnpackedBareFloor, Engine},
      {Packed, Floor, UnpackedFloor, Engine, BareFloor, UnpackedBareFloor, WithProgress},
  };
  const auto floorsOf = [](Kind kind) {
    return kind == Packed ? std::pair(UnpackedFloor, UnpackedBareFloor)
                          : std::pair(Floor, BareFloor);
  };
  struct Figures {
    // Every run of every round; negative when it did not finish cleanly.
    std::vector<std::array<double, kKinds>> elapsed;
    size_t peakWorkingSet = 0;
    double best(Kind kind) const {
      double best = 1e9;
      for (const auto& round : elapsed)
        if (round[kind] >= 0) best = std::min(best, round[kind]);
      return best;
    }
    // Each round's run against the floor run next to it, lowest first.
    std::vector<double> sortedRatios(Kind kind, Kind floor) const {
      std::vector<double> ratios;
      for (const auto& round : elapsed)
        if (round[kind] >= 0 && round[floor] > 0) ratios.push_back(round[kind] / round[floor]);
      std::sort(ratios.begin(), ratios.end());
      return ratios;
    }
    // Their median: the machine's speed swings more between rounds than within one, and more
    // than the margins we aim for.
    double ratio(Kind kind, Kind floor) const { return median(sortedRatios(kind, floor)); }
    // The median of the runs' seconds: unlike the best, it does not fall as a book takes more
    // rounds, so books with different numbers of rounds can be set side by side.
    double medianSeconds(Kind kind) const {
      std::vector<double> runs;
      for (const auto& round : elapsed)
        if (round[kind] >= 0) runs.push_back(round[kind]);
      std::sort(runs.begin(), runs.end());
      return median(runs);
    }
    // The lowest and highest of those ratios: how far the machine swung on this row.
    std::string ratioRange(Kind kind, Kind floor) const {
      const std::vector<double> ratios = sortedRatios(kind, floor);
      if (ratios.empty()) return "-";
      char text[32];
      std::snprintf(text, sizeof text, "%.2f-%.2f", ratios.front(), ratios.back());
      return text;
    }
  };
  // One run of `kind` on `book` into a fresh export folder: its seconds, negative when it did not
  // finish cleanly.
  const auto timeRun = [&](const Book& book, Kind kind, size_t& peakWorkingSet) {
    removeDirectoryTree(out);
    createDirectoryTree(out);
    if (kind < Floor) {
      const WorkingSetSampler sampler(peakWorkingSet);
      BenchUi ui(out, kind == WithProgress ? &window : nullptr);
      if (kind == Packed)
        ExportDriver(ui).Run(book.packedPath);
      else
        BookWalker(ui).run(book.path);
      if (ui.elapsed() < 0) std::printf("engine did not finish cleanly\n");
      return ui.elapsed();
    }
    const bool unpacked = kind == UnpackedFloor || kind == UnpackedBareFloor;
    const bool bare = kind == BareFloor || kind == UnpackedBareFloor;
    std::optional<TemporaryFolder> unpacking;
    std::optional<BookCopy> copy;
    std::vector<std::string> contents;
    std::wstring database;
    if (unpacked) {
      database = unpackBook(book, unpacking.emplace().path());
      if (bare && !database.empty()) contents = readContents(database);
    } else {
      if (bare) contents = readContents(book.path);
      copy.emplace(book.path);
    }
    Sleep(kChoosingMilliseconds);
    if (copy && copy->copied().get() == BookFault::None) database = copy->path();
    if (database.empty()) {
      std::printf("the book could not be copied or unpacked\n");
      return -1.0;
    }
    const double start = seconds();
    if (bare)
      writeBareFloor(book, contents);
    else
      writeFloor(book, database);
    return seconds() - start;
  };
  std::vector<Figures> figures(books.size());
  for (size_t b = 0; b < books.size(); ++b)
    figures[b].elapsed.resize(static_cast<size_t>(passes * shapes[b].roundsEachPass));
  for (int pass = 0; pass < passes; ++pass) {
    for (size_t b = 0; b < books.size(); ++b) {
      for (int turn = 0; turn < shapes[b].roundsEachPass; ++turn) {
        const size_t round = static_cast<size_t>(pass * shapes[b].roundsEachPass + turn);
        for (const Kind kind : kOrder[round % kOrders])
          figures[b].elapsed[round][kind] = timeRun(books[b], kind, figures[b].peakWorkingSet);
      }
    }
  }
  removeDirectoryTree(out);

  std::printf("%-18s %8s %7s %9s %8s %7s %7s %9s %7s %11s %8s %10s %7s\n", "book", "articles", "MB",
              "engine s", "floor s", "bare s", "/floor", "range", "/bare", "articles/s", "peak MB",
              "progress s", "cost %");
  size_t largestArticle = 0;
  for (size_t b = 0; b < books.size(); ++b) {
    const Book& book = books[b];
    const Figures& f = figures[b];
    for (const Kind kind : {Engine, Packed}) {
      const double engine = f.best(kind);
      const auto [floor, bareFloor] = floorsOf(kind);
      const std::string name = std::string(shapes[b].name) + (kind == Packed ? " .pwb" : " .db");
      std::printf("%-18s %8zu %7.1f %9.2f %8.2f %7.2f %7.2f %9s %7.2f %11.0f %8.1f", name.c_str(),
                  book.files.size(), static_cast<double>(book.bytes) / 1048576.0, engine,
                  f.best(floor), f.best(bareFloor), f.ratio(kind, floor),
                  f.ratioRange(kind, floor).c_str(), f.ratio(kind, bareFloor),
                  static_cast<double>(book.files.size()) / engine,
                  static_cast<double>(f.peakWorkingSet) / 1048576.0);
      if (kind == Engine)
        std::printf(" %10.2f %7.1f\n", f.best(WithProgress),
                    100.0 * (f.best(WithProgress) - engine) / engine);
      else
        std::printf("\n");
    }
    largestArticle = std::max(largestArticle, book.largestArticle);
    DeleteFileW(book.path.c_str());
    DeleteFileW(book.packedPath.c_str());
  }
  // From the median runs, as the two books take different numbers of rounds. Beside the engine's,
  // the bare floor's: how much more each file costs the machine itself in the larger book, with
  // no engine at all.
  const auto largeAgainstNovel = [&](Kind kind) {
    const auto secondsPerArticle = [&](size_t b) {
      return figures[b].medianSeconds(kind) / static_cast<double>(books[b].files.size());
    };
    return 100.0 * (secondsPerArticle(2) / secondsPerArticle(0) - 1.0);
  };
  std::printf(
      "seconds per article (median runs), large against novel: %+.1f %% (bare floor: %+.1f %%)\n",
      largeAgainstNovel(Engine), largeAgainstNovel(BareFloor));
  std::printf("every run starts %.0f s after the chooser opened; the .db is copied meanwhile\n",
              kChoosingMilliseconds / 1000.0);
  std::printf("the floors write from that copy, or from the .pwb that 7-Zip unpacked before\n");
  std::printf("working set limit: 64 MB + twice the largest article = %.1f MB\n",
              64.0 + 2.0 * static_cast<double>(largestArticle) / 1048576.0);
  removeDirectoryTree(root);
  DestroyWindow(window.handle());
  OleUninitialize();
  return 0;
}

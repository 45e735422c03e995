// A larger book exported by the engine against the tree and toc.html that a straightforward
// reading of the book gives: rows in rank order, categories between articles, numbering,
// colliding names, and a second export into the same, no longer empty, folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>

#include "export/BookWalker.h"
#include "support/BookBuilder.h"
#include "support/RecordingUi.h"
#include "support/TempDir.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

struct Row {
  double rank;
  bool isCategory;
  std::string title;
  std::string extension;
  std::string content;
};

struct Folder {
  std::string id;
  std::string name;
  std::vector<Row> rows;
};

// Text then a number; built by appending (GCC 12 warns falsely on "literal" + std::string).
std::string withNumber(std::string text, unsigned number) {
  text += std::to_string(number);
  return text;
}

std::string lower(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The export as the rules describe it, computed without the engine. `taken` holds the names
// already in each directory (lower case), so a second export lands beside the first.
void model(const std::vector<Folder>& folders, bool numbered,
           std::map<std::string, std::string>& tree,
           std::map<std::string, std::set<std::string>>& taken, std::string& toc,
           const std::string& h1) {
  toc += "<h1>" + h1 + "</h1>\n";
  for (const auto& folder : folders) {
    const std::string folderDir = folder.name + "/";
    tree[folderDir];
    toc += "<h2>" + folder.name + "</h2>\n";
    std::vector<Row> rows = folder.rows;
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.rank < b.rank; });
    std::string dir = folderDir;
    int counter = 0;
    for (const auto& row : rows) {
      if (row.isCategory) {
        dir = folderDir + row.title + "/";
        tree[dir];
        toc += "<h3>" + row.title + "</h3>\n";
        counter = 0;
        continue;
      }
      toc += row.extension == "txt" ? "<p><strong>T</strong> " : "<p><strong>M</strong> ";
      toc += row.title;
      toc += "</p>\n";
      std::string base = numbered ? std::to_string(++counter) + ". " : std::string();
      base += row.title;
      const std::string suffix = row.extension == "txt" ? ".txt" : ".md";
      std::string name = base + suffix;
      for (int n = 0; taken[dir].count(lower(name)); ++n)
        name = base + "_" + std::to_string(n) + suffix;
      taken[dir].insert(lower(name));
      tree[dir + name] = row.content;
    }
  }
}

TEST(BookWalkerModelTest, ExportMatchesAStraightforwardReadingOfTheBook) {
  TempDir books;
  TempDir out(L"导出");
  std::vector<Folder> folders;
  BookBuilder builder(books / L"model.db");
  unsigned seed = 7;
  const auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (unsigned f = 0; f < 12; ++f) {
    Folder folder{withNumber("f", 10u + f), withNumber("卷", f), {}};
    builder.folder(folder.id, folder.name);
    const int rows = static_cast<int>(next() % 40);
    // Ranks are a shuffled sequence, so insertion order is not rank order.
    std::vector<int> ranks(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) ranks[static_cast<size_t>(i)] = i * 3 + 1;
    for (int i = rows - 1; i > 0; --i)
      std::swap(ranks[static_cast<size_t>(i)], ranks[next() % static_cast<unsigned>(i + 1)]);
    for (unsigned i = 0; i < static_cast<unsigned>(rows); ++i) {
      const double rank = ranks[i];
      if (next() % 6 == 0) {
        const std::string title = withNumber("部", next() % 4);  // categories may repeat
        builder.category(folder.id, title, rank);
        folder.rows.push_back({rank, true, title, "cat", ""});
      } else {
        const std::string title =
            next() % 3 == 0 ? "Same" : (next() % 2 ? "same" : withNumber("章", i));
        const std::string extension = next() % 4 == 0 ? "md" : "txt";
        const std::string content =
            withNumber(folder.id + "#", i) + std::string(next() % 3000, 'x');
        builder.article(folder.id, title, extension, rank, content);
        folder.rows.push_back({rank, false, title, extension, content});
      }
      if (next() % 10 == 0) builder.article(folder.id, "deleted", "txt", rank + 0.5, "gone", 1);
    }
    folders.push_back(std::move(folder));
  }
  builder.finish();

  for (const bool numbered : {false, true}) {
    SCOPED_TRACE(numbered ? "numbered" : "plain");
    RecordingUi ui;
    ui.chosenFolder = out.path();
    ui.exportOptions = {true, numbered};
    std::map<std::string, std::string> expected;
    std::map<std::string, std::set<std::string>> taken;
    std::string toc = "<meta charset=\"utf-8\">\n";
    const std::string h1 = wideToUtf8(out.path());
    for (int pass = 0; pass < 2; ++pass) {
      BookWalker(ui).run(books / L"model.db");
      model(folders, numbered, expected, taken, toc, h1);
      auto tree = readTree(out.path());
      EXPECT_EQ(tree["toc.html"], toc) << "pass " << pass;
      tree.erase("toc.html");
      EXPECT_EQ(tree, expected) << "pass " << pass;
    }
    EXPECT_EQ(ui.notices.size(), 2u);
    removeDirectoryTree(out.path());
    createDirectoryTree(out.path());
  }
}

}  // namespace

// Damages a real book file the way failing disks and interrupted copies do: whole pages of
// zeros. Pages are found by what they hold, so the tests need no knowledge of the page layout.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class DamagedBook {
 public:
  explicit DamagedBook(std::wstring path);

  // Table leaf pages (the page type byte 0x0D) whose bytes contain `marker`.
  std::vector<int> tableLeavesHolding(std::string_view marker) const;
  // Index leaf pages (0x0A), which also hold the rows of a WITHOUT ROWID table.
  std::vector<int> indexLeavesHolding(std::string_view marker) const;
  // Overflow pages that hold part of a value containing `marker` and link to a further page.
  std::vector<int> linkedOverflowPagesHolding(std::string_view marker) const;
  // The bytes of page `number` (1-based).
  std::string_view page(int number) const;
  // Overwrites page `number` with zeros, in the file too.
  void zeroPage(int number);

 private:
  std::wstring path_;
  std::vector<int> leavesHolding(char type, std::string_view marker) const;

  std::string bytes_;
  size_t pageSize_;
};

// Damages a real book file: whole pages of zeros.
#include "support/DamagedBook.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

DamagedBook::DamagedBook(std::wstring path) : path_(std::move(path)), bytes_(readFileBytes(path_)) {
  // The page size is stored big-endian at offset 16; 1 stands for 65536.
  const size_t stored = bytes_.size() >= 100 ? (static_cast<unsigned char>(bytes_[16]) << 8) |
                                                   static_cast<unsigned char>(bytes_[17])
                                             : 0;
  pageSize_ = stored == 1 ? 65536 : stored;
  if (pageSize_ == 0 || bytes_.size() % pageSize_ != 0) ADD_FAILURE() << "not a book file";
}

std::string_view DamagedBook::page(int number) const {
  return std::string_view(bytes_).substr((number - 1) * pageSize_, pageSize_);
}

std::vector<int> DamagedBook::tableLeavesHolding(std::string_view marker) const {
  return leavesHolding(0x0D, marker);
}

std::vector<int> DamagedBook::indexLeavesHolding(std::string_view marker) const {
  return leavesHolding(0x0A, marker);
}

std::vector<int> DamagedBook::leavesHolding(char type, std::string_view marker) const {
  std::vector<int> pages;
  const int count = static_cast<int>(bytes_.size() / pageSize_);
  // Page 1 starts with the file header; the tests never need it.
  for (int number = 2; number <= count; ++number)
    if (page(number)[0] == type && page(number).find(marker) != std::string_view::npos)
      pages.push_back(number);
  return pages;
}

std::vector<int> DamagedBook::linkedOverflowPagesHolding(std::string_view marker) const {
  std::vector<int> pages;
  const int count = static_cast<int>(bytes_.size() / pageSize_);
  for (int number = 2; number <= count; ++number) {
    const std::string_view bytes = page(number);
    // An overflow page starts with the number of the next one, big-endian; a b-tree page starts
    // with its type byte, which makes a number far beyond the file.
    unsigned next = 0;
    for (int i = 0; i < 4; ++i) next = (next << 8) | static_cast<unsigned char>(bytes[i]);
    if (next >= 2 && next <= static_cast<unsigned>(count) &&
        bytes.find(marker) != std::string_view::npos)
      pages.push_back(number);
  }
  return pages;
}

void DamagedBook::zeroPage(int number) {
  bytes_.replace((number - 1) * pageSize_, pageSize_, pageSize_, '\0');
  writeFileBytes(path_, bytes_);
}

// The window's menu as data: one table from which the menu bar is built and in which the
// tests look items up.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <type_traits>

enum class Command : UINT {
  None = 0,
  About = 100,
  Help,
  ToggleChapterList,
  ToggleNumbering,
  Stop,  // Esc: asks to stop the export under way
  Open,  // Ctrl+O: a book file chosen in the file dialog
};

// Flag word bits of a menu item.
inline constexpr unsigned kHidden = 1;
inline constexpr unsigned kGreyed = 2;
inline constexpr unsigned kChecked = 4;

struct MenuItemSpec {
  const wchar_t* text;  // "-" for a separator
  int level;            // 0: a menu on the bar; 1: an item in the menu before it
  unsigned flags;       // kHidden, kGreyed, kChecked
  Command command;
};

std::span<const MenuItemSpec> menuTable();

// Builds the menu bar from the table.
HMENU buildMenuBar();

struct AcceleratorsDestroyer {
  void operator()(HACCEL keys) const { DestroyAcceleratorTable(keys); }
};
using UniqueAccelerators = std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorsDestroyer>;
// The window's keys: Esc asks to stop an export, Ctrl+O opens a book.
UniqueAccelerators createAccelerators();

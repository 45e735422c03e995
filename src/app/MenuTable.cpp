// The window's menu as data.
#include "app/MenuTable.h"

#include <array>
#include <string_view>

#include "app/UserTexts.h"

std::span<const MenuItemSpec> menuTable() {
  static const std::array<MenuItemSpec, 12> kItems = {{
      {texts::kProgramMenu, 0, 0, Command::None},
      {texts::kOpenItem, 1, 0, Command::Open},
      {L"-", 1, 0, Command::None},
      {texts::kAttribution, 1, kGreyed, Command::None},
      {L"-", 1, 0, Command::None},
      {texts::kAboutItem, 1, 0, Command::About},
      {texts::kHelpItem, 1, 0, Command::Help},
      {texts::kOptionsMenu, 0, 0, Command::None},
      {texts::kChapterListItem, 1, 0, Command::ToggleChapterList},
      {L"-", 1, 0, Command::None},
      {texts::kNumberingItem, 1, 0, Command::ToggleNumbering},
      {texts::kNumberingExample, 1, kGreyed, Command::None},
  }};
  return kItems;
}

HMENU buildMenuBar() {
  const HMENU bar = CreateMenu();
  HMENU current = nullptr;
  for (const auto& item : menuTable()) {
    if (item.flags & kHidden) continue;
    if (item.level == 0) {
      current = CreatePopupMenu();
      AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(current), item.text);
      continue;
    }
    if (std::wstring_view(item.text) == L"-") {
      AppendMenuW(current, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING;
    if (item.flags & kGreyed) flags |= MF_GRAYED;
    if (item.flags & kChecked) flags |= MF_CHECKED;
    AppendMenuW(current, flags, static_cast<UINT_PTR>(item.command), item.text);
  }
  return bar;
}

UniqueAccelerators createAccelerators() {
  ACCEL keys[] = {
      {FVIRTKEY, VK_ESCAPE, static_cast<WORD>(Command::Stop)},
      {FVIRTKEY | FCONTROL, 'O', static_cast<WORD>(Command::Open)},
  };
  return UniqueAccelerators(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

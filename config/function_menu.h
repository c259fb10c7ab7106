// The configuration window's two assignment menus as item trees: the function menu
// (what a mouse button does: 21 items, four of them sub-menus) and the wheel menu (what
// a vertical-wheel direction does). The ItemIDs these trees give their items are the
// values a button entry stores as its MenuID and the monitor dispatches on. Captions
// are the English originals; a level translates them each time it is built.
#pragma once

#include <cstdint>
#include <span>

#include "menu/vn_menu_ex.h"

namespace quarn::config {

// The four sub-menu rows of the function menu: they open their level, never a click.
enum : std::uint32_t {
  kWindowsShortcutMenuID = 10,
  kWin8ShortcutMenuID = 11,
  kMediaShortcutMenuID = 12,
  kOfficeShortcutMenuID = 13,
};

// One entry of a menu's design: its ItemID and its caption (the original text).
struct MenuEntry {
  std::uint32_t id;
  const char16_t* caption;
};

// The function menu's entries (the function catalog's tree), top level first, then
// each sub-menu's in order.
std::span<const MenuEntry> FunctionMenuEntries();
// The wheel menu's six entries.
std::span<const MenuEntry> WheelMenuEntries();

// Replaces every item of `menu` with the function menu's tree. False (and the menu
// left empty) when an item could not be given its ItemID.
bool BuildFunctionMenu(menu::TvnMenuEx& menu);
bool BuildWheelMenu(menu::TvnMenuEx& menu);

// The pictures and fills a window gives the menus' looks; empty pictures and no
// fills draw nothing in their place.
struct MenuArtwork {
  ui::Fill backgroundFill = ui::Fill::None();
  ui::PictureRef background = ui::EmptyPicture();
  ui::Fill normal = ui::Fill::None();
  ui::Fill over = ui::Fill::None();
  ui::Fill down = ui::Fill::None();
  ui::Fill extender = ui::Fill::None();
};

// The function menu's look: own parameters, the background picture in margins
// (12,7,12,7), text padding (5,1,3,1), Verdana 13 in #FFE9E9E9, rows 30 high, automatic
// width, no check column and no check mark on the selected row. Its "WIN8 Shortcut"
// level has parameters of its own, equal to the root's (so it is sized as a level with
// own parameters but looks like its siblings). Call after BuildFunctionMenu.
void ApplyFunctionMenuLook(menu::TvnMenuEx& menu, const MenuArtwork& art);
// The wheel menu's look: margins (1,2,1,2), text padding (15,0,0,0), check fill
// #FFF5ED05, Verdana 13 in #FF01ABE7, rows 25 high and 298 wide, fixed width 300, check
// column shown.
void ApplyWheelMenuLook(menu::TvnMenuEx& menu, const MenuArtwork& art);

}  // namespace quarn::config

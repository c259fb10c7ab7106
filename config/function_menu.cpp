#include "function_menu.h"

#include <iterator>
#include <vector>

#include "function_catalog.h"

namespace quarn::config {
namespace {

// The catalog's tree as entries, top level first, then each sub-menu's in order;
// IDs by position (n at the top, parent * 100 + n below).
std::vector<MenuEntry> Flatten(std::span<const FunctionMenuNode> top) {
  std::vector<MenuEntry> entries;
  for (std::size_t i = 0; i < top.size(); ++i)
    entries.push_back({static_cast<std::uint32_t>(i + 1), top[i].Caption.data()});
  for (std::size_t i = 0; i < top.size(); ++i)
    for (std::size_t j = 0; j < top[i].Sub.size(); ++j)
      entries.push_back(
          {static_cast<std::uint32_t>((i + 1) * 100 + j + 1), top[i].Sub[j].Caption.data()});
  return entries;
}

const std::vector<MenuEntry>& FunctionEntries() {
  static const std::vector<MenuEntry> entries = Flatten(FunctionMenuItems());
  return entries;
}

const std::vector<MenuEntry>& WheelEntries() {
  static const std::vector<MenuEntry> entries = Flatten(WheelMenuItems());
  return entries;
}

// Adds the entries in order: an entry below the top level goes to the sub-menu of the
// item whose ItemID is its own div 100. Every item must receive the ItemID of its
// entry (the numbering the stored MenuIDs rest on); otherwise nothing is kept.
bool AddEntries(menu::TvnMenuEx& menu, std::span<const MenuEntry> entries) {
  menu::TvnMenuItemsEx& top = menu.Items();
  top.Clear();
  for (const MenuEntry& e : entries) {
    menu::TvnMenuItemsEx* level = &top;
    if (e.id >= 100) {
      menu::TvnMenuItemEx* parent = nullptr;
      for (int i = 0; i < top.Count() && !parent; ++i)
        if (top.Items(i)->ItemID() == e.id / 100) parent = top.Items(i);
      if (!parent) {
        top.Clear();
        return false;
      }
      level = &parent->SubItems();
    }
    menu::TvnMenuItemEx* item = level->Add();
    if (!item || item->ItemID() != e.id) {
      top.Clear();
      return false;
    }
    item->Caption = e.caption;
  }
  return true;
}

ui::Fill Solid(ui::Color c) {
  return ui::Fill::Solid(c);
}

}  // namespace

std::span<const MenuEntry> FunctionMenuEntries() {
  return FunctionEntries();
}

std::span<const MenuEntry> WheelMenuEntries() {
  return WheelEntries();
}

bool BuildFunctionMenu(menu::TvnMenuEx& menu) {
  return AddEntries(menu, FunctionEntries());
}

bool BuildWheelMenu(menu::TvnMenuEx& menu) {
  return AddEntries(menu, WheelEntries());
}

void ApplyFunctionMenuLook(menu::TvnMenuEx& menu, const MenuArtwork& art) {
  menu.UseCustomMenuParams = true;
  menu::TMenuParams& p = menu.Parameters;
  p.BGFill = art.backgroundFill;
  p.BGImage = art.background;
  p.BGMargins = {12, 7, 12, 7};
  p.MenuTextPadding = {5, 1, 3, 1};
  p.ItemNormalFill = art.normal;
  p.ItemOverFill = art.over;
  p.ItemDownFill = art.down;
  p.ItemExtenderFill = art.extender;
  p.ItemFontFill = Solid(0xFFE9E9E9);
  p.ItemFont = {u"Verdana", 13, false, false, false};
  p.ItemHeight = 30;
  p.ItemAutoSize = true;
  p.ItemShowCheck = false;
  p.MenuShowCheckbox = false;
  p.MenuShowSelectedState = false;
  p.MenuShowSelectedCheckMark = false;
  for (int i = 0; i < menu.Items().Count(); ++i) {
    menu::TvnMenuItemEx* item = menu.Items().Items(i);
    if (item->ItemID() != kWin8ShortcutMenuID) continue;
    item->SubItems().UseParentParameter = false;
    item->SubItems().Parameters = p;
  }
}

void ApplyWheelMenuLook(menu::TvnMenuEx& menu, const MenuArtwork& art) {
  menu.UseCustomMenuParams = true;
  menu::TMenuParams& p = menu.Parameters;
  p.BGFill = art.backgroundFill;
  p.BGImage = art.background;
  p.BGMargins = {1, 2, 1, 2};
  p.MenuTextPadding = {15, 0, 0, 0};
  p.ItemNormalFill = art.normal;
  p.ItemOverFill = art.over;
  p.ItemDownFill = art.down;
  p.ItemExtenderFill = art.extender;
  p.ItemCheckFill = Solid(0xFFF5ED05);
  p.ItemFontFill = Solid(0xFF01ABE7);
  p.ItemFont = {u"Verdana", 13, false, false, false};
  p.ItemHeight = 25;
  p.ItemWidth = 298;
  p.CustomWidth = 300;
  p.ItemShowCheck = true;
  p.MenuShowCheckbox = true;
}

}  // namespace quarn::config

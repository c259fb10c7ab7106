#include "function_menu.h"

#include <iterator>

namespace quarn::config {
namespace {

constexpr MenuEntry kFunctionMenu[] = {
    {1, u"Click"},
    {2, u"Right Click"},
    {3, u"Middle Click"},
    {4, u"Forward"},
    {5, u"Backward"},
    {6, u"Scroll Up"},
    {7, u"Scroll Down"},
    {8, u"Scroll Left"},
    {9, u"Scroll Right"},
    {kWindowsShortcutMenuID, u"Windows Shortcut"},
    {kWin8ShortcutMenuID, u"WIN8 Shortcut"},
    {kMediaShortcutMenuID, u"Media Shortcut"},
    {kOfficeShortcutMenuID, u"Office Shortcut"},
    {14, u"Virtual Keyboard..."},
    {15, u"Quick Launch..."},
    {16, u"Profile Cycle"},
    {17, u"Fire Key..."},
    {18, u"Macro Key..."},
    {19, u"Open Driver"},
    {20, u"Double Click"},
    {21, u"Disabled"},

    {1001, u"Shut Down"},
    {1002, u"Hibernate"},
    {1003, u"Browser Search"},
    {1004, u"HomePage"},
    {1005, u"Refresh"},
    {1006, u"My Computer"},
    {1007, u"Stop"},
    {1008, u"Backward"},
    {1009, u"Forward"},
    {1010, u"My Favorite"},
    {1011, u"EMail"},
    {1012, u"Calculator"},

    {1101, u"WIN+Q Software Menu"},
    {1102, u"WIN+U Easy Setting Center"},
    {1103, u"WIN+I Setting"},
    {1104, u"WIN+R Command"},
    {1105, u"WIN+X Right Click Win Key"},
    {1106, u"WIN+F Search"},
    {1107, u"WIN+D Minimize Windows"},
    {1108, u"WIN+E My Computer"},
    {1109, u"WIN+C Charm Menu"},

    {1201, u"Mute"},
    {1202, u"Volume Up"},
    {1203, u"Volume Down"},
    {1204, u"Next Track"},
    {1205, u"Previous Track"},
    {1206, u"Stop"},
    {1207, u"Play/Pause"},
    {1208, u"Media Player"},

    {1301, u"Open Word"},
    {1302, u"Open Excel"},
    {1303, u"Ctrl+X Cut"},
    {1304, u"Ctrl+V Paste"},
    {1305, u"Ctrl+C Copy"},
    {1306, u"Ctrl+A Select All"},
    {1307, u"Ctrl+P Print"},
};

constexpr MenuEntry kWheelMenu[] = {
    {1, u"Scroll Up"},   {2, u"Scroll Down"}, {3, u"Volume Up"},
    {4, u"Volume Down"}, {5, u"Backward"},    {6, u"Forward"},
};

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
  return kFunctionMenu;
}

std::span<const MenuEntry> WheelMenuEntries() {
  return kWheelMenu;
}

bool BuildFunctionMenu(menu::TvnMenuEx& menu) {
  return AddEntries(menu, kFunctionMenu);
}

bool BuildWheelMenu(menu::TvnMenuEx& menu) {
  return AddEntries(menu, kWheelMenu);
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

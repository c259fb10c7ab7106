// The system's pop-up menu: a component holding a tree of items, shown level by level
// in pop-up windows. TvnMenuEx is the menu, TvnMenuItemsEx one level (the top level or
// an item's sub-items), TvnMenuItemEx one entry. Items get a hierarchical ItemID when
// they are inserted (n at the top level, parent * 100 + n below); a click on a leaf is
// reported by ItemID through the item's OnClick or the menu's OnItemsClick, always
// after every level has closed and from the host's message loop, never from inside
// the input that caused it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "menu/menu_host.h"
#include "menu/menu_looks.h"
#include "menu/menu_params.h"
#include "translation.h"
#include "ui/graphics.h"
#include "ui/popup.h"

class TvnFunctionManager;

namespace quarn::menu {

class TvnMenuEx;
class TvnMenuItemEx;
class TvnMenuItemsEx;
class TvnMenuBox;

// The row marked when a level is built: one value for the whole program. Creating a
// menu sets it to 0. It marks the row whose ItemID it equals (0 .. 2^32-1 only).
extern std::int64_t SelectedMenuID;

// Icons of a level's rows by item ImageIndex.
using MenuImageList = std::vector<ui::PictureRef>;

// (sender item, item name, ItemID, buffer, size)
using TvnMenuItemsExEvent =
    std::function<void(TvnMenuItemEx& Sender, const std::u16string& name, std::uint32_t id,
                       const void* buffer, std::int32_t size)>;
// (sender item, buffer, size)
using TvnMenuItemExEvent =
    std::function<void(TvnMenuItemEx& Sender, const void* buffer, std::int32_t size)>;
using MenuLevelEvent = std::function<void(TvnMenuItemsEx& level)>;

class TvnMenuItemsEx {
 public:
  explicit TvnMenuItemsEx(TvnMenuEx& menu);
  explicit TvnMenuItemsEx(TvnMenuItemEx& item);
  ~TvnMenuItemsEx();
  TvnMenuItemsEx(const TvnMenuItemsEx&) = delete;
  TvnMenuItemsEx& operator=(const TvnMenuItemsEx&) = delete;

  int Count() const { return int(items_.size()); }
  // The item at `index`, or null outside 0..Count-1.
  TvnMenuItemEx* Items(int index) const;
  // Inserts a new item named "Item<n>" (n the lowest number no name of the level
  // uses, letter case ignored) with ItemID n, or parent * 100 + n. Refused (null,
  // nothing added) when that ItemID does not fit 32 bits.
  TvnMenuItemEx* Add();
  // Inserts an item that already has a name: it keeps it and takes the ItemID an
  // unnamed item would get.
  TvnMenuItemEx* Add(std::u16string name);
  // Removes the item at `index` (nothing outside the range).
  void Delete(int index);
  void Clear();

  const MenuImageList* Images = nullptr;  // not owned
  int ItemIndex = -1;
  TMenuParams Parameters;
  bool UseParentParameter = true;
  LevelDefaults Defaults;

  // The menu for the top level, else null.
  TvnMenuEx* OwnerMenu() const { return ownerMenu_; }
  // The item whose sub-items this is, else null.
  TvnMenuItemEx* OwnerItem() const { return ownerItem_; }
  TvnMenuEx& RootMenu() const { return *root_; }

  // Builds and opens the level at a target. False when the menu has no host.
  bool ShowMenuPopup(const MenuTarget& target, ui::Placement placement);
  bool ShowMenuPopupInRect(const MenuTarget& target, ui::Placement placement,
                           const ui::RectF& rectangle);
  // The level's pop-up closed, whatever closed it: reported to OnMenuClose.
  void PopupClosed();
  bool GetIsMenuOpened() const;
  // The target's top-left in screen pixels: truncated in the scene, rounded on
  // screen, held within 32 bits.
  static ui::ScreenPoint GetTargetScreenPos(const MenuTarget& target);
  // Closes the open sub-levels (deeper first, earlier items first), then this one.
  // False when a close handler destroyed the menu (stop walking then).
  bool CloseSubMenus();
  // Every level below and this one forget their ItemIndex, except `except`.
  void ResetMenuItemIndexes(const TvnMenuItemsEx* except);
  void ItemSetMaxSize(float width);
  void SetItemCheckedState(int index, bool state);

  // The level's box (null until first shown).
  TvnMenuBox* Box() const { return box_.get(); }
  // Builds or updates the box and its rows (first show creates them).
  void BuildMenuPopup();
  std::weak_ptr<void> LifeToken() const { return life_; }
  float ItemMaxWidth() const { return itemMaxWidth_; }

 private:
  friend class TvnMenuItemEx;
  TvnMenuItemEx* Insert(std::u16string name);
  bool Show(const MenuTarget& target, ui::Placement placement, const ui::RectF* rectangle);

  TvnMenuEx* root_;
  TvnMenuEx* ownerMenu_ = nullptr;
  TvnMenuItemEx* ownerItem_ = nullptr;
  std::vector<std::unique_ptr<TvnMenuItemEx>> items_;
  std::unique_ptr<TvnMenuBox> box_;
  float itemMaxWidth_ = 0;
  std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

class TvnMenuItemEx {
 public:
  explicit TvnMenuItemEx(TvnMenuItemsEx& owner);
  ~TvnMenuItemEx();
  TvnMenuItemEx(const TvnMenuItemEx&) = delete;
  TvnMenuItemEx& operator=(const TvnMenuItemEx&) = delete;

  std::u16string Name;
  std::u16string Caption;
  float ItemHeight = 0;  // 0: the level's row height
  bool Checked = false;
  int ImageIndex = -1;
  bool IsSelected = false;
  TvnMenuItemExEvent OnClick;
  // Stored only.
  std::u16string Hint, Data, Description, ShortDescription;
  ui::PictureRef Bitmap = ui::EmptyPicture(), BitmapOver = ui::EmptyPicture(),
                 BitmapDown = ui::EmptyPicture();
  bool Enabled = true, Visible = true, Default = false, RadioItem = false;
  std::uint16_t ShortCut = 0;
  const MenuImageList* SubItemImages = nullptr;

  std::uint32_t ItemID() const { return id_; }
  TvnMenuItemsEx& SubItems() { return *subItems_; }
  const TvnMenuItemsEx& SubItems() const { return *subItems_; }
  bool HasSubItems() const { return subItems_->Count() > 0; }
  TvnMenuEx& GetRootMenu() const { return owner_->RootMenu(); }
  TvnMenuItemsEx& GetOwner() const { return *owner_; }
  // The name, or "TvnMenuItemEx" without one.
  std::u16string GetDisplayName() const;
  // Reports the click: OnClick when set, else the root menu's OnItemsClick.
  void DispatchClick();

 private:
  friend class TvnMenuItemsEx;
  TvnMenuItemsEx* owner_;
  std::uint32_t id_ = 0;
  std::unique_ptr<TvnMenuItemsEx> subItems_;
};

class TvnMenuEx {
 public:
  TvnMenuEx();
  ~TvnMenuEx();
  TvnMenuEx(const TvnMenuEx&) = delete;
  TvnMenuEx& operator=(const TvnMenuEx&) = delete;

  TvnMenuItemsEx& Items() { return *items_; }
  const TvnMenuItemsEx& Items() const { return *items_; }
  bool UseCustomMenuParams = false;
  TMenuParams Parameters;
  // Optional source of the click buffer: item FunctionItemIndex of this manager.
  std::weak_ptr<TvnFunctionManager> FunctionManager;
  int FunctionItemIndex = 0;
  TvnMenuItemsExEvent OnItemsClick;
  MenuLevelEvent OnMenuClose;

  // Where the levels are shown (not owned); without one nothing opens.
  MenuHost* Host = nullptr;
  // The fixed looks and the translation of captions.
  MenuBoxLook BoxLook = MenuBoxLook::Default();
  MenuRowLook RowLook = MenuRowLook::Default();
  LanguageContext* Language = &ProgramLanguage();

  bool IsMenuOpen() const { return items_->GetIsMenuOpened(); }
  bool ShowMainMenu(const MenuTarget& target, ui::Placement placement);
  bool ShowMainMenu(std::int64_t selectedMenuID, const MenuTarget& target, ui::Placement placement);
  bool ShowMainMenu(std::int64_t selectedMenuID, const MenuTarget& target, ui::Placement placement,
                    const ui::RectF& rectangle);

  // The window that owns the pop-ups: the target's window of the last ShowMainMenu.
  std::uintptr_t PopupParent() const { return popupParent_; }
  // The open pop-up windows of this menu, in opening order.
  ui::PopupStack& Popups() { return popups_; }
  // Activation moved from pop-up `lost` to window `activated`: the levels the pop-up
  // rules close are closed, the latest first, each reporting its close.
  void Deactivated(std::uintptr_t lost, std::uintptr_t activated);

  // A release over a leaf row of `level`: closes every level, resets the other levels'
  // ItemIndex and, when `dispatch` (the row was pressed and released with the left
  // button), reports the click of row `row`. Runs later, from the host's loop; nothing
  // runs when the menu or the level is gone by then.
  void RequestClick(TvnMenuItemsEx& level, int row, bool dispatch);
  std::weak_ptr<void> LifeToken() const { return life_; }

 private:
  std::unique_ptr<TvnMenuItemsEx> items_;
  std::uintptr_t popupParent_ = 0;
  ui::PopupStack popups_;
  std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

// Walk up from a level to its menu, then close every level / reset every ItemIndex
// except `except`. False when a close handler destroyed the menu.
bool CloseAllMenuLevels(TvnMenuItemsEx& from);
void ResetAllMenuLevels(TvnMenuItemsEx& from, const TvnMenuItemsEx* except);

}  // namespace quarn::menu

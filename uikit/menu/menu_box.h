// One open menu level: its pop-up window's content. TvnMenuBox holds one row per item
// of its level (built once, then rows appended or freed as the item count changes),
// lays them out top to bottom, tracks the row under the mouse, the pressed row and
// the marked row, classifies each row's highlight and answers the mouse and the keys.
// The pop-up window (from the menu's host) shows it; PaintMenuBox draws it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "menu/menu_host.h"
#include "menu/menu_params.h"
#include "ui/graphics.h"
#include "ui/object.h"

namespace quarn::menu {

class TvnMenuItemsEx;

struct TvnMenuBoxItem {
  std::u16string Text;
  std::uint32_t ItemID = 0;
  float height = 1;
  float y = 0;  // top in the content, set by the layout
  ui::Cursor cursor = ui::Cursor::Arrow;
  bool IsChecked = false;
  bool IsSelected = false;
  bool IsExtender = false;
  int imageIndex = -1;
};

enum class RowHighlight { Normal, Over, Down };

// Virtual-key codes the box answers.
constexpr std::uint16_t kKeyEnd = 0x23, kKeyHome = 0x24, kKeyLeft = 0x25, kKeyUp = 0x26,
                        kKeyRight = 0x27, kKeyDown = 0x28;

class TvnMenuBox {
 public:
  explicit TvnMenuBox(TvnMenuItemsEx& level);
  ~TvnMenuBox();
  TvnMenuBox(const TvnMenuBox&) = delete;
  TvnMenuBox& operator=(const TvnMenuBox&) = delete;

  TvnMenuItemsEx& Level() const { return level_; }
  int Count() const { return int(rows_.size()); }
  const TvnMenuBoxItem* ItemByIndex(int index) const;
  // The first row holding the client point, or -1.
  int ItemByPoint(ui::PointF p) const;
  int ItemIndex() const { return itemIndex_; }
  // Unmarks the old row, scrolls the new one into view and marks it (never a row with a
  // sub-menu), and writes the level's ItemIndex.
  void SetItemIndex(int v);
  const TvnMenuBoxItem* Selected() const { return ItemByIndex(itemIndex_); }
  bool ShowSelectedState = true;

  int MoveOverRow() const { return moveOver_; }
  int MouseDownRow() const { return mouseDown_; }
  RowHighlight HighlightOf(int row) const;

  // --- input from the pop-up window, client pixels ---
  void MouseMove(ui::PointF p);
  void MouseLeave();
  void MouseDown(ui::MouseButton button, ui::PointF p);
  void MouseUp(ui::MouseButton button, ui::PointF p);
  // Every answered key is swallowed (set to 0), also when nothing moved.
  void KeyDown(std::uint16_t& key, char16_t& ch);

  // --- the pop-up ---
  float PopupWidth() const { return width_; }
  float PopupHeight() const { return height_; }
  // Sets the width (an open pop-up is resized at once).
  void SetPopupWidth(float width);
  bool IsOpen() const { return open_; }
  ui::ScreenPoint Position() const { return position_; }
  MenuPopupWindow* Window() const { return window_.get(); }
  // Opens (or moves) the pop-up at a screen point.
  void Open(ui::ScreenPoint topLeft);
  // Hides the pop-up; reports the close to the level when it was open.
  void Close();
  // The window closed or was destroyed by itself: the box forgets it (a new one is
  // made at the next show) and reports the close when it was open.
  void WindowClosed(bool destroyed);

  // --- look and layout ---
  const MenuLevelLook& Look() const { return look_; }
  // The rows' area inside the box's margins.
  ui::RectF ContentRect() const;
  // A row's box in client pixels (scrolled).
  ui::RectF RowRect(int row) const;
  float ScrollY() const { return scrollY_; }
  float TextWidth(std::u16string_view text) const;
  const std::vector<TvnMenuBoxItem>& Rows() const { return rows_; }

 private:
  friend class TvnMenuItemsEx;
  void SetRowSelected(int row, bool selected);
  void LayoutRows();
  void Refresh();
  void ScrollIntoView(int row);

  TvnMenuItemsEx& level_;
  std::vector<TvnMenuBoxItem> rows_;
  MenuLevelLook look_;
  std::unique_ptr<MenuPopupWindow> window_;
  float width_ = 100, height_ = 0;
  float scrollY_ = 0;
  bool open_ = false;
  ui::ScreenPoint position_;
  int itemIndex_ = -1;
  int moveOver_ = -1;
  int mouseDown_ = -1;
};

}  // namespace quarn::menu

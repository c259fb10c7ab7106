#include "menu/menu_box.h"

#include <algorithm>
#include <cmath>

#include "menu/vn_menu_ex.h"

namespace quarn::menu {

namespace {

std::int32_t Pixels(float v) {
  if (!(v >= 1)) return 1;
  if (v >= 1e9f) return 1000000000;
  return std::int32_t(std::ceil(v));
}

// Lower case for ASCII and Latin-1 letters.
char16_t Lower(char16_t c) {
  if (c >= u'A' && c <= u'Z') return char16_t(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);
  return c;
}

}  // namespace

TvnMenuBox::TvnMenuBox(TvnMenuItemsEx& level) : level_(level) {}

TvnMenuBox::~TvnMenuBox() {
  if (window_ && open_) level_.RootMenu().Popups().Closed(window_->Id());
}

const TvnMenuBoxItem* TvnMenuBox::ItemByIndex(int index) const {
  return index >= 0 && index < Count() ? &rows_[std::size_t(index)] : nullptr;
}

ui::RectF TvnMenuBox::ContentRect() const {
  const MenuBounds m = look_.custom ? look_.boxMargins : MenuBounds{};
  return {m.Left, m.Top, width_ - m.Left - m.Right, height_ - m.Top - m.Bottom};
}

ui::RectF TvnMenuBox::RowRect(int row) const {
  const TvnMenuBoxItem* r = ItemByIndex(row);
  if (!r) return {};
  const ui::RectF c = ContentRect();
  return {c.x, c.y + r->y - scrollY_, c.width, r->height};
}

int TvnMenuBox::ItemByPoint(ui::PointF p) const {
  for (int i = 0; i < Count(); ++i)
    if (RowRect(i).Contains(p)) return i;
  return -1;
}

float TvnMenuBox::TextWidth(std::u16string_view text) const {
  MenuHost* host = level_.RootMenu().Host;
  return host ? host->MeasureText(text, look_.rowFont).width : 0;
}

void TvnMenuBox::Refresh() {
  if (window_) window_->Invalidate();
}

void TvnMenuBox::LayoutRows() {
  float total = 0;
  for (auto& r : rows_) {
    r.y = total;
    total += r.height;
  }
  const float visible = ContentRect().height;
  scrollY_ = std::clamp(scrollY_, 0.0f, std::max(0.0f, total - visible));
  Refresh();
}

void TvnMenuBox::ScrollIntoView(int row) {
  const TvnMenuBoxItem* r = ItemByIndex(row);
  if (!r) return;
  const float visible = ContentRect().height;
  if (r->y + r->height - scrollY_ > visible) scrollY_ = r->y + r->height - visible;
  if (r->y < scrollY_) scrollY_ = r->y;
}

void TvnMenuBox::SetItemIndex(int v) {
  if (v < -1 || v >= Count()) v = -1;  // a stale or foreign index marks nothing
  if (v == itemIndex_) return;
  if (itemIndex_ >= 0 && itemIndex_ < Count()) rows_[std::size_t(itemIndex_)].IsSelected = false;
  itemIndex_ = v;
  if (v >= 0) {
    ScrollIntoView(v);
    // A row that opens a sub-menu is never shown as marked.
    rows_[std::size_t(v)].IsSelected = !rows_[std::size_t(v)].IsExtender;
  }
  level_.ItemIndex = v;
  Refresh();
}

void TvnMenuBox::SetRowSelected(int row, bool selected) {
  TvnMenuBoxItem& r = rows_[std::size_t(row)];
  if (r.IsSelected == selected) return;
  r.IsSelected = selected;
  if (selected)
    SetItemIndex(row);
  else if (row == itemIndex_)
    SetItemIndex(-1);
  else
    Refresh();
}

void TvnMenuBox::SetPopupWidth(float width) {
  width_ = std::max(width, 1.0f);
  if (window_ && open_) window_->Show(position_, Pixels(width_), Pixels(height_));
  LayoutRows();
}

RowHighlight TvnMenuBox::HighlightOf(int row) const {
  const int over = moveOver_ >= 0 && moveOver_ != mouseDown_ ? moveOver_ : -1;
  if (row == over) return RowHighlight::Over;
  int down = -1;
  for (int i = 0; i < Count(); ++i)
    if (i != over && (i == mouseDown_ || (rows_[std::size_t(i)].IsSelected && ShowSelectedState)))
      down = i;
  return row >= 0 && row == down ? RowHighlight::Down : RowHighlight::Normal;
}

void TvnMenuBox::MouseMove(ui::PointF p) {
  const int row = ItemByPoint(p);
  if (row < 0 || row == moveOver_) return;
  moveOver_ = row;
  Refresh();
  std::weak_ptr<void> alive = level_.LifeToken();
  // Sibling sub-levels close before this row's own opens.
  for (int i = 0; i < level_.Count(); ++i) {
    TvnMenuItemEx* item = level_.Items(i);
    if (item && item->HasSubItems() && !item->SubItems().CloseSubMenus()) return;
    if (alive.expired()) return;
  }
  TvnMenuItemEx* item = level_.Items(row);
  if (item && item->HasSubItems()) {
    MenuTarget target;
    target.absolute = RowRect(row);
    target.clientOrigin = {float(position_.x), float(position_.y)};
    target.holderLeft = position_.x;
    target.window = window_ ? window_->Id() : 0;
    item->SubItems().ShowMenuPopup(target, ui::Placement::Right);
  } else if (window_) {
    window_->Activate();
  }
}

void TvnMenuBox::MouseLeave() {
  if (moveOver_ < 0) return;
  moveOver_ = -1;
  Refresh();
}

void TvnMenuBox::MouseDown(ui::MouseButton button, ui::PointF p) {
  if (button != ui::MouseButton::Left) return;
  const int row = ItemByPoint(p);
  mouseDown_ = row;
  if (window_) window_->SetCapture(true);
  Refresh();
  if (row >= 0 && row != itemIndex_) SetItemIndex(row);
}

void TvnMenuBox::MouseUp(ui::MouseButton button, ui::PointF p) {
  const int pressed = mouseDown_;
  if (window_) window_->SetCapture(false);
  if (mouseDown_ >= 0) {
    mouseDown_ = -1;
    moveOver_ = -1;
    Refresh();
  }
  const int row = ItemByPoint(p);
  TvnMenuItemEx* item = level_.Items(row);
  if (!item || item->HasSubItems()) return;
  const bool dispatch = button == ui::MouseButton::Left && pressed == row;
  level_.RootMenu().RequestClick(level_, row, dispatch);
}

void TvnMenuBox::KeyDown(std::uint16_t& key, char16_t& ch) {
  if (rows_.empty()) return;
  const int last = Count() - 1;
  if (ch != 0) {
    const char16_t typed = Lower(ch);
    for (int i = 0; i < Count(); ++i) {
      const std::u16string& t = rows_[std::size_t(i)].Text;
      if (!t.empty() && Lower(t[0]) == typed) {
        SetItemIndex(i);
        break;
      }
    }
    ch = 0;
    key = 0;
    return;
  }
  switch (key) {
    case kKeyHome:
      SetItemIndex(0);
      break;
    case kKeyEnd:
      SetItemIndex(last);
      break;
    case kKeyUp:
    case kKeyLeft:
      if (itemIndex_ >= 1) SetItemIndex(itemIndex_ - 1);
      break;
    case kKeyDown:
    case kKeyRight:
      if (itemIndex_ < last) SetItemIndex(std::min(itemIndex_ + 1, last));
      break;
    default:
      return;
  }
  key = 0;
}

void TvnMenuBox::Open(ui::ScreenPoint topLeft) {
  TvnMenuEx& menu = level_.RootMenu();
  if (!window_) {
    if (!menu.Host) return;
    window_ = menu.Host->CreatePopupWindow(*this, menu.PopupParent());
    if (!window_) return;
  }
  position_ = topLeft;
  LayoutRows();
  window_->Show(topLeft, Pixels(width_), Pixels(height_));
  open_ = true;
  menu.Popups().Opened(window_->Id());
}

void TvnMenuBox::Close() {
  if (!open_) return;
  open_ = false;
  mouseDown_ = moveOver_ = -1;
  if (window_) {
    level_.RootMenu().Popups().Closed(window_->Id());
    window_->SetCapture(false);
    window_->Hide();
  }
  level_.PopupClosed();
}

void TvnMenuBox::WindowClosed(bool destroyed) {
  const bool was = open_;
  open_ = false;
  mouseDown_ = moveOver_ = -1;
  if (window_) level_.RootMenu().Popups().Closed(window_->Id());
  if (destroyed) window_.reset();
  if (was) level_.PopupClosed();
}

// --- building a level ---

void TvnMenuItemsEx::BuildMenuPopup() {
  TvnMenuEx& menu = *root_;
  MenuHost* host = menu.Host;
  if (!host) return;
  if (!box_) box_ = std::make_unique<TvnMenuBox>(*this);
  TvnMenuBox& box = *box_;
  box.look_ = ResolveLevelLook(menu.UseCustomMenuParams, UseParentParameter, menu.Parameters,
                               Parameters, Defaults);
  const MenuLevelLook& look = box.look_;

  // Rows appended or freed at the end; existing rows keep their height and cursor.
  while (box.Count() > Count()) {
    const int lastRow = box.Count() - 1;
    box.SetRowSelected(lastRow, false);
    box.rows_.pop_back();
  }
  if (box.itemIndex_ >= box.Count()) box.SetItemIndex(-1);
  if (box.moveOver_ >= box.Count()) box.moveOver_ = -1;
  if (box.mouseDown_ >= box.Count()) box.mouseDown_ = -1;
  while (box.Count() < Count()) {
    const TvnMenuItemEx& item = *items_[box.rows_.size()];
    TvnMenuBoxItem row;
    row.height = item.ItemHeight != 0 ? std::max(item.ItemHeight, 1.0f) : look.rowHeight;
    if (!(row.height < 1e6f)) row.height = 1e6f;
    row.cursor = look.cursor;
    box.rows_.push_back(std::move(row));
  }

  const bool selectable = SelectedMenuID >= 0 && SelectedMenuID <= 0xFFFFFFFFll;
  int matched = -1;
  float total = 0;
  for (int i = 0; i < Count(); ++i) {
    const TvnMenuItemEx& item = *items_[std::size_t(i)];
    TvnMenuBoxItem& row = box.rows_[std::size_t(i)];
    row.Text = menu.Language ? menu.Language->Translate(item.Caption) : item.Caption;
    row.ItemID = item.ItemID();
    row.IsExtender = item.HasSubItems();
    row.IsChecked = item.Checked;
    row.imageIndex = item.ImageIndex;
    box.SetRowSelected(i, item.IsSelected);
    if (selectable && std::uint32_t(SelectedMenuID) == item.ItemID()) matched = i;
    total += row.height;
  }
  box.SetItemIndex(matched >= 0 ? matched : ItemIndex);

  // Height: the rows and margins, or the custom height; never beyond the screen,
  // except a custom height of a level that follows the root.
  const float screenHeight = host->ScreenSize().height;
  const MenuBounds& m = look.sizeMargins;
  float height;
  if (!look.ownSizing) {
    const float rows = total + m.Top + m.Bottom;
    height = look.customHeight != 0 ? float(look.customHeight) : std::min(rows, screenHeight);
  } else {
    height = std::max(box.height_, total + 5 + m.Top + m.Bottom);
    if (look.customHeight != 0) height = float(look.customHeight);
    height = std::min(height, screenHeight);
  }
  box.height_ = std::max(height, 1.0f);

  // Width: from the caption with the most characters (two at least), set only while
  // the pop-up is closed.
  int widest = -1;
  std::size_t most = 1;
  for (int i = 0; i < box.Count(); ++i)
    if (box.rows_[std::size_t(i)].Text.size() > most) {
      most = box.rows_[std::size_t(i)].Text.size();
      widest = i;
    }
  if (widest >= 0 && !box.open_) {
    const float w = host->MeasureText(box.rows_[std::size_t(widest)].Text, look.measureFont).width;
    float width = (look.autoSize ? w + 100 : float(look.itemWidth)) + m.Left + m.Right;
    if (look.customWidth != 0) width = float(look.customWidth);
    box.width_ = std::ceil(std::clamp(width, 1.0f, 1e6f));  // whole pixels, as the window
  }
  box.LayoutRows();
}

}  // namespace quarn::menu

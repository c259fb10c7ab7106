#include "ui/list_box.h"

#include <algorithm>
#include <cmath>

namespace quarn::ui {

void ListBoxItem::Draw(Canvas& canvas) {
  const RectF box = LocalRect();
  if (selected && selectedFill.Visible()) canvas.FillRect(box, selectedFill);
  float left = indent;
  if (!icon->Empty()) {
    const float top = (box.height - iconSize) / 2;
    canvas.DrawPicture(icon, {left, top, iconSize, iconSize}, WrapMode::Stretch);
    left += iconSize;
  }
  DrawTextIn(canvas, {left, 0, std::max(0.f, box.width - left), box.height}, textFill);
}

ListBox::ListBox() {
  clipChildren = true;
  OnMouseDown = [this](Object&, MouseButton, PointF local) {
    const int row = RowAt(local);
    if (row < 0 || row == itemIndex_) return;
    SetItemIndex(row);
    Fire(OnChange, *this);
  };
}

Object* ListBox::Row(int index) const {
  if (index < 0) return nullptr;
  return Child(static_cast<std::size_t>(index));
}

Object& ListBox::InsertRow(int index, std::unique_ptr<Object> row) {
  index = std::clamp(index, 0, Count());
  row->hitTest = false;  // the list takes the mouse for its rows
  Object& ref = *AddChild(std::move(row));
  // AddChild appends: move it to its place.
  const int last = Count() - 1;
  if (index != last) {
    std::vector<std::unique_ptr<Object>> rows;
    for (int i = last; i >= 0; --i)
      rows.push_back(RemoveChild(*Child(static_cast<std::size_t>(i))));
    std::reverse(rows.begin(), rows.end());
    std::unique_ptr<Object> moved = std::move(rows.back());
    rows.pop_back();
    rows.insert(rows.begin() + index, std::move(moved));
    for (auto& r : rows) AddChild(std::move(r));
  }
  if (itemIndex_ >= index) ++itemIndex_;
  Relayout();
  return ref;
}

void ListBox::Clear() {
  while (Count() > 0) RemoveChild(*Child(ChildCount() - 1));
  itemIndex_ = -1;
  scroll_ = 0;
  Invalidate();
}

void ListBox::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  MarkSelection();
  Invalidate();
}

int ListBox::RowAt(PointF local) const {
  if (local.x < 0 || local.x >= Width() || rowHeight <= 0) return -1;
  const float y = local.y - padding.top + scroll_;
  if (y < 0) return -1;
  const auto row = static_cast<int>(std::floor(y / rowHeight));
  return row < Count() ? row : -1;
}

float ListBox::MaxScroll() const {
  const float content = Count() * rowHeight;
  const float view = Height() - padding.top - padding.bottom;
  return std::max(0.f, content - view);
}

void ListBox::ScrollTo(float offset) {
  offset = std::clamp(offset, 0.f, MaxScroll());
  if (offset == scroll_) return;
  scroll_ = offset;
  Relayout();
}

void ListBox::ScrollIntoView(int index) {
  if (index < 0 || index >= Count()) return;
  const float top = index * rowHeight;
  const float view = Height() - padding.top - padding.bottom;
  if (top < scroll_)
    ScrollTo(top);
  else if (top + rowHeight > scroll_ + view)
    ScrollTo(top + rowHeight - view);
}

void ListBox::Relayout() {
  scroll_ = std::clamp(scroll_, 0.f, MaxScroll());
  const float width = std::max(0.f, Width() - padding.left - padding.right);
  for (int i = 0; i < Count(); ++i)
    Row(i)->SetBounds(padding.left, padding.top + i * rowHeight - scroll_, width, rowHeight);
  MarkSelection();
  Invalidate();
}

void ListBox::MarkSelection() {
  for (int i = 0; i < Count(); ++i)
    if (auto* item = dynamic_cast<ListBoxItem*>(Row(i))) item->selected = i == itemIndex_;
}

void ListBox::Draw(Canvas& canvas) {
  if (background.Visible()) canvas.FillRect(LocalRect(), background);
}

}  // namespace quarn::ui

// A list of rows, one under the other, with one selected row. Rows are objects of the
// list (any kind, usually ListBoxItem) laid out at a fixed row height inside the
// list's inner margins and scrolled by whole pixels; the list clips them. A press on
// a row selects it; the selection is kept while the list has no focus.
#pragma once

#include <memory>

#include "ui/shapes.h"

namespace quarn::ui {

// One row: an optional icon at the left, then its text, indented by `indent`. A
// selected row has the list's selection fill behind it.
class ListBoxItem : public TextObject {
 public:
  ListBoxItem() {
    hitTest = false;
    autoTranslate = false;
  }
  PictureRef icon = EmptyPicture();
  float iconSize = 16;
  float indent = 0;
  Fill textFill = Fill::Solid(Rgb(0xFF, 0xFF, 0xFF));
  bool selected = false;
  Fill selectedFill = Fill::Solid(Argb(0x80, 0xC0, 0x10, 0x10));
  void Draw(Canvas& canvas) override;
};

class ListBox : public Object {
 public:
  ListBox();

  float rowHeight = 24;
  Margins padding;
  Fill background;  // None: nothing behind the rows

  int Count() const { return static_cast<int>(ChildCount()); }
  // The row at `index`, or null.
  Object* Row(int index) const;
  // Inserts a row at `index` (brought into 0..Count); the selection stays on its row.
  // Returns the row.
  Object& InsertRow(int index, std::unique_ptr<Object> row);
  Object& AddRow(std::unique_ptr<Object> row) { return InsertRow(Count(), std::move(row)); }
  // Removes every row; nothing is selected and the list is at its top.
  void Clear();

  // The selected row, -1 for none.
  int ItemIndex() const { return itemIndex_; }
  // Program set: no OnChange. Values outside the rows select nothing.
  void SetItemIndex(int index);
  // The row at a point of the list (local coordinates), -1 for none.
  int RowAt(PointF local) const;

  // How far the rows are scrolled up, in pixels (0..MaxScroll).
  float ScrollOffset() const { return scroll_; }
  float MaxScroll() const;
  void ScrollTo(float offset);
  void ScrollBy(float delta) { ScrollTo(scroll_ + delta); }
  // Scrolls the least needed to show the row whole.
  void ScrollIntoView(int index);

  // The user selected another row (by a press of any button).
  NotifyEvent OnChange;

  // Places the rows again (after the list was resized or its measures changed).
  void Relayout();

  void Draw(Canvas& canvas) override;

 private:
  void MarkSelection();

  int itemIndex_ = -1;
  float scroll_ = 0;
};

}  // namespace quarn::ui

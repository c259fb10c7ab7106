#include "ui/popup.h"

#include <algorithm>

namespace quarn::ui {

PointF PlacePopup(const PlacementRequest& r) {
  const RectF& t = r.target;
  switch (r.kind) {
    case Placement::Right:
      return {t.Right(), t.y};
    case Placement::RightCenter:
      return {t.Right(), t.y + (t.height - r.popup.height) / 2};
    case Placement::Absolute:
      if (r.rectangle) return {r.rectangle->x, r.rectangle->y};
      break;
    case Placement::Mouse:
      return r.cursor;
    default:
      break;
  }
  return {t.x, t.Bottom()};
}

void PopupStack::Opened(Id popup) {
  if (!popup) return;
  Closed(popup);
  open_.push_back(popup);
}

void PopupStack::Closed(Id popup) {
  open_.erase(std::remove(open_.begin(), open_.end(), popup), open_.end());
}

bool PopupStack::IsOpen(Id popup) const {
  return popup && std::find(open_.begin(), open_.end(), popup) != open_.end();
}

std::vector<PopupStack::Id> PopupStack::Deactivated(Id popup, Id activated) {
  auto lost = std::find(open_.begin(), open_.end(), popup);
  if (!popup || lost == open_.end() || activated == popup) return {};
  auto now = activated ? std::find(open_.begin(), open_.end(), activated) : open_.end();
  std::vector<Id> closing;
  if (now == open_.end()) {
    closing.assign(open_.rbegin(), open_.rend());
    open_.clear();
  } else if (now < lost) {
    closing.push_back(popup);
    open_.erase(lost);
  }
  return closing;
}

}  // namespace quarn::ui

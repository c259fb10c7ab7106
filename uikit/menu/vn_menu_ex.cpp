#include "menu/vn_menu_ex.h"

#include <cmath>
#include <limits>

#include "collection_naming.h"
#include "menu/menu_box.h"
#include "vn_function_manager.h"

namespace quarn::menu {

std::int64_t SelectedMenuID = 0;

// --- level ---

TvnMenuItemsEx::TvnMenuItemsEx(TvnMenuEx& menu) : root_(&menu), ownerMenu_(&menu) {}

TvnMenuItemsEx::TvnMenuItemsEx(TvnMenuItemEx& item)
    : root_(&item.GetRootMenu()), ownerItem_(&item) {}

TvnMenuItemsEx::~TvnMenuItemsEx() {
  life_.reset();
  // Sub-levels (and their pop-ups) go before this level's pop-up.
  items_.clear();
  box_.reset();
}

TvnMenuItemEx* TvnMenuItemsEx::Items(int index) const {
  return index >= 0 && index < Count() ? items_[std::size_t(index)].get() : nullptr;
}

TvnMenuItemEx* TvnMenuItemsEx::Insert(std::u16string name) {
  std::vector<std::u16string_view> names;
  names.reserve(items_.size());
  for (const auto& item : items_) names.push_back(item->Name);
  DefaultItemName free = LowestFreeItemName(names, u"Item");
  std::uint64_t id = free.number;
  if (ownerItem_) id += std::uint64_t(ownerItem_->ItemID()) * 100u;
  if (id > std::numeric_limits<std::uint32_t>::max()) return nullptr;
  auto item = std::make_unique<TvnMenuItemEx>(*this);
  item->Name = name.empty() ? std::move(free.name) : std::move(name);
  item->id_ = std::uint32_t(id);
  items_.push_back(std::move(item));
  return items_.back().get();
}

TvnMenuItemEx* TvnMenuItemsEx::Add() {
  return Insert({});
}

TvnMenuItemEx* TvnMenuItemsEx::Add(std::u16string name) {
  return Insert(std::move(name));
}

void TvnMenuItemsEx::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

void TvnMenuItemsEx::Clear() {
  items_.clear();
}

bool TvnMenuItemsEx::ShowMenuPopup(const MenuTarget& target, ui::Placement placement) {
  return Show(target, placement, nullptr);
}

bool TvnMenuItemsEx::ShowMenuPopupInRect(const MenuTarget& target, ui::Placement placement,
                                         const ui::RectF& rectangle) {
  return Show(target, placement, &rectangle);
}

bool TvnMenuItemsEx::Show(const MenuTarget& target, ui::Placement placement,
                          const ui::RectF* rectangle) {
  MenuHost* host = root_->Host;
  if (!host) return false;
  BuildMenuPopup();
  if (!box_) return false;
  const ui::ScreenPoint p = GetTargetScreenPos(target);
  ui::PlacementRequest request;
  request.target = {float(p.x), float(p.y), target.absolute.width, target.absolute.height};
  request.cursor = target.cursor;
  request.kind = placement;
  if (rectangle) request.rectangle = *rectangle;  // a copy: the caller's may go
  request.popup = {box_->PopupWidth(), box_->PopupHeight()};
  const ui::PointF at = ui::PlacePopup(request);
  auto toInt = [](double v) {
    if (!(v == v)) return std::int32_t(0);
    v = std::round(v);
    if (v < double(std::numeric_limits<std::int32_t>::min()))
      return std::numeric_limits<std::int32_t>::min();
    if (v > double(std::numeric_limits<std::int32_t>::max()))
      return std::numeric_limits<std::int32_t>::max();
    return std::int32_t(v);
  };
  ui::ScreenPoint pos{toInt(at.x), toInt(at.y)};
  // A level that would reach the screen's right edge opens on the other side.
  const double screenWidth = host->ScreenSize().width;
  if (double(p.x) + double(target.absolute.width) + double(box_->PopupWidth()) >= screenWidth) {
    if (!rectangle) {
      pos.x = toInt(double(target.holderLeft) - double(box_->PopupWidth()));
    } else {
      pos.x = toInt(double(pos.x) - std::trunc(double(target.absolute.width)));
      pos.y = toInt(double(pos.y) + 20);
    }
  }
  box_->Open(pos);
  return box_ && box_->IsOpen();
}

void TvnMenuItemsEx::PopupClosed() {
  if (root_->OnMenuClose) {
    MenuLevelEvent handler = root_->OnMenuClose;
    handler(*this);
  }
}

bool TvnMenuItemsEx::GetIsMenuOpened() const {
  return box_ && box_->IsOpen();
}

ui::ScreenPoint TvnMenuItemsEx::GetTargetScreenPos(const MenuTarget& target) {
  auto clamp = [](double v) {
    if (!(v == v)) return std::int32_t(0);
    if (v <= double(std::numeric_limits<std::int32_t>::min()))
      return std::numeric_limits<std::int32_t>::min();
    if (v >= double(std::numeric_limits<std::int32_t>::max()))
      return std::numeric_limits<std::int32_t>::max();
    return std::int32_t(v);
  };
  const double x = std::trunc(double(target.absolute.x)) + double(target.clientOrigin.x);
  const double y = std::trunc(double(target.absolute.y)) + double(target.clientOrigin.y);
  return {clamp(std::round(x)), clamp(std::round(y))};
}

bool TvnMenuItemsEx::CloseSubMenus() {
  std::weak_ptr<void> menuLife = root_->LifeToken();
  std::weak_ptr<void> mine = life_;
  for (int i = 0; i < Count(); ++i) {
    TvnMenuItemEx* item = Items(i);
    if (item && item->HasSubItems() && !item->SubItems().CloseSubMenus()) return false;
    if (menuLife.expired() || mine.expired()) return false;
  }
  if (box_ && box_->IsOpen()) {
    box_->Close();
    if (menuLife.expired() || mine.expired()) return false;
  }
  return true;
}

void TvnMenuItemsEx::ResetMenuItemIndexes(const TvnMenuItemsEx* except) {
  for (auto& item : items_)
    if (item->HasSubItems()) item->SubItems().ResetMenuItemIndexes(except);
  if (this != except) ItemIndex = -1;
}

void TvnMenuItemsEx::ItemSetMaxSize(float width) {
  if (!(width > itemMaxWidth_)) return;
  itemMaxWidth_ = width;
  if (box_) box_->SetPopupWidth(width);
}

void TvnMenuItemsEx::SetItemCheckedState(int index, bool state) {
  if (TvnMenuItemEx* item = Items(index)) item->Checked = state;
}

// --- item ---

TvnMenuItemEx::TvnMenuItemEx(TvnMenuItemsEx& owner)
    : owner_(&owner), subItems_(std::make_unique<TvnMenuItemsEx>(*this)) {}

TvnMenuItemEx::~TvnMenuItemEx() = default;

std::u16string TvnMenuItemEx::GetDisplayName() const {
  return Name.empty() ? std::u16string(u"TvnMenuItemEx") : Name;
}

void TvnMenuItemEx::DispatchClick() {
  TvnMenuEx& root = GetRootMenu();
  const void* buffer = nullptr;
  std::int32_t size = 0;
  // Held for the call, so the buffer stays while the handler runs.
  std::shared_ptr<TvnFunctionManager> manager = root.FunctionManager.lock();
  if (manager && root.FunctionItemIndex >= 0) {
    const TvnFunctionItem* f = manager->Items().GetItem(root.FunctionItemIndex);
    if (f && f->BufferSize() <= std::uint32_t(std::numeric_limits<std::int32_t>::max())) {
      buffer = f->BufferPointer();
      size = buffer ? std::int32_t(f->BufferSize()) : 0;
    }
  }
  if (OnClick) {
    TvnMenuItemExEvent handler = OnClick;
    handler(*this, buffer, size);
  } else if (root.OnItemsClick) {
    TvnMenuItemsExEvent handler = root.OnItemsClick;
    const std::u16string name = Name;
    handler(*this, name, id_, buffer, size);
  }
}

// --- menu ---

TvnMenuEx::TvnMenuEx() : items_(std::make_unique<TvnMenuItemsEx>(*this)) {
  SelectedMenuID = 0;
}

TvnMenuEx::~TvnMenuEx() {
  life_.reset();
  // The levels' pop-ups leave the pop-up list while it still exists.
  items_.reset();
}

bool TvnMenuEx::ShowMainMenu(const MenuTarget& target, ui::Placement placement) {
  popupParent_ = target.window;
  return items_->ShowMenuPopup(target, placement);
}

bool TvnMenuEx::ShowMainMenu(std::int64_t selectedMenuID, const MenuTarget& target,
                             ui::Placement placement) {
  SelectedMenuID = selectedMenuID;
  return ShowMainMenu(target, placement);
}

bool TvnMenuEx::ShowMainMenu(std::int64_t selectedMenuID, const MenuTarget& target,
                             ui::Placement placement, const ui::RectF& rectangle) {
  SelectedMenuID = selectedMenuID;
  popupParent_ = target.window;
  return items_->ShowMenuPopupInRect(target, placement, rectangle);
}

namespace {

TvnMenuBox* FindBox(TvnMenuItemsEx& level, std::uintptr_t id) {
  if (TvnMenuBox* box = level.Box(); box && box->Window() && box->Window()->Id() == id) return box;
  for (int i = 0; i < level.Count(); ++i)
    if (TvnMenuBox* box = FindBox(level.Items(i)->SubItems(), id)) return box;
  return nullptr;
}

}  // namespace

void TvnMenuEx::Deactivated(std::uintptr_t lost, std::uintptr_t activated) {
  std::weak_ptr<void> alive = life_;
  for (std::uintptr_t id : popups_.Deactivated(lost, activated)) {
    if (TvnMenuBox* box = FindBox(*items_, id)) box->Close();
    if (alive.expired()) return;
  }
}

void TvnMenuEx::RequestClick(TvnMenuItemsEx& level, int row, bool dispatch) {
  if (!Host) return;
  std::weak_ptr<void> menuLife = life_;
  std::weak_ptr<void> levelLife = level.LifeToken();
  TvnMenuItemsEx* at = &level;
  Host->Post([menuLife, levelLife, at, row, dispatch] {
    if (menuLife.expired() || levelLife.expired()) return;
    if (!CloseAllMenuLevels(*at) || levelLife.expired()) return;
    ResetAllMenuLevels(*at, at);
    if (!dispatch) return;
    TvnMenuItemEx* item = at->Items(row);
    if (item && !item->HasSubItems()) item->DispatchClick();
  });
}

bool CloseAllMenuLevels(TvnMenuItemsEx& from) {
  return from.RootMenu().Items().CloseSubMenus();
}

void ResetAllMenuLevels(TvnMenuItemsEx& from, const TvnMenuItemsEx* except) {
  from.RootMenu().Items().ResetMenuItemIndexes(except);
}

}  // namespace quarn::menu

#include "vn_function_manager.h"

#include <cstring>

#include "collection_naming.h"

TvnFunctionItem::TvnFunctionItem(const TvnFunctionItem& other, TvnFunctions* owner)
    : Name(other.Name),
      Caption(other.Caption),
      Hint(other.Hint),
      Data(other.Data),
      OnExecute(other.OnExecute),
      Description(other.Description),
      ShortDescription(other.ShortDescription),
      FOwner(owner),
      FItemID(other.FItemID) {
  SetBuffer(other.FBuffer.get(), other.FBufferSize);
}

bool TvnFunctionItem::SetBuffer(const void* ABuffer, std::uint32_t ABufferSize) {
  if (ABufferSize == 0) return true;
  if (ABuffer == nullptr) return false;
  auto copy = std::make_unique<std::uint8_t[]>(ABufferSize);
  std::memcpy(copy.get(), ABuffer, ABufferSize);
  FBuffer = std::move(copy);
  FBufferSize = ABufferSize;
  return true;
}

bool TvnFunctionItem::GetBuffer(void* ABuffer, std::uint32_t capacity) const {
  if (FBufferSize == 0) return true;
  if (ABuffer == nullptr || capacity < FBufferSize) return false;
  std::memcpy(ABuffer, FBuffer.get(), FBufferSize);
  return true;
}

void TvnFunctionItem::RunIt() const {
  if (!OnExecute) return;
  // A copy: the handler may delete this item.
  TvnFunctionItemEvent handler = OnExecute;
  handler(static_cast<std::int32_t>(FItemID), FBuffer.get(), FBufferSize);
}

std::u16string TvnFunctionItem::GetDisplayName() const {
  return Name.empty() ? std::u16string(u"TvnFunctionItem") : Name;
}

TvnFunctionItem* TvnFunctions::GetItem(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return items_[static_cast<std::size_t>(Index)].get();
}

TvnFunctionItem& TvnFunctions::Add() {
  return Insert(std::make_unique<TvnFunctionItem>(this));
}

TvnFunctionItem& TvnFunctions::Add(std::u16string_view name) {
  auto item = std::make_unique<TvnFunctionItem>(this);
  item->Name = name;
  return Insert(std::move(item));
}

TvnFunctionItem& TvnFunctions::Insert(std::unique_ptr<TvnFunctionItem> item) {
  if (item->Name.empty()) {
    std::vector<std::u16string_view> names;
    names.reserve(items_.size());
    for (const auto& existing : items_) names.push_back(existing->Name);
    auto picked = quarn::LowestFreeItemName(names, u"Item");
    item->Name = std::move(picked.name);
    item->FItemID = picked.number;
  }
  items_.push_back(std::move(item));
  return *items_.back();
}

void TvnFunctions::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

void TvnFunctions::Assign(const TvnFunctions& source) {
  if (&source == this) return;
  std::vector<std::unique_ptr<TvnFunctionItem>> copies;
  copies.reserve(source.items_.size());
  for (const auto& item : source.items_)
    copies.push_back(std::make_unique<TvnFunctionItem>(*item, this));
  items_ = std::move(copies);
}

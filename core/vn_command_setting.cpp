#include "vn_command_setting.h"

#include "collection_naming.h"

std::u16string TvnCommand::GetDisplayName() const {
  return Name.empty() ? std::u16string(u"TvnCommand") : Name;
}

TvnCommand& TvnCommands::Add() {
  return Insert(std::make_unique<TvnCommand>());
}

TvnCommand& TvnCommands::Insert(std::unique_ptr<TvnCommand> item) {
  if (!item) item = std::make_unique<TvnCommand>();
  if (item->Name.empty()) {
    std::vector<std::u16string_view> names;
    names.reserve(items_.size());
    for (const auto& existing : items_) names.push_back(existing->Name);
    item->Name = quarn::LowestFreeItemName(names, u"Command").name;
  }
  items_.push_back(std::move(item));
  return *items_.back();
}

void TvnCommands::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

void TvnCommands::Assign(const TvnCommands& source) {
  if (&source == this) return;
  std::vector<std::unique_ptr<TvnCommand>> copies;
  copies.reserve(source.items_.size());
  for (const auto& item : source.items_) copies.push_back(std::make_unique<TvnCommand>(*item));
  items_ = std::move(copies);
}

bool TvnCommandSetting::GetData(void* Buffer, std::uint32_t size) {
  return RunAll(vnGet, Buffer, size);
}

bool TvnCommandSetting::SetData(void* Buffer, std::uint32_t size) {
  return RunAll(vnSet, Buffer, size);
}

bool TvnCommandSetting::RunAll(TvnGetSet type, void* buffer, std::uint32_t size) {
  // By index, with the count read again at every step: a handler may change the
  // list. The handler is copied first, so removing its own command is safe.
  for (int i = 0; i < FCommands.Count(); ++i) {
    TOnGetAndSetSetting handler = FCommands.Items(i).OnExecute;
    if (handler) handler(type, buffer, size);
  }
  return true;
}

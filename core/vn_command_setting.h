// The command-setting component: an ordered list of named commands, each with
// a get/set handler, so that one call refreshes every page of a window from (or
// into) the same buffer. New commands take the lowest free name "Command<n>".
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TvnGetSet { vnGet = 0, vnSet = 1 };

// The handler sees the caller's buffer and may change it.
using TOnGetAndSetSetting =
    std::function<void(TvnGetSet AType, void* Buffer, std::uint32_t BufferSize)>;

class TvnCommands;
class TvnCommandSetting;

class TvnCommand {
 public:
  std::u16string Name;
  std::u16string Description;
  TOnGetAndSetSetting OnExecute;

  // The name, or the class name when the command has none.
  std::u16string GetDisplayName() const;
};

class TvnCommands {
 public:
  explicit TvnCommands(TvnCommandSetting* owner) : FOwner(owner) {}
  TvnCommands(const TvnCommands&) = delete;
  TvnCommands& operator=(const TvnCommands&) = delete;

  TvnCommandSetting* GetOwner() const { return FOwner; }
  int Count() const { return static_cast<int>(items_.size()); }
  TvnCommand& Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }
  const TvnCommand& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }

  // A new unnamed command, named "Command<n>" with the lowest free n.
  TvnCommand& Add();
  // Appends a command; one that already has a name keeps it.
  TvnCommand& Insert(std::unique_ptr<TvnCommand> item);
  void Delete(int index);
  void Clear() { items_.clear(); }
  // Replaces the commands with copies of another collection's.
  void Assign(const TvnCommands& source);

 private:
  TvnCommandSetting* FOwner;
  std::vector<std::unique_ptr<TvnCommand>> items_;
};

class TvnCommandSetting {
 public:
  TvnCommandSetting() : FCommands(this) {}
  TvnCommandSetting(const TvnCommandSetting&) = delete;
  TvnCommandSetting& operator=(const TvnCommandSetting&) = delete;

  TvnCommands& Commands() { return FCommands; }
  void SetCommands(const TvnCommands& value) { FCommands.Assign(value); }

  // Runs every assigned handler in collection order with (vnGet | vnSet, Buffer,
  // size); each sees what the previous one left in the buffer. A handler may
  // add or remove commands while this runs. Always true.
  bool GetData(void* Buffer, std::uint32_t size);
  bool SetData(void* Buffer, std::uint32_t size);

 private:
  bool RunAll(TvnGetSet type, void* buffer, std::uint32_t size);

  TvnCommands FCommands;
};

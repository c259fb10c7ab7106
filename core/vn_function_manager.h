// The function-manager component: a list of function items, each with an ID,
// texts, its own copy of a data buffer and a handler that receives them. A
// pop-up menu can point at one item to hand its buffer to click events. New
// items take the lowest free name "Item<n>" and that n as their ID.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using TvnFunctionItemEvent =
    std::function<void(std::int32_t AFunctionID, const void* BufferPointer, std::uint32_t Size)>;

class TvnFunctions;

class TvnFunctionItem {
 public:
  explicit TvnFunctionItem(TvnFunctions* owner) : FOwner(owner) {}
  // A copy has its own copy of the buffer and keeps the source's ItemID (the ID
  // names the function); its owner is the collection it is copied into.
  TvnFunctionItem(const TvnFunctionItem& other, TvnFunctions* owner);
  TvnFunctionItem(const TvnFunctionItem&) = delete;
  TvnFunctionItem& operator=(const TvnFunctionItem&) = delete;

  std::u16string Name;
  std::u16string Caption;
  std::u16string Hint;
  std::u16string Data;
  TvnFunctionItemEvent OnExecute;
  std::u16string Description;
  std::u16string ShortDescription;

  // Replaces the item's copy with ABufferSize bytes from ABuffer. Size 0 keeps
  // the current copy; a null source with a non-zero size is refused (false).
  bool SetBuffer(const void* ABuffer, std::uint32_t ABufferSize);
  // Copies the item's buffer into ABuffer, which holds `capacity` bytes. A
  // destination too small for the buffer receives nothing (false); an item
  // without a buffer copies nothing (true).
  bool GetBuffer(void* ABuffer, std::uint32_t capacity) const;
  std::uint32_t GetBufferSize() const { return FBufferSize; }
  std::uint32_t BufferSize() const { return FBufferSize; }
  // The item's own copy, or nullptr when it has none.
  const void* BufferPointer() const { return FBuffer.get(); }
  std::uint32_t ItemID() const { return FItemID; }
  TvnFunctions* Owner() const { return FOwner; }

  // Calls OnExecute, when assigned, with (ItemID, buffer or nullptr, size).
  void RunIt() const;
  // The name, or the class name when the item has none.
  std::u16string GetDisplayName() const;

 private:
  friend class TvnFunctions;

  std::unique_ptr<std::uint8_t[]> FBuffer;
  std::uint32_t FBufferSize = 0;
  TvnFunctions* FOwner;
  std::uint32_t FItemID = 0;
};

class TvnFunctionManager;

class TvnFunctions {
 public:
  explicit TvnFunctions(TvnFunctionManager* owner) : FOwner(owner) {}
  TvnFunctions(const TvnFunctions&) = delete;
  TvnFunctions& operator=(const TvnFunctions&) = delete;

  TvnFunctionManager* GetOwner() const { return FOwner; }
  int Count() const { return static_cast<int>(items_.size()); }
  // The item at Index, or nullptr outside the collection.
  TvnFunctionItem* GetItem(int Index) const;

  // A new unnamed item, named "Item<n>" with the lowest free n, and ItemID n.
  TvnFunctionItem& Add();
  // Sets the name before insertion: a non-empty name is kept and the ID stays 0.
  TvnFunctionItem& Add(std::u16string_view name);
  void Delete(int index);
  void Clear() { items_.clear(); }
  // Replaces the items with copies of another collection's (deep buffers).
  void Assign(const TvnFunctions& source);

 private:
  TvnFunctionItem& Insert(std::unique_ptr<TvnFunctionItem> item);

  TvnFunctionManager* FOwner;
  std::vector<std::unique_ptr<TvnFunctionItem>> items_;
};

class TvnFunctionManager {
 public:
  TvnFunctionManager() : FFunctionItems(this) {}
  ~TvnFunctionManager() { FFunctionItems.Clear(); }
  TvnFunctionManager(const TvnFunctionManager&) = delete;
  TvnFunctionManager& operator=(const TvnFunctionManager&) = delete;

  TvnFunctions& Items() { return FFunctionItems; }
  void SetItems(const TvnFunctions& value) { FFunctionItems.Assign(value); }

 private:
  TvnFunctions FFunctionItems;
};

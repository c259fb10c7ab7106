// The monitor's main thread in a single-threaded COM apartment for as long as
// this object lives (OLE initialised at start, uninitialised at exit).
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <ole2.h>

namespace quarn {

class ComApartment {
 public:
  ComApartment() : joined_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~ComApartment() {
    if (joined_) OleUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool Joined() const { return joined_; }

 private:
  bool joined_;
};

}  // namespace quarn

// The modal rules of dialogs, without windows: how a modal run ends and with which
// result, and where a dialog goes inside the screen rectangle it is centred in. The
// Win32 modal runner and the dialogs' show functions apply them.
#pragma once

#include <cstdint>

namespace quarn::ui {

// A screen rectangle by its edges (right and bottom outside), as the window system
// gives them.
struct ScreenRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct ScreenPoint {
  std::int32_t x = 0, y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// The top-left that centres a width x height window in `area`:
// left + ((right - left) - width) / 2 with the division truncating toward zero, the
// same for the top. A window larger than the area sticks out on both sides. Results
// beyond the 32-bit range are held at its ends.
ScreenPoint CenterIn(const ScreenRect& area, std::int32_t width, std::int32_t height);

// The state of one modal run. It ends when a result other than 0 is set: by a button
// with a modal result, by closing the dialog (2), or by a quit request of the program,
// which ends it as cancelled (2) whatever was set before and must then be passed on so
// the program still ends.
class ModalRun {
 public:
  int Result() const { return result_; }
  bool Ended() const { return result_ != 0; }
  // A button's or the program's result; 0 is ignored.
  void SetResult(int result) {
    if (result != 0 && !quit_) result_ = result;
  }
  // The window was asked to close: cancelled, unless already ended.
  void Close() {
    if (result_ == 0) result_ = 2;
  }
  // The program is quitting with `code`.
  void Quit(int code) {
    quit_ = true;
    quitCode_ = code;
    result_ = 2;
  }
  bool QuitPending() const { return quit_; }
  int QuitCode() const { return quitCode_; }

 private:
  int result_ = 0;
  bool quit_ = false;
  int quitCode_ = 0;
};

}  // namespace quarn::ui

// Starting programs from the configuration window: a file started with no
// window shown and waited for (the update's programs), and a web page opened
// in the user's browser. Neither shows an error box of its own.
#pragma once

#include <string>
#include <string_view>

#include "upgrade_after_restart.h"

typedef struct HWND__* HWND;

namespace quarn {

// Starts `file` with the verb "open" and no window shown, and returns once its
// process has ended (at once when it could not be started). While it waits,
// messages sent to this thread's windows are handled, so a started program
// that sends to them is not held up by the wait.
void ExecuteFileAndWait(std::u16string_view file, std::u16string_view params,
                        std::u16string_view dir);

// Opens an http:// or https:// address with the verb "open", shown normally;
// false (and nothing started) for anything else or when it could not be opened.
bool OpenWebPage(HWND owner, std::u16string_view address);

class WinHiddenProgramRunner final : public HiddenProgramRunner {
 public:
  void RunAndWait(std::u16string_view file, std::u16string_view params,
                  std::u16string_view folder) override {
    ExecuteFileAndWait(file, params, folder);
  }
};

}  // namespace quarn

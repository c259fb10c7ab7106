// The dialogs that ask for a button function's parameters, on the shared dialog
// frame: the fire key (clicks and pause, 1..255 each), the key combination
// (recorded from the keyboard while the dialog is open) and the quick launch
// (a program path, typed or chosen). Each copies its values in, shows them, and
// hands changed values back only when OK is clicked.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "dialog_frame.h"
#include "hook_platform.h"
#include "profile_records.h"
#include "ui/controls.h"

class TvnHook;

namespace quarn::dialogs {

// "Fire Key...": how many clicks a press fires and the pause between steps.
class FireKeyDialog : public FrameDialog {
 public:
  FireKeyDialog();
  TFIREKEYINFO fields{};
  ui::NumberBox* NumBoxFire = nullptr;
  ui::NumberBox* NumboxDelay = nullptr;
  ui::TextBox* FirstInputBox() override { return NumBoxFire; }
  // Shows the values clamped to 1..255 (2 and 60 for a record without clicks).
  void Load() override;
  // Stores what the boxes show; a text that is no number keeps the value shown before.
  void Store() override;

 private:
  TFIREKEYINFO shown_{};
};

// "Virtual Keyboard": records the combination pressed while the dialog is open.
// The keyboard recording belongs to the dialog: it stops as soon as the dialog
// has its answer (before the window goes) and, whatever happens, when the
// dialog object goes away. Reports arrive inside
// the keyboard hook; they are only stored there and `post` is called, and the
// text changes when the poster's message calls ApplyRecorded.
class ComboKeyDialog : public FrameDialog {
 public:
  ComboKeyDialog(HookPlatform& platform, std::function<void()> post);
  ~ComboKeyDialog() override;
  TCOMBOKEYINFO fields{};
  ui::TextBox* TextCombo = nullptr;
  ui::TextBox* FirstInputBox() override { return TextCombo; }
  // Shows the stored combination (ShowComboKeyText).
  void Load() override;
  // The last recorded combination becomes the fields (OK only).
  void Store() override;

  // Starts / stops the keyboard recording (the dialog's show and close).
  void StartRecording();
  void StopRecording();
  bool Recording() const { return recording_; }
  // The posted update: shows the latest report and takes its values.
  void ApplyRecorded();
  // The values OK would store.
  const TCOMBOKEYINFO& FComboKey() const { return combo_; }

 private:
  // Written inside the hook procedure: fixed storage, no allocation.
  struct Report {
    std::array<std::uint16_t, 5> values{};
    std::array<char16_t, 64> text{};
    std::size_t length = 0;
    bool waiting = false;
  };
  std::unique_ptr<TvnHook> hook_;
  std::function<void()> post_;
  Report report_;
  TCOMBOKEYINFO combo_{};
  bool recording_ = false;
};

// Chooses a file with the system's open dialog: true with the full path when
// the user confirmed one.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  virtual bool ChooseFile(std::u16string& path) = 0;
};

// "Quick Launch...": the program a button starts.
class QuickLaunchDialog : public FrameDialog {
 public:
  QuickLaunchDialog(FileChooser& chooser, std::function<void()> pathTooLong);
  std::u16string fields;
  ui::TextBox* QuickLaunchExeFile = nullptr;
  ui::Button* BTNSelectExeFile = nullptr;
  ui::TextBox* FirstInputBox() override { return QuickLaunchExeFile; }
  void Load() override;
  void Store() override;
  // The browse button: the chosen path replaces the box's text when it fits the
  // stored field; a longer one is refused (pathTooLong) and the box keeps its text.
  void BrowseClick();
  // OK: closes with the box's text when it fits the stored field; otherwise
  // refuses (pathTooLong) and the dialog stays open.
  void OkClick();

 private:
  FileChooser& chooser_;
  std::function<void()> pathTooLong_;
};

// The show steps: values in, centred in `area`, run, values back (changed only
// on OK). The key combination is recorded from just before the dialog runs
// until it has closed.
int ShowFireKeyDialog(TFIREKEYINFO& values, const ui::ScreenRect& area, DialogRunner& runner);
int RunComboKeyDialog(ComboKeyDialog& dialog, TCOMBOKEYINFO& values, const ui::ScreenRect& area,
                      DialogRunner& runner);
int RunQuickLaunchDialog(QuickLaunchDialog& dialog, std::u16string& values,
                         const ui::ScreenRect& area, DialogRunner& runner);

}  // namespace quarn::dialogs

// The commands on profile files the user chooses: a new profile file holding
// defaults, loading a profile file (with a file dialog, or the preset one
// beside the program), and saving the current profile under another name. They
// work on the data module; the file dialogs and the message box are seams.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dm.h"
#include "stores.h"

namespace quarn {

enum class FileDialogKind { Open, Save };

// What a file dialog is opened with.
struct FileDialogRequest {
  FileDialogKind Kind = FileDialogKind::Open;
  // "caption|pattern" pairs, as the dialogs' filters are written.
  std::u16string Filter;
  // Added to a typed name without an extension; empty for none.
  std::u16string DefaultExt;
  std::u16string InitialDir;
  // Longest path the caller can take; a longer choice is refused by the dialog.
  std::size_t MaxPath = 0;
  friend bool operator==(const FileDialogRequest&, const FileDialogRequest&) = default;
};

// The platform's open and save dialogs, one per call.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // Runs the dialog modally; false when it was cancelled. `file` gets the full path.
  virtual bool Run(const FileDialogRequest& request, std::u16string& file) = 0;
};

// The platform's message box.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void ShowMessage(const std::u16string& text) = 0;
};

inline constexpr std::u16string_view kPresetProfileFile = u"ZDPresetProfile1.pfd";
inline constexpr std::u16string_view kNoPermissionMessage =
    u"No permission to save file!please change directory!";
inline constexpr std::u16string_view kSaveFilter = u"gaming profiles|*.pfd";
inline constexpr std::u16string_view kOpenFilter = u"Gaming Mouse Profiles|*.pfd";
inline constexpr std::u16string_view kProfileExt = u".pfd";
inline constexpr std::int32_t kProfileFileVersion = 258;

// Reads a profile file once and tests the bytes read: true, with the record's
// bytes in `record`, when the file holds a whole record whose version is ours.
bool ReadProfileFile(FileStore& files, std::u16string_view path, std::vector<std::uint8_t>& record);

class ProfileFileCommands {
 public:
  // Items of the profile menu.
  enum MenuItem { kDefaultProfile = 1, kLoadFromFile = 2, kSaveToFile = 3 };

  ProfileFileCommands(TDM& dm, FileStore& files, FileDialogs& dialogs, MessageBoxes& messages);
  ProfileFileCommands(const ProfileFileCommands&) = delete;
  ProfileFileCommands& operator=(const ProfileFileCommands&) = delete;

  // Each returns true when the command was carried out whole; on false nothing
  // the data module holds or stores has changed.

  // The current profile becomes a default profile stored in a new file, which
  // becomes the slot's file.
  bool CreateNewProfileFile(std::u16string_view AInitialDir);
  // Loads a chosen file into the current profile and makes it the slot's file.
  bool LoadProfileFileWithDialog(std::u16string_view AInitialDir);
  // Loads a file into the current profile; the slot keeps its file.
  bool LoadProfileFile(std::u16string_view AFile);
  // Writes the current profile to a chosen file; the slot keeps its file.
  bool SaveProfileFileAs(std::u16string_view AInitialDir);

  // The profile menu: true when the pages must be shown again from the profile.
  bool RunMenuItem(int itemId, std::u16string_view programFolder, std::u16string_view profilePath);

 private:
  struct Snapshot;
  Snapshot Take() const;
  void Restore(const Snapshot& s, bool storesWritten);
  // Stores the current profile and the group table; false when a write failed.
  bool StoreCurrentProfileAndGroup();
  // Runs the load sequence over checked bytes; `takeFile` renames the slot to `file`.
  bool LoadChecked(const std::vector<std::uint8_t>& record, std::u16string_view file,
                   bool takeFile);
  TvnProfile& CurrentStream() const { return *dm_.FProfileGroup[dm_.FProfileIndex]; }

  TDM& dm_;
  FileStore& files_;
  FileDialogs& dialogs_;
  MessageBoxes& messages_;
};

}  // namespace quarn

// Starting a stored program the way the monitor does: the shell verb "open"
// on the file itself, no parameters, the file's folder as working folder,
// shown normally, and never a modal error box.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace quarn {

// False when the shell could not start it. Runs on the calling thread for as
// long as the shell takes.
bool OpenProgram(const std::u16string& path);

// OpenProgram on a worker thread: returns at once, so a slow start (a network
// path, a document association) never stalls the calling thread, the one that
// owns the mouse hook. False when the path cannot be a program's or too many
// starts are already waiting.
bool StartProgram(const std::u16string& path);
// The same, when the worker finds that `path` names an existing file.
bool StartExistingProgram(const std::u16string& path);

// Starts waiting at most, besides the one running.
inline constexpr std::size_t kMaxWaitingStarts = 8;

// Runs `start` on a short-lived worker thread with its own single-threaded COM
// apartment, after the starts handed over before it. False when
// kMaxWaitingStarts are already waiting (`start` then never runs).
bool RunOnStartWorker(std::function<void()> start);
// True for an existing file (not a folder).
bool FileExists(const std::u16string& path);

}  // namespace quarn

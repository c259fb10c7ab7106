// The GDI+ lifetime of a program: started by the program's main (and each test main) and
// shut down when it ends. It owns every long-lived GDI+ object (the font cache), so none
// outlives the shutdown. One session is current at a time; the canvas, the decoder and the
// offscreen renderer use it and do nothing without one.
#pragma once

#include <memory>

#include "font_resolver.h"

namespace quarn::ui {

class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

  // Whether GDI+ started.
  bool Ok() const { return started_; }
  FontResolver& Fonts() { return *fonts_; }

  // The running session, or null when none is (or it failed to start).
  static GdiplusSession* Current();

 private:
  bool started_ = false;
  ULONG_PTR token_ = 0;
  std::unique_ptr<FontResolver> fonts_;
  GdiplusSession* previous_ = nullptr;
};

}  // namespace quarn::ui

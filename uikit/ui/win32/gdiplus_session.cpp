#include "gdiplus_session.h"

namespace quarn::ui {

namespace {
GdiplusSession* current = nullptr;
}

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  if (started_) {
    fonts_ = std::make_unique<FontResolver>();
    previous_ = current;
    current = this;
  }
}

GdiplusSession::~GdiplusSession() {
  if (!started_) return;
  if (current == this) current = previous_;
  fonts_.reset();  // every cached font and family before the shutdown
  Gdiplus::GdiplusShutdown(token_);
}

GdiplusSession* GdiplusSession::Current() {
  return current;
}

}  // namespace quarn::ui

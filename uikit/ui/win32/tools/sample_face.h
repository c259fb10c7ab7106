// Scenes painted by the render tool and the paint benchmark: a fixed sample of every kind
// of drawing, and a face shaped like the configuration window's.
#pragma once

#include "graphics.h"

namespace quarn::ui::tools {

// An 8x8 picture of four 4x4 squares: blue, yellow / yellow, blue.
inline PictureRef CheckerTile() {
  auto p = std::make_shared<Picture>();
  p->width = p->height = 8;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      p->pixels.push_back(((x < 4) == (y < 4)) ? Rgb(30, 60, 200) : Rgb(240, 220, 20));
  return p;
}

}  // namespace quarn::ui::tools

// The fixed looks of menu levels: the box (background and the highlight fills used
// when a menu has no custom parameters, the check column) and the row (check mark and
// sub-menu arrow figures, their default fills, the text shadow). Custom parameters
// replace the fills; the figures and column widths always come from here.
#pragma once

#include "menu/menu_params.h"
#include "ui/graphics.h"

namespace quarn::menu {

struct MenuBoxLook {
  ui::Fill background = ui::Fill::Solid(ui::Rgb(0xF7, 0xF7, 0xF7));
  ui::Fill blurNormal = ui::Fill::None();
  ui::Fill blurOver = ui::Fill::Solid(ui::Argb(0x60, 0x3C, 0x7F, 0xC8));
  ui::Fill blurDown = ui::Fill::Solid(ui::Argb(0x90, 0x3C, 0x7F, 0xC8));
  ui::Fill border = ui::Fill::Solid(ui::Rgb(0x90, 0x90, 0x90));
  float checkColumnWidth = 18;
  float iconWidth = 18;
  float extenderWidth = 14;

  static MenuBoxLook Default() { return {}; }
};

struct MenuRowLook {
  ui::Path checkMark = DefaultCheckMark();    // in units of a square box
  ui::Path extenderMark = DefaultExtender();  // in units of a square box
  ui::Fill checkFill = ui::Fill::Solid(ui::Rgb(0x20, 0x20, 0x20));
  ui::Fill extenderFill = ui::Fill::Solid(ui::Rgb(0x20, 0x20, 0x20));
  MenuBounds textPadding{3, 1, 3, 1};
  bool textShadow = false;  // only with custom parameters

  static MenuRowLook Default() { return {}; }
  static ui::Path DefaultCheckMark() {
    ui::Path p;
    p.MoveTo(0.15f, 0.5f).LineTo(0.4f, 0.75f).LineTo(0.85f, 0.25f).LineTo(0.85f, 0.4f);
    p.LineTo(0.4f, 0.9f).LineTo(0.15f, 0.65f).Close();
    return p;
  }
  static ui::Path DefaultExtender() {
    ui::Path p;
    p.MoveTo(0.3f, 0.2f).LineTo(0.75f, 0.5f).LineTo(0.3f, 0.8f).Close();
    return p;
  }
};

}  // namespace quarn::menu

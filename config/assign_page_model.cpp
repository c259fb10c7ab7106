#include "assign_page_model.h"

#include <algorithm>

namespace quarn {

void AssignPageModel::RefreshButtonCaptions(const TMOUSECONFIGINFO& config,
                                            const TranslateFn& translate) {
  const int count = std::clamp<std::int32_t>(config.ButtonCount, 0, BUTTON_FUNC_COUNT);
  for (int tag = 0; tag < kAssignButtonCount; ++tag) {
    if (tag < count) {
      UpdateButtonCaption(tag, config.ButtonFuncInfo[tag], translate);
    } else {
      captions_[tag].clear();
      hints_[tag].clear();
    }
  }
  for (int w = 0; w < kWheelButtonCount; ++w)
    UpdateWheelButtonCaption(w, config.VWheelButtonFuncInfo[w], translate);
}

void AssignPageModel::UpdateButtonCaption(int tag, const TBUTTONFUNCINFO& entry,
                                          const TranslateFn& translate) {
  if (!InButtons(tag)) return;
  captions_[tag] = ButtonCaption(entry, translate);
  hints_[tag] = ButtonHint(entry, translate);
}

void AssignPageModel::UpdateWheelButtonCaption(int wheelTag, const TBUTTONFUNCINFO& entry,
                                               const TranslateFn& translate) {
  if (wheelTag < 0 || wheelTag >= kWheelButtonCount) return;
  wheelCaptions_[wheelTag] = GetWheelMenuCaptionByID(entry.MenuID, translate);
}

int AssignPageModel::HighlightIndex(int tag) {
  if (tag >= 0 && tag <= 4) return tag;
  if (tag == 5 || tag == 6) return tag + 2;
  return -1;
}

bool AssignPageModel::OpenFunctionMenu(int tag) {
  if (!InButtons(tag)) return false;
  if (menuOpen_) FunctionMenuClosed();
  FSelectedButtonIndex = tag;
  highlighted_ = HighlightIndex(tag);
  spots_[highlighted_] = badges_[highlighted_] = true;
  hoverSuspended_[tag] = true;
  menuOpen_ = true;
  return true;
}

void AssignPageModel::FunctionMenuClosed() {
  if (!menuOpen_) return;
  if (InSpots(highlighted_)) spots_[highlighted_] = badges_[highlighted_] = false;
  if (InButtons(FSelectedButtonIndex)) hoverSuspended_[FSelectedButtonIndex] = false;
  menuOpen_ = false;
  highlighted_ = -1;
}

void AssignPageModel::HoverEnter(int tag) {
  if (!HoverEnabled(tag)) return;
  spots_[HighlightIndex(tag)] = true;
}

void AssignPageModel::HoverLeave(int tag) {
  if (!HoverEnabled(tag)) return;
  spots_[HighlightIndex(tag)] = false;
}

}  // namespace quarn

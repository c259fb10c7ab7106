// The mouse's lighting written through the device link: the five feature reports of a
// profile's lighting, all built and checked before the first one goes out. Without a
// mouse every report fails and nothing is reported.
#pragma once

#include "config_seams.h"
#include "vn_hid_data.h"

namespace quarn {

class HidLightingDevice final : public LightingDevice {
 public:
  explicit HidLightingDevice(TvnHIDData& hid) : hid_(hid) {}
  void WriteLedSettingsToDevice(int profileIndex, const TMouseProfileInfo& profile) override;
  // Reports handed to the link so far (for checks).
  int ReportsSent() const { return sent_; }

 private:
  TvnHIDData& hid_;
  int sent_ = 0;
};

}  // namespace quarn

// The HID transport on Windows: the device-setup and HID libraries, bound at
// run time from the system folder only, list the present HID interfaces and
// open them for feature reports, writes and cancellable overlapped reads.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <setupapi.h>

#include <memory>
#include <string>
#include <vector>

#include "hid_transport.h"

namespace quarn {

struct HidSystemApi;

class WinHidTransport : public HidTransport {
 public:
  WinHidTransport();
  // False when the libraries or one of their functions could not be found:
  // every search then finds nothing.
  bool LibrariesLoaded() const;
  // The HID interface class that is listed.
  GUID HidGuid() const;

  bool EnumerateInterfaces(std::vector<HidInterfaceInfo>& interfaces) override;
  std::unique_ptr<HidDevice> Open(const std::u16string& path, bool overlapped) override;

 private:
  const HidSystemApi* api_;
};

// One entry per string of a device's registry property (1 hardware IDs, 17
// upper filters, 18 lower filters); empty when it cannot be read.
std::vector<std::u16string> GetDeviceRegistryPropertyList(HDEVINFO DeviceInfoSet,
                                                          SP_DEVINFO_DATA* DeviceInfoData,
                                                          DWORD Property);

}  // namespace quarn

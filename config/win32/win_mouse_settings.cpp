#include "win_mouse_settings.h"

#include <windows.h>

namespace quarn {

namespace {

constexpr UINT kUpdate = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

}  // namespace

bool WinMouseSettingsWriter::SetMouseAcceleration(const MouseAccelerationTriple& triple) {
  int values[3] = {triple.Threshold1, triple.Threshold2, triple.Acceleration};
  return SystemParametersInfoW(SPI_SETMOUSE, 0, values, kUpdate) != FALSE;
}

bool WinMouseSettingsWriter::SetMouseSpeed(std::int32_t speed) {
  return SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(speed),
                               reinterpret_cast<PVOID>(static_cast<INT_PTR>(speed)),
                               kUpdate) != FALSE;
}

bool WinMouseSettingsWriter::SetWheelScrollLines(std::int32_t lines) {
  UINT copy = static_cast<UINT>(lines);
  return SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, copy, &copy, kUpdate) != FALSE;
}

bool WinMouseSettingsWriter::SetMouseTrails(std::int32_t trails) {
  return SystemParametersInfoW(SPI_SETMOUSETRAILS, static_cast<UINT>(trails), nullptr, kUpdate) !=
         FALSE;
}

}  // namespace quarn

#include "tray_icon.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace quarn {

TrayIcon::TrayIcon(HWND owner, UINT callbackMessage, HICON icon) {
  data_.cbSize = sizeof data_;
  data_.hWnd = owner;
  data_.uID = 1;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = callbackMessage;
  data_.hIcon = icon;
  Shell_NotifyIconW(NIM_ADD, &data_);
}

TrayIcon::~TrayIcon() { Shell_NotifyIconW(NIM_DELETE, &data_); }

void TrayIcon::SetHint(const std::wstring& hint) {
  const std::size_t n = std::min(hint.size(), std::size(data_.szTip) - 1);
  std::wmemcpy(data_.szTip, hint.data(), n);
  data_.szTip[n] = L'\0';
  Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void TrayIcon::Restore() { Shell_NotifyIconW(NIM_ADD, &data_); }

UINT TrayIcon::TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

HICON CreateMouseIcon(int size) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  ReleaseDC(nullptr, screen);

  // Mask: white is transparent, black is the shape.
  HGDIOBJ old = SelectObject(dc, mask);
  PatBlt(dc, 0, 0, size, size, WHITENESS);
  const int l = size / 5, t = size / 12, r = size - size / 5, b = size - size / 12;
  const int round = size / 2;
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  SelectObject(dc, GetStockObject(BLACK_PEN));
  RoundRect(dc, l, t, r, b, round, round);

  // Colour: a dark body, the split between the buttons and an accent wheel.
  SelectObject(dc, colour);
  PatBlt(dc, 0, 0, size, size, BLACKNESS);
  HBRUSH body = CreateSolidBrush(RGB(40, 44, 52));
  HPEN edge = CreatePen(PS_SOLID, 1, RGB(150, 160, 175));
  SelectObject(dc, body);
  SelectObject(dc, edge);
  RoundRect(dc, l, t, r, b, round, round);
  const int mid = size / 2, split = t + (b - t) * 2 / 5;
  MoveToEx(dc, mid, t, nullptr);
  LineTo(dc, mid, split);
  MoveToEx(dc, l, split, nullptr);
  LineTo(dc, r, split);
  HBRUSH wheel = CreateSolidBrush(RGB(0, 200, 120));
  RECT w{mid - std::max(1, size / 16), t + size / 8, mid + std::max(1, size / 16) + 1, split - size / 16};
  FillRect(dc, &w, wheel);
  SelectObject(dc, old);
  DeleteObject(body);
  DeleteObject(edge);
  DeleteObject(wheel);
  DeleteDC(dc);

  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask;
  info.hbmColor = colour;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

}  // namespace quarn

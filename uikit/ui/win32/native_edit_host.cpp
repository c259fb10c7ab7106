#include "native_edit_host.h"


#include <cmath>
#include <string>

#include "common_controls.h"

namespace quarn::ui {

namespace {

constexpr UINT_PTR kSubclassId = 0x5145;

std::wstring Wide(std::u16string_view s) {
  return std::wstring(s.begin(), s.end());
}

std::u16string TextOf(HWND control) {
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring buffer(std::size_t(length) + 1, L'\0');
  const int got = GetWindowTextW(control, buffer.data(), length + 1);
  buffer.resize(got > 0 ? std::size_t(got) : 0);
  return std::u16string(buffer.begin(), buffer.end());
}

COLORREF ToColorRef(Color c) {
  return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

// The colour behind the text: a solid fill's, a gradient's first stop, else white.
Color BackgroundOf(const TextBoxLook& look) {
  if (look.background.kind == Fill::Kind::Solid) return look.background.color;
  if (look.background.kind == Fill::Kind::LinearGradient && !look.background.stops.empty())
    return look.background.stops.front().color;
  return Rgb(0xFF, 0xFF, 0xFF);
}

int Digits(std::int64_t v) {
  std::uint64_t m = v < 0 ? std::uint64_t(-(v + 1)) + 1 : std::uint64_t(v);
  int n = 1;
  while (m >= 10) {
    m /= 10;
    ++n;
  }
  return n;
}

}  // namespace

struct NativeEditHost::Edit {
  TextBox* model = nullptr;
  std::weak_ptr<void> alive;
  HWND hwnd = nullptr;
  HFONT font = nullptr;
  HBRUSH brush = nullptr;
  Color brushColor = 0;
  bool number = false;
  // Set while the host writes the control, so its change is not taken as the user's.
  bool writing = false;

  bool Alive() const { return !alive.expired(); }
  ~Edit() {
    if (hwnd) DestroyWindow(hwnd);
    if (font) DeleteObject(font);
    if (brush) DeleteObject(brush);
  }
};

NativeEditHost::NativeEditHost(HWND parent, Scene& scene) : parent_(parent), scene_(scene) {
  int nextId = 0x5100;
  scene_.Root().ForEach<TextBox>([&](TextBox& box) {
    auto edit = std::make_unique<Edit>();
    edit->model = &box;
    edit->alive = box.LifeToken();
    auto* number = dynamic_cast<NumberBox*>(&box);
    edit->number = number != nullptr;
    DWORD style = WS_CHILD | ES_AUTOHSCROLL;
    if (box.align == AlignH::Center) style |= ES_CENTER;
    if (box.align == AlignH::Trailing) style |= ES_RIGHT;
    // A display-only box swallows every typed character: the control is read-only, its
    // key handlers still run.
    if (box.readOnly || box.swallowTyping) style |= ES_READONLY;
    if (number && number->Min() >= 0) style |= ES_NUMBER;
    edit->hwnd = CreateWindowExW(0, L"EDIT", Wide(box.Text()).c_str(), style, 0, 0, 0, 0, parent_,
                                 reinterpret_cast<HMENU>(INT_PTR(nextId++)),
                                 GetModuleHandleW(nullptr), nullptr);
    if (!edit->hwnd) return;
    if (number) SendMessageW(edit->hwnd, EM_LIMITTEXT, WPARAM(DigitLimit(*number)), 0);
    LOGFONTW lf{};
    lf.lfHeight = -LONG(std::lround(box.font.size > 0 ? box.font.size : 12));
    lf.lfWeight = box.font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = box.font.italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring family = Wide(box.font.family.empty() ? u"Tahoma" : box.font.family);
    lstrcpynW(lf.lfFaceName, family.c_str(), LF_FACESIZE);
    edit->font = CreateFontIndirectW(&lf);
    if (edit->font) SendMessageW(edit->hwnd, WM_SETFONT, WPARAM(edit->font), FALSE);
    comctl::SetWindowSubclass(edit->hwnd, &NativeEditHost::Subclass, kSubclassId, DWORD_PTR(this));
    Place(*edit);
    edits_.push_back(std::move(edit));
  });
}

NativeEditHost::~NativeEditHost() {
  for (auto& e : edits_)
    if (e->hwnd) comctl::RemoveWindowSubclass(e->hwnd, &NativeEditHost::Subclass, kSubclassId);
}

int NativeEditHost::DigitLimit(const NumberBox& box) {
  const int a = Digits(box.Min()), b = Digits(box.Max());
  return a > b ? a : b;
}

HWND NativeEditHost::EditOf(const TextBox& box) const {
  for (auto& e : edits_)
    if (e->model == &box && e->Alive()) return e->hwnd;
  return nullptr;
}

NativeEditHost::Edit* NativeEditHost::Find(HWND control) const {
  for (auto& e : edits_)
    if (e->hwnd == control) return e.get();
  return nullptr;
}

void NativeEditHost::Place(Edit& edit) {
  if (!edit.Alive()) {
    ShowWindow(edit.hwnd, SW_HIDE);
    return;
  }
  const TextBox& box = *edit.model;
  const float inset = box.Look().borderWidth + 1;
  RectF r = box.AbsoluteRect().Inflate(-inset, -inset);
  // Single-line text sits in the middle of the box.
  const int x = int(std::lround(r.x)), w = int(std::lround(r.width));
  int h = int(std::lround(r.height)), y = int(std::lround(r.y));
  const int line = int(std::lround((box.font.size > 0 ? box.font.size : 12) * 1.35f));
  if (line < h) {
    y += (h - line) / 2;
    h = line;
  }
  SetWindowPos(edit.hwnd, nullptr, x, y, w > 0 ? w : 0, h > 0 ? h : 0,
               SWP_NOZORDER | SWP_NOACTIVATE);
  const bool shown = box.IsShown() && box.GetScene() == &scene_;
  ShowWindow(edit.hwnd, shown ? SW_SHOWNA : SW_HIDE);
  EnableWindow(edit.hwnd, box.IsEffectivelyEnabled());
}

void NativeEditHost::Sync() {
  for (auto& e : edits_) {
    Place(*e);
    if (e->Alive()) PushText(*e);
  }
}

void NativeEditHost::PushText(Edit& edit) {
  if (TextOf(edit.hwnd) == edit.model->Text()) return;
  edit.writing = true;
  SetWindowTextW(edit.hwnd, Wide(edit.model->Text()).c_str());
  edit.writing = false;
}

void NativeEditHost::PullText(Edit& edit) {
  if (edit.writing || !edit.Alive()) return;
  std::u16string text = TextOf(edit.hwnd);
  // A read-only model refuses the edit; show its text again.
  if (!edit.model->EditText(std::move(text)) && edit.Alive()) PushText(edit);
}

void NativeEditHost::KillFocus(Edit& edit) {
  if (!edit.Alive()) return;
  PullText(edit);
  if (!edit.Alive()) return;
  // Losing the scene's focus runs the box's own step (a number box writes its clamped
  // value back), then its handlers.
  std::weak_ptr<void> alive = edit.alive;
  if (scene_.Focused() == edit.model) {
    scene_.SetFocus(nullptr);
  } else {
    edit.model->FocusLost();
  }
  if (!alive.expired()) PushText(edit);
}

bool NativeEditHost::Command(WPARAM wParam, LPARAM lParam) {
  Edit* edit = Find(reinterpret_cast<HWND>(lParam));
  if (!edit) return false;
  switch (HIWORD(wParam)) {
    case EN_CHANGE:
      PullText(*edit);
      break;
    case EN_SETFOCUS:
      if (edit->Alive()) scene_.SetFocus(edit->model);
      break;
    case EN_KILLFOCUS:
      KillFocus(*edit);
      break;
    default:
      break;
  }
  return true;
}

bool NativeEditHost::Colors(HDC dc, HWND control, LRESULT& result) {
  Edit* edit = Find(control);
  if (!edit || !edit->Alive()) return false;
  const TextBoxLook& look = edit->model->Look();
  const Color back = BackgroundOf(look);
  if (!edit->brush || edit->brushColor != back) {
    if (edit->brush) DeleteObject(edit->brush);
    edit->brush = CreateSolidBrush(ToColorRef(back));
    edit->brushColor = back;
  }
  SetTextColor(dc, ToColorRef(look.textColor));
  SetBkColor(dc, ToColorRef(back));
  result = reinterpret_cast<LRESULT>(edit->brush);
  return edit->brush != nullptr;
}

LRESULT CALLBACK NativeEditHost::Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR data) {
  auto* host = reinterpret_cast<NativeEditHost*>(data);
  Edit* edit = host ? host->Find(hwnd) : nullptr;
  if (!edit || !edit->Alive()) return comctl::DefSubclassProc(hwnd, message, wParam, lParam);
  try {
    switch (message) {
      case WM_KEYDOWN: {
        std::uint16_t key = std::uint16_t(wParam);
        char16_t ch = 0;
        edit->model->KeyDown(key, ch);
        if (key == 0) return 0;  // swallowed by a handler
        return comctl::DefSubclassProc(hwnd, message, key, lParam);
      }
      case WM_KEYUP: {
        std::uint16_t key = std::uint16_t(wParam);
        char16_t ch = 0;
        edit->model->KeyUp(key, ch);  // Enter ends some dialogs here
        if (!host->Find(hwnd)) return 0;
        if (key == 0) return 0;
        return comctl::DefSubclassProc(hwnd, message, key, lParam);
      }
      case WM_CHAR: {
        // A single-line control beeps at Enter and Tab; they are keys, not text.
        if (wParam == L'\r' || wParam == L'\n' || wParam == L'\t') return 0;
        if (edit->number && wParam >= 0x20 && (wParam < L'0' || wParam > L'9') && wParam != L'-' &&
            !(GetWindowLongW(hwnd, GWL_STYLE) & ES_NUMBER))
          return 0;
        break;
      }
      case WM_NCDESTROY:
        comctl::RemoveWindowSubclass(hwnd, &NativeEditHost::Subclass, kSubclassId);
        edit->hwnd = nullptr;
        break;
      default:
        break;
    }
  } catch (...) {
    return 0;
  }
  return comctl::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace quarn::ui

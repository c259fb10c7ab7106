// uikit_demo: one window with each control of the toolkit, a pop-up at each placement,
// a modal test dialog, an OK/CANCEL/APPLY strip drawn from the image store, a frame
// dialog, and the configuration window's function menu and wheel menu, so the toolkit
// can be driven with real input. Every event is appended to uikit_demo.log beside the
// executable. Built with the tests; not part of the install.
//
//   uikit_demo.exe [--lang 0409|0804|0404]   the window (class "TQuarnUiDemo", 800 x 600,
//                                            centred); pictures from images\<lang>\ beside
//                                            the executable, images\0409\ when that
//                                            folder is missing; menu captions translated
//                                            by vn.local beside the executable
//   uikit_demo.exe --post 7036               finds the running demo's window by its class
//                                            and posts it message 7036 (it quits)
//
// The frame dialog ("Dialog") is centred in the screen rectangle (200,150)-(1000,750) and
// starts with the values "7" and "abc".
//
// "Key Functions" (client (20,400) 220 x 39) opens the function menu with its top-left
// at client (430, 10), marking the item chosen last; "Wheel" (client (260,400) 140 x 39)
// opens the wheel menu at the button's right edge, with the item chosen last checked;
// "Language" switches the captions between 0409 and 0804. The log gets
// "menu open function|wheel", "close <level>" for each closing level ("main", or the
// ItemID of the item whose sub-menu it is), "click <name> <id>" and "wheel click <name>
// <id>", "language=<id>".
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <string>

#include "dialog_window.h"
#include "function_menu.h"
#include "gdiplus_picture_decoder.h"
#include "gdiplus_session.h"
#include "image_data_base.h"
#include "language_file.h"
#include "menu/vn_menu_ex.h"
#include "modal_runner.h"
#include "popup_window.h"
#include "scene_window.h"
#include "translation.h"
#include "win32/module_path.h"
#include "win32/win_file_store.h"
#include "win_menu_host.h"
// After <windows.h> (through the toolkit's headers).
#include <shellapi.h>

namespace {

using namespace quarn;
using namespace quarn::ui;

constexpr const wchar_t* kDemoClass = L"TQuarnUiDemo";
constexpr UINT kTerminateMessage = 7036;
constexpr ScreenRect kDialogArea{200, 150, 1000, 750};
constexpr PointF kFunctionMenuAt{430, 10};  // client point of the function menu

std::u16string g_folder;  // the executable's folder, with a trailing backslash

std::string Utf8(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) {
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

void Log(const std::string& line) {
  const std::wstring path(g_folder.begin(), g_folder.end());
  FILE* f = _wfopen((path + L"uikit_demo.log").c_str(), L"ab");
  if (!f) return;
  std::fprintf(f, "%s\n", line.c_str());
  std::fclose(f);
}

Button& AddButton(Object& parent, const char16_t* name, const char16_t* text, RectF r) {
  Button& b = parent.Add<Button>();
  b.name = name;
  b.SetBounds(r);
  b.font = {u"Verdana", 13, true};
  b.SetText(text);
  b.cursor = Cursor::Hand;
  return b;
}

// The frame dialog of the demo: two text boxes.
struct DemoValues {
  std::u16string first, second;
};

class DemoDialog : public dialogs::FrameDialog {
 public:
  DemoDialog() : FrameDialog(308, 197, u"Demo Dialog") {
    first = &AddBox(u"TextFirst", 60);
    second = &AddBox(u"TextSecond", 94);
  }
  TextBox* FirstInputBox() override { return first; }
  void Load() override {
    first->SetText(fields.first);
    second->SetText(fields.second);
  }
  void Store() override { fields = {first->Text(), second->Text()}; }

  DemoValues fields;
  TextBox* first = nullptr;
  TextBox* second = nullptr;

 private:
  TextBox& AddBox(const char16_t* name, float y) {
    TextBox& box = GetScene().Root().Add<TextBox>();
    box.name = name;
    box.SetBounds(40, y, 228, 26);
    box.font = {u"Verdana", 13};
    return box;
  }
};

// The modal test dialog: a caption, OK (1) and a close button (2).
int RunTestDialog(HWND owner) {
  Scene scene(300, 160);
  RectShape& back = scene.Root().Add<RectShape>();
  back.SetBounds(0, 0, 300, 160);
  back.fill = Fill::Solid(Rgb(0x30, 0x34, 0x40));
  TextView& text = scene.Root().Add<TextView>();
  text.SetBounds(10, 10, 240, 40);
  text.fill = Fill::Solid(Rgb(0xFF, 0xFF, 0xFF));
  text.font = {u"Verdana", 14, true};
  text.SetText(u"Modal test dialog");
  AddButton(scene.Root(), u"BtnOK", u"OK", {107, 100, 86, 40}).modalResult = kModalOk;
  AddButton(scene.Root(), u"BtnClose", u"X", {262, 8, 30, 28}).modalResult = kModalCancel;
  SceneWindowOptions o;
  o.className = L"TQuarnUiDemoModal";
  o.title = L"uikit demo modal";
  o.owner = owner;
  SceneWindow window(scene, o);
  return RunModal(window, owner);
}

class Demo {
 public:
  explicit Demo(std::u16string language)
      : decoder_(), images_(files_, decoder_, ImagesFolder(language)), scene_(800, 600) {
    Build();
    SceneWindowOptions o;
    o.className = kDemoClass;
    o.title = L"uikit demo";
    o.background = Rgb(0x24, 0x28, 0x30);
    window_ = std::make_unique<SceneWindow>(scene_, o);
    window_->OnClose = [] { PostQuitMessage(0); };
    window_->OnMessage = [](UINT m, WPARAM, LPARAM, LRESULT& r) {
      if (m != kTerminateMessage) return false;
      Log("terminate");
      PostQuitMessage(0);
      r = 0;
      return true;
    };
    window_->OnTimer = [this](UINT_PTR) { WatchTooltip(); };
    for (auto& p : popups_) p.window = MakePopup(p);
    BuildMenus();
  }

  bool Ok() const { return window_ && window_->Handle(); }
  void Show() {
    window_->Show(SW_SHOW);
    SetTimer(window_->Handle(), 1, 100, nullptr);
  }

 private:
  struct Popup {
    const char16_t* name;
    Placement kind;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<PopupWindow> window;
    Button* opener = nullptr;
  };

  static std::u16string ImagesFolder(std::u16string language) {
    const std::u16string base = g_folder + u"images\\";
    // A language ID is four hexadecimal digits; anything else is not a folder name.
    bool id = language.size() == 4;
    for (char16_t c : language) id = id && std::iswxdigit(wint_t(c));
    if (!id) language = u"0409";
    const std::wstring wanted(base.begin(), base.end());
    const std::wstring lang(language.begin(), language.end());
    const DWORD a = GetFileAttributesW((wanted + lang).c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) return base + language;
    return base + u"0409";
  }

  void Build() {
    Layout& root = scene_.Root();
    TextView& title = root.Add<TextView>();
    title.SetBounds(20, 10, 500, 36);
    title.font = {u"Verdana", 18, true};
    title.fill = Fill::Solid(Rgb(0xF0, 0xF0, 0xF0));
    title.SetText(u"uikit demo");

    Button& close = AddButton(root, u"BtnClose", u"X", {760, 8, 32, 28});
    close.OnClick = [](Object&) {
      Log("close");
      PostQuitMessage(0);
    };

    Button& toggle = AddButton(root, u"ToggleButton", u"Toggle", {20, 60, 140, 40});
    toggle.staysPressed = true;
    toggle.OnClick = [](Object& o) {
      Log("toggle pressed=" + std::to_string(static_cast<Button&>(o).IsPressed() ? 1 : 0));
    };
    AddButton(root, u"PushButton", u"Push", {180, 60, 140, 40}).OnClick = [](Object&) {
      Log("click PushButton");
    };
    Button& hinted = AddButton(root, u"HintButton", u"Hint", {340, 60, 140, 40});
    hinted.hint = u"A hint for the button";
    hinted.OnClick = [](Object&) { Log("click HintButton"); };

    TextBox& text = root.Add<TextBox>();
    text.name = u"TextBox";
    text.SetBounds(20, 130, 200, 26);
    text.font = {u"Verdana", 13};
    text.OnChange = [](Object& o) { Log("text=" + Utf8(static_cast<TextBox&>(o).Text())); };
    NumberBox& number = root.Add<NumberBox>();
    number.name = u"NumberBox";
    number.SetBounds(240, 130, 80, 26);
    number.font = {u"Verdana", 13};
    number.align = AlignH::Center;
    number.SetRange(1, 255);
    number.OnKillFocus = [](Object& o) {
      Log("value=" + std::to_string(static_cast<NumberBox&>(o).Value()));
    };

    const char16_t* names[] = {u"Bottom", u"Right", u"RightCenter", u"Absolute", u"Mouse"};
    const Placement kinds[] = {Placement::Bottom, Placement::Right, Placement::RightCenter,
                               Placement::Absolute, Placement::Mouse};
    for (int i = 0; i < 5; ++i) {
      Popup& p = popups_[i];
      p.name = names[i];
      p.kind = kinds[i];
      p.opener = &AddButton(root, names[i], names[i], {20.f + 130 * i, 190, 120, 36});
      p.opener->OnClick = [this, &p](Object&) { Open(p); };
    }

    AddButton(root, u"ModalButton", u"Modal", {20, 250, 140, 40}).OnClick = [this](Object&) {
      Log("modal=" + std::to_string(RunTestDialog(window_->Handle())));
    };
    AddButton(root, u"DialogButton", u"Dialog", {180, 250, 140, 40}).OnClick = [this](Object&) {
      DemoValues values{u"7", u"abc"};
      dialogs::WindowDialogRunner runner(window_->Handle());
      const int result = dialogs::ShowFrameDialog<DemoDialog>(values, kDialogArea, runner);
      Log("result=" + std::to_string(result) + " values=" + Utf8(values.first) + "," +
          Utf8(values.second));
    };

    BuildStrip(root);

    AddButton(root, u"BtnKeyFunctions", u"Key Functions", {20, 400, 220, 39}).OnClick =
        [this](Object& o) { OpenFunctionMenu(o); };
    AddButton(root, u"BtnWheel", u"Wheel", {260, 400, 140, 39}).OnClick = [this](Object& o) {
      OpenWheelMenu(o);
    };
    AddButton(root, u"BtnLanguage", u"Language", {420, 400, 140, 39}).OnClick = [this](Object&) {
      SetLanguage(language_ == u"0804" ? u"0409" : u"0804");
    };
  }

  // The menus of the configuration window, with fills of their own colours so that
  // screenshots can tell the row states apart.
  void BuildMenus() {
    config::MenuArtwork art;
    art.backgroundFill = Fill::Solid(Rgb(0x20, 0x24, 0x2C));
    art.over = Fill::Solid(Rgb(0x3C, 0x5A, 0x82));
    art.down = Fill::Solid(Rgb(0x2E, 0x8B, 0x57));
    art.extender = Fill::Solid(Rgb(0xE9, 0xE9, 0xE9));
    functionMenu_.Host = &menuHost_;
    if (!config::BuildFunctionMenu(functionMenu_)) Log("function menu not built");
    config::ApplyFunctionMenuLook(functionMenu_, art);
    functionMenu_.OnItemsClick = [this](menu::TvnMenuItemEx&, const std::u16string& name,
                                        std::uint32_t id, const void*, std::int32_t) {
      Log("click " + Utf8(name) + " " + std::to_string(id));
      chosenFunction_ = id;
    };
    functionMenu_.OnMenuClose = [](menu::TvnMenuItemsEx& level) {
      Log("close " + LevelName(level));
    };

    art.normal = Fill::Solid(Rgb(0x30, 0x30, 0x38));
    art.extender = Fill::None();
    wheelMenu_.Host = &menuHost_;
    if (!config::BuildWheelMenu(wheelMenu_)) Log("wheel menu not built");
    config::ApplyWheelMenuLook(wheelMenu_, art);
    wheelMenu_.Items().SetItemCheckedState(0, true);
    wheelMenu_.OnItemsClick = [this](menu::TvnMenuItemEx&, const std::u16string& name,
                                     std::uint32_t id, const void*, std::int32_t) {
      Log("wheel click " + Utf8(name) + " " + std::to_string(id));
      for (int i = 0; i < wheelMenu_.Items().Count(); ++i)
        wheelMenu_.Items().SetItemCheckedState(i, wheelMenu_.Items().Items(i)->ItemID() == id);
    };
    wheelMenu_.OnMenuClose = [](menu::TvnMenuItemsEx& level) {
      Log("wheel close " + LevelName(level));
    };
  }

  static std::string LevelName(const menu::TvnMenuItemsEx& level) {
    return level.OwnerItem() ? std::to_string(level.OwnerItem()->ItemID()) : "main";
  }

  menu::MenuTarget TargetOf(const Object& o) const {
    POINT origin{0, 0};
    ClientToScreen(window_->Handle(), &origin);
    RECT wr;
    GetWindowRect(window_->Handle(), &wr);
    POINT cursor;
    GetCursorPos(&cursor);
    menu::MenuTarget t = menu::MenuTarget::Of(o, {float(origin.x), float(origin.y)}, wr.left,
                                              reinterpret_cast<std::uintptr_t>(window_->Handle()));
    t.cursor = {float(cursor.x), float(cursor.y)};
    return t;
  }

  void OpenFunctionMenu(const Object& opener) {
    POINT at{LONG(kFunctionMenuAt.x), LONG(kFunctionMenuAt.y)};
    ClientToScreen(window_->Handle(), &at);
    Log("menu open function");
    functionMenu_.ShowMainMenu(chosenFunction_, TargetOf(opener), Placement::Absolute,
                               RectF{float(at.x), float(at.y), 0, 0});
  }

  void OpenWheelMenu(const Object& opener) {
    const menu::MenuTarget target = TargetOf(opener);
    const RectF r{target.clientOrigin.x + opener.AbsoluteRect().x + opener.AbsoluteRect().width - 1,
                  target.clientOrigin.y + opener.AbsoluteRect().y, 0, 0};
    Log("menu open wheel");
    wheelMenu_.ShowMainMenu(-1, target, Placement::Absolute, r);
  }

  void SetLanguage(const std::u16string& id) {
    language_ = id;
    std::shared_ptr<const TranslationTable> table;
    for (const auto& block : languages_.languages)
      if (block.id == id) {
        table = std::make_shared<TranslationTable>(block.lines);
        break;
      }
    if (table)
      ProgramLanguage().Activate(std::move(table));
    else
      ProgramLanguage().Deactivate();
    Log("language=" + Utf8(id) + (ProgramLanguage().ActiveTable() ? "" : " (none)"));
  }

 public:
  // Reads vn.local beside the executable and shows the menus in `language`.
  void LoadLanguages(const std::u16string& language) {
    const std::wstring path(g_folder.begin(), g_folder.end());
    HANDLE file = CreateFileW((path + L"vn.local").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      std::vector<std::uint8_t> bytes;
      LARGE_INTEGER size{};
      if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (16 << 20)) {
        bytes.resize(std::size_t(size.QuadPart));
        DWORD got = 0;
        if (!ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr)) got = 0;
        bytes.resize(got);
      }
      CloseHandle(file);
      if (auto content = ReadLanguageFile(bytes.data(), bytes.size())) languages_ = *content;
    }
    if (languages_.languages.empty()) Log("no vn.local");
    SetLanguage(language);
  }

 private:
  // The OK/CANCEL/APPLY strip: one picture, swapped as the pointer enters, leaves,
  // presses and releases each button's area.
  void BuildStrip(Layout& root) {
    strip_ = &root.Add<ImageView>();
    strip_->name = u"ImageOkCancelApply";
    strip_->SetBounds(20, 320, 290, 45);
    strip_->hitTest = false;
    strip_->SetPicture(images_.IMAGE(u"OKCANCELAPPLY-N.png"));
    const char16_t* names[] = {u"OK", u"CANCEL", u"APPLY"};
    const char16_t* down[] = {u"BTNOK-D.png", u"BTNCANCEL-D.png", u"BTNAPPLY-D.png"};
    for (int i = 0; i < 3; ++i) {
      Object& area = root.Add<Object>();
      area.name = std::u16string(u"Strip") + names[i];
      area.SetBounds(20 + 8 + 94.f * i, 324, 86, 37);
      area.cursor = Cursor::Hand;
      const std::string n = Utf8(names[i]);
      const std::u16string pressed = down[i];
      area.OnMouseEnter = [this, n, pressed](Object&) {
        Log("strip enter " + n);
        strip_->SetPicture(images_.IMAGE(pressed));
      };
      area.OnMouseLeave = [this, n](Object&) {
        Log("strip leave " + n);
        strip_->SetPicture(images_.IMAGE(u"OKCANCELAPPLY-N.png"));
      };
      area.OnMouseDown = [this, n, pressed](Object&, MouseButton, PointF) {
        Log("strip down " + n);
        strip_->SetPicture(images_.IMAGE(pressed));
      };
      area.OnMouseUp = [this, n](Object&, MouseButton, PointF) {
        Log("strip up " + n);
        strip_->SetPicture(images_.IMAGE(u"OKCANCELAPPLY-O.png"));
      };
      area.OnClick = [n](Object&) { Log("click " + n); };
    }
  }

  std::unique_ptr<PopupWindow> MakePopup(Popup& p) {
    p.scene = std::make_unique<Scene>(180, 100);
    RectShape& back = p.scene->Root().Add<RectShape>();
    back.SetBounds(0, 0, 180, 100);
    back.fill = Fill::Solid(Rgb(0xE8, 0xE0, 0x90));
    back.stroke = Fill::Solid(Rgb(0x40, 0x40, 0x40));
    TextView& text = p.scene->Root().Add<TextView>();
    text.SetBounds(10, 10, 160, 80);
    text.font = {u"Verdana", 13, true};
    text.SetText(std::u16string(p.name) + u" pop-up");
    const std::u16string name = p.name;
    auto window = std::make_unique<PopupWindow>(
        *p.scene, stack_, window_->Handle(),
        L"uikit demo popup " + std::wstring(name.begin(), name.end()));
    window->OnClosePopup = [name](PopupWindow&) { Log("popup closed " + Utf8(name)); };
    return window;
  }

  void Open(Popup& p) {
    RECT wr;
    GetWindowRect(window_->Handle(), &wr);
    const RectF b = p.opener->AbsoluteRect();
    POINT cursor;
    GetCursorPos(&cursor);
    PlacementRequest r;
    r.target = {wr.left + b.x, wr.top + b.y, b.width, b.height};
    r.cursor = {float(cursor.x), float(cursor.y)};
    r.kind = p.kind;
    r.rectangle = RectF{900, 100, 180, 100};
    Log("popup opened " + Utf8(p.name));
    p.window->Popup(r);
  }

  void WatchTooltip() {
    HWND tip = window_->Tooltip();
    const bool visible = tip && IsWindowVisible(tip);
    if (visible && !tooltipShown_) Log("tooltip visible");
    tooltipShown_ = visible;
  }

  WinFileStore files_;
  GdiplusPictureDecoder decoder_;
  TImageDataBase images_;
  Scene scene_;
  ImageView* strip_ = nullptr;
  PopupStack stack_;
  std::unique_ptr<SceneWindow> window_;
  Popup popups_[5];  // destroyed before the window that owns them
  bool tooltipShown_ = false;
  LanguageFileContent languages_;
  std::u16string language_ = u"0409";
  std::int64_t chosenFunction_ = 0;
  // The menus' pop-ups are owned by the window: the menus go before it.
  menu::WinMenuHost menuHost_;
  menu::TvnMenuEx functionMenu_;
  menu::TvnMenuEx wheelMenu_;
};

int Run(int argc, wchar_t** argv) {
  const std::u16string exe = ExecutableFilePath();
  g_folder = exe.substr(0, exe.find_last_of(u"\\/") + 1);

  std::u16string language = u"0409";
  for (int i = 1; i + 1 < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--post") {
      HWND target = FindWindowW(kDemoClass, nullptr);
      if (!target) return 1;
      return PostMessageW(target, UINT(_wtoi(argv[i + 1])), 0, 0) ? 0 : 1;
    }
    if (arg == L"--lang") {
      const std::wstring v = argv[i + 1];
      language.assign(v.begin(), v.end());
    }
  }

  GdiplusSession session;
  if (!session.Ok()) return 2;
  int code = 0;
  {
    Demo demo(language);
    if (!demo.Ok()) return 3;
    Log("start language=" + Utf8(language));
    demo.LoadLanguages(language);
    demo.Show();
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
      if (got == -1) break;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    code = got == 0 ? int(msg.wParam) : 0;
  }
  Log("exit");
  return code;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return 1;
  const int code = Run(argc, argv);
  LocalFree(argv);
  return code;
}

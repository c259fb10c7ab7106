// uikit_render: the toolkit's drawing from the command line.
//   uikit_render sample <out.png>   renders the fixed sample below and prints its probes
//   uikit_render decode <file>      prints "WxH #AARRGGBB" (the pixel at 0,0) or "empty"
//   uikit_render fonts              prints the family each design font resolves to
//
// The sample (400 x 260, white background), with its probe points:
//   solid        (10,10,100,60) red 220,30,40           probe (60,40)
//   gradient     (120,10,100,60) black at top to 0,200,0 at the bottom
//                                                       probes (170,10) and (170,69)
//   tiled        (230,10,160,60) CheckerTile, period 8  probes (231,11) blue, (235,11)
//                                                       yellow, (239,19) blue again
//   rounded      (10,80,100,60) blue radius 20          corner (11,81) stays white,
//                                                       probe (60,110)
//   Latin label  (120,80,270,40) "Profile 1" Verdana 18
//   Chinese      (10,150,180,40) and (200,150,180,40): two different captions, Verdana 20
//   Chinese      (10,200,180,40) in the second design font, 20
//   missing font (200,200,180,40) "Missing font" in "NoSuchFont"
#include <cstdio>
#include <string>
#include <vector>

#include "gdiplus_include.h"
// clang-format off
#include <shellapi.h>
// clang-format on
#include "gdiplus_picture_decoder.h"
#include "gdiplus_session.h"
#include "offscreen.h"
#include "sample_face.h"
#include "wide.h"
#include "win_file_store.h"

namespace {

using namespace quarn::ui;

std::string Utf8(std::u16string_view s) {
  std::wstring w = quarn::ToWide(s);
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(std::size_t(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

void Print(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

void PaintSample(Canvas& c) {
  c.FillRect({0, 0, 400, 260}, Fill::Solid(Rgb(255, 255, 255)));
  c.FillRect({10, 10, 100, 60}, Fill::Solid(Rgb(220, 30, 40)));
  c.FillRect({120, 10, 100, 60}, Fill::Gradient(Rgb(0, 0, 0), Rgb(0, 200, 0)));
  c.DrawPicture(tools::CheckerTile(), {230, 10, 160, 60}, WrapMode::Tile);
  c.FillRect({10, 80, 100, 60}, Fill::Solid(Rgb(30, 60, 200)), 20);
  Fill ink = Fill::Solid(Rgb(0, 0, 0));
  TextFormat left{AlignH::Leading, AlignV::Center};
  c.DrawText(u"Profile 1", {120, 80, 270, 40}, {u"Verdana", 18}, ink, left);
  c.DrawText(u"\u9F20\u6807\u8BBE\u7F6E", {10, 150, 180, 40}, {u"Verdana", 20}, ink, left);
  c.DrawText(u"\u914D\u7F6E\u6587\u4EF6", {200, 150, 180, 40}, {u"Verdana", 20}, ink, left);
  c.DrawText(u"\u6309\u952E\u529F\u80FD", {10, 200, 180, 40}, {u"\u9ED1\u4F53", 20}, ink, left);
  c.DrawText(u"Missing font", {200, 200, 180, 40}, {u"NoSuchFont", 20}, ink, left);
}

std::string Hex(std::uint32_t c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%08X", unsigned(c));
  return buf;
}

int Sample(const std::u16string& out) {
  PictureRef p = RenderToPicture(400, 260, PaintSample);
  if (p->Empty() || !SavePng(*p, out)) {
    Print("render failed");
    return 1;
  }
  const struct {
    const char* name;
    int x, y;
  } probes[] = {{"solid", 60, 40},          {"gradient-top", 170, 10}, {"gradient-bottom", 170, 69},
                {"tile-a", 231, 11},        {"tile-b", 235, 11},       {"tile-a-again", 239, 19},
                {"rounded-corner", 11, 81}, {"rounded", 60, 110}};
  for (const auto& pr : probes)
    Print(std::string(pr.name) + " " + std::to_string(pr.x) + "," + std::to_string(pr.y) + " " +
          Hex(p->At(pr.x, pr.y)));
  return 0;
}

int Decode(const std::u16string& path) {
  quarn::WinFileStore files;
  std::vector<std::uint8_t> bytes;
  PictureRef p = EmptyPicture();
  if (files.ReadWholeFile(path, bytes) == quarn::StoreStatus::Ok) {
    GdiplusPictureDecoder decoder;
    p = decoder.Decode(bytes.data(), bytes.size());
  }
  if (p->Empty())
    Print("empty");
  else
    Print(std::to_string(p->width) + "x" + std::to_string(p->height) + " " + Hex(p->At(0, 0)));
  return 0;
}

int Fonts() {
  auto& fonts = GdiplusSession::Current()->Fonts();
  for (std::u16string family : {u"Verdana", u"\u6977\u4F53_GB2312", u"\u9ED1\u4F53", u"NoSuchFont"})
    Print(Utf8(family) + " -> " + Utf8(fonts.ResolvedFamily(family)));
  Print("Verdana with Chinese text -> " +
        Utf8(fonts.ResolvedFamily(u"Verdana", u"\u9F20\u6807\u8BBE\u7F6E")));
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::u16string> args;
  for (int i = 0; argv && i < argc; ++i) args.push_back(quarn::FromWide(argv[i]));
  if (argv) LocalFree(argv);

  GdiplusSession session;
  if (!session.Ok()) {
    Print("GDI+ did not start");
    return 1;
  }
  if (args.size() == 3 && args[1] == u"sample") return Sample(args[2]);
  if (args.size() == 3 && args[1] == u"decode") return Decode(args[2]);
  if (args.size() == 2 && args[1] == u"fonts") return Fonts();
  Print("usage: uikit_render sample <out.png> | decode <file> | fonts");
  return 2;
}

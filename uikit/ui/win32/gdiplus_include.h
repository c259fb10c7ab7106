// The one way the toolkit's Win32 side includes GDI+: under WIN32_LEAN_AND_MEAN the
// GDI+ headers need the COM object declarations first, and NOMINMAX keeps min/max out.
// The DrawText macro is removed so that Canvas::DrawText keeps its name; call the GDI
// function as DrawTextW.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// clang-format off
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

#ifdef DrawText
#undef DrawText
#endif

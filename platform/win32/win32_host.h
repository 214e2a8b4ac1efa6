// What the Win32 files share: the seam's opaque handles are the system's own.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// winuser.h names two resource types like our icon and cursor numbers.
#undef RES_ICON
#undef RES_CURSOR

struct Window;
struct Cursor;
struct Menu;

inline HWND hwnd_of(Window* window) { return reinterpret_cast<HWND>(window); }
inline Window* window_of(HWND hwnd) { return reinterpret_cast<Window*>(hwnd); }

// Every resource is the program's own.
inline HINSTANCE program_instance() { return GetModuleHandleA(nullptr); }

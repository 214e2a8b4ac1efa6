// What the Win32 files share: the seam's opaque handles are the system's own.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

struct Window;
struct Cursor;
struct Menu;

inline HWND hwnd_of(Window* window) { return reinterpret_cast<HWND>(window); }
inline Window* window_of(HWND hwnd) { return reinterpret_cast<Window*>(hwnd); }

// Every resource is the program's own.
inline HINSTANCE program_instance() { return GetModuleHandleA(nullptr); }

// The few system calls that graphics programs use next to graphics.h: key
// state, screen size, pointer position, sleeping and message boxes. Key state
// and pointer are those of the library's windows.
#ifndef KEL_COMPAT_WINDOWS_H
#define KEL_COMPAT_WINDOWS_H

// The Windows types first: graphics.h then leaves out its own window handle.
#include "kel/wintypes.h"
// clang-format off
#include <graphics.h>
// clang-format on

// The library's own platform header (seen only by its sources and tests)
// declares the same point type and constants.
#ifndef KEL_PLATFORM_H
typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT, *LPPOINT;

// Virtual-key codes.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_NUMPAD0 0x60
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_YESNO 0x00000004L
#define MB_ICONERROR 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONINFORMATION 0x00000040L
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7
#endif  // KEL_PLATFORM_H

#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_MBUTTON 0x04
#define MB_ICONWARNING MB_ICONEXCLAMATION

// The program's names reach the library's kel_ entry points (the system's
// header, where it came first, made MessageBox its ANSI/wide macro).
#ifdef MessageBox
#undef MessageBox
#endif
#define GetAsyncKeyState kel_GetAsyncKeyState
#define GetSystemMetrics kel_GetSystemMetrics
#define GetCursorPos kel_GetCursorPos
#define Sleep kel_Sleep
#define MessageBox kel_MessageBox
#define MessageBoxA kel_MessageBox

#ifdef __cplusplus
extern "C" {
#endif

// Bit 15 set while the key is down in one of the library's windows; bit 0
// set when it went down since the previous call for that key.
KEL_API SHORT kel_GetAsyncKeyState(int vkey);
KEL_API int kel_GetSystemMetrics(int index);
// The last pointer position seen by a library window, in screen coordinates.
KEL_API BOOL kel_GetCursorPos(LPPOINT point);
KEL_API void kel_Sleep(DWORD milliseconds);
KEL_API int kel_MessageBox(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type);

#ifdef __cplusplus
}
#endif

#endif  // KEL_COMPAT_WINDOWS_H

/* The companion windows.h and graphics.h in either order, in strict C99:
   the window handle type is declared once whichever comes first. */
#ifdef WINDOWS_FIRST
#include <windows.h>
#include <graphics.h>
#else
#include <graphics.h>
#include <windows.h>
#endif

int uses_both(HWND window) {
  return getwindowheight() + GetSystemMetrics(SM_CXSCREEN) + (window == NULL);
}

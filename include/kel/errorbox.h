// The library's error box and the pass-throughs to the platform's ANSI
// message functions that it is built on. None of them needs a window.
#ifndef KEL_ERRORBOX_H
#define KEL_ERRORBOX_H

#include "kel/wintypes.h"

// The system headers make these names macros for their ANSI/wide variants;
// the library's functions of the same names take the ANSI arguments.
#ifdef FormatMessage
#undef FormatMessage
#endif
#ifdef SendMessage
#undef SendMessage
#endif
#ifdef MessageBox
#undef MessageBox
#endif

#ifdef __cplusplus
extern "C" {
#endif

// A modal box captioned "Error" with `msg`, or with the system's text for
// the calling thread's last error when `msg` is null.
KEL_API void showerrorbox(const char* msg);
// FormatMessageA, SendMessageA and MessageBoxA with the same arguments and
// results.
KEL_API DWORD FormatMessage(DWORD flags, LPCVOID source, DWORD message_id, DWORD language_id,
                            LPSTR buffer, DWORD size, void* arguments);
KEL_API LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
KEL_API int MessageBox(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type);

#ifdef __cplusplus
}
#endif

#endif  // KEL_ERRORBOX_H

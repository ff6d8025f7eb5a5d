// The platform interface the library is written against.
//
// On Windows this is the system's own API. Everywhere else it is the portable
// platform under src/platform/, which implements exactly the calls the library
// makes, with the same names, argument orders, types and constants, so one set
// of library sources builds against either.
#ifndef KEL_PLATFORM_H
#define KEL_PLATFORM_H

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#else  // the portable platform: one header per layer

#include "platform/base.h"
#include "platform/kernel.h"
#include "platform/gdi.h"
#include "platform/user.h"
#include "platform/comdlg.h"
#include "platform/picture.h"

#endif  // _WIN32

#endif  // KEL_PLATFORM_H

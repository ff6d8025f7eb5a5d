// KEL_API marks what libkel exports. Everything else in the library and its
// platform is hidden, so a program's own names never meet the library's.
#ifndef KEL_EXPORT_H
#define KEL_EXPORT_H

#if defined(_WIN32)
#define KEL_API
#else
#define KEL_API __attribute__((visibility("default")))
#endif

#endif  // KEL_EXPORT_H

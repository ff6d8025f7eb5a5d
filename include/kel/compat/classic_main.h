// Included first by the compiler wrappers in a C++ file whose main returns
// void, which they rename kel_classic_main: the function gets C linkage, so
// the library's standard main finds it.
#ifndef KEL_COMPAT_CLASSIC_MAIN_H
#define KEL_COMPAT_CLASSIC_MAIN_H
#ifdef __cplusplus
#ifdef KEL_CLASSIC_MAIN_ARGS
extern "C" void kel_classic_main(int argc, char** argv);
#else
extern "C" void kel_classic_main();
#endif
#endif
#endif  // KEL_COMPAT_CLASSIC_MAIN_H

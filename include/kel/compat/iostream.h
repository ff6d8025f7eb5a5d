// The stream header of C++ before namespaces: the standard streams and
// their manipulators without std::.
#ifndef KEL_COMPAT_IOSTREAM_H
#define KEL_COMPAT_IOSTREAM_H

#include <iomanip>
#include <iostream>

using std::cerr;
using std::cin;
using std::clog;
using std::cout;
using std::dec;
using std::endl;
using std::ends;
using std::flush;
using std::hex;
using std::ios;
using std::iostream;
using std::istream;
using std::oct;
using std::ostream;
using std::setfill;
using std::setprecision;
using std::setw;
using std::streambuf;

#endif  // KEL_COMPAT_IOSTREAM_H

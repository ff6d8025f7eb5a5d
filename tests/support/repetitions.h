// How many times a test repeats a run of a child process.
#ifndef KEL_TESTS_REPETITIONS_H
#define KEL_TESTS_REPETITIONS_H

#include <cstdlib>

namespace kel_test {

// The variable's value when set to a positive count, else `plain`: every
// build, ThreadSanitizer's included, repeats the full count, except under
// Wine, where a process takes about a second to start (`plain / 10`).
inline int repetitions(const char* variable, int plain) {
  const char* value = std::getenv(variable);
  if (value && std::atoi(value) > 0) return std::atoi(value);
#if defined(_WIN32)
  return plain / 10;
#else
  return plain;
#endif
}

}  // namespace kel_test

#endif  // KEL_TESTS_REPETITIONS_H

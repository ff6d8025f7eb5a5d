// How many times a test repeats a run of a child process.
#ifndef KEL_TESTS_REPETITIONS_H
#define KEL_TESTS_REPETITIONS_H

#include <cstdlib>

namespace kel_test {

// The variable's value when set, else `plain`, or `plain / 4` under
// ThreadSanitizer, where each process takes about a second to start
// (`plain / 10` on Windows, run under Wine).
inline int repetitions(const char* variable, int plain) {
  const char* value = std::getenv(variable);
  if (value && std::atoi(value) > 0) return std::atoi(value);
#if defined(__SANITIZE_THREAD__)
  return plain / 4;
#elif defined(_WIN32)
  return plain / 10;  // a process takes about a second to start under Wine
#else
  return plain;
#endif
}

}  // namespace kel_test

#endif  // KEL_TESTS_REPETITIONS_H

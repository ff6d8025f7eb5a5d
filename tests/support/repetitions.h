// How many times a test repeats a run of a child process.
#ifndef KEL_TESTS_REPETITIONS_H
#define KEL_TESTS_REPETITIONS_H

#include <cstdlib>

namespace kel_test {

// The variable's value when set to a positive count, else `plain`: every
// build, ThreadSanitizer's included, repeats the full count.
inline int repetitions(const char* variable, int plain) {
  const char* value = std::getenv(variable);
  if (value && std::atoi(value) > 0) return std::atoi(value);
  return plain;
}

}  // namespace kel_test

#endif  // KEL_TESTS_REPETITIONS_H

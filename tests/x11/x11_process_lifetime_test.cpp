// The life of a process on a real X server: its first window opens on a
// server that has no other client (and resets when a client leaves), the
// process ends cleanly while its windows are presenting, and closed windows
// give their connections back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "repetitions.h"
#include "x11_session.h"

namespace {

using x11_test::Child;
using x11_test::XSession;

constexpr int kRunTimeoutMs = 20000;

// Runs a test program to its end; its exit status, or -1 when it hangs.
int run_program(const XSession& session, const std::vector<std::string>& argv) {
  std::unique_ptr<Child> child =
      Child::start(argv, x11_test::environment_with_display(session.name()), false);
  if (!child) return -2;
  return child->wait_exit(kRunTimeoutMs);
}

TEST(X11ProcessLifetime, FirstWindowOpensOnABareServerEveryTime) {
  XSession session(true);
  if (!session.ready()) GTEST_SKIP() << session.skip_reason();
  const std::string program = std::string(KEL_TEST_PROGRAMS_DIR) + "/prog_first_window";
  int count = kel_test::repetitions("KEL_FIRST_WINDOW_RUNS", 200);
  int opened = 0;
  for (int i = 0; i < count; ++i) {
    int status = run_program(session, {program});
    EXPECT_EQ(status, 0) << "start " << i;
    opened += status == 0;
  }
  EXPECT_EQ(opened, count);
}

TEST(X11ProcessLifetime, ReturnFromMainWhileEightWindowsDrawEndsCleanly) {
  XSession session(true);
  if (!session.ready()) GTEST_SKIP() << session.skip_reason();
  const std::string program = std::string(KEL_TEST_PROGRAMS_DIR) + "/prog_exit_stress";
  int count = kel_test::repetitions("KEL_EXIT_STRESS_RUNS", 100);
  for (int i = 0; i < count; ++i) ASSERT_EQ(run_program(session, {program, "20"}), 0) << "run " << i;
}

// 300 windows opened and closed one after another: past the server's limit
// of 255 clients when a closed window kept its connection. The program checks
// that its threads, descriptors and memory did not grow.
TEST(X11ProcessLifetime, ClosedWindowsGiveBackTheirThreadsConnectionsAndPages) {
  XSession session(true);
  if (!session.ready()) GTEST_SKIP() << session.skip_reason();
  const std::string program = std::string(KEL_TEST_PROGRAMS_DIR) + "/prog_window_cycle";
  std::unique_ptr<Child> child = Child::start(
      {program, "300"}, x11_test::environment_with_display(session.name()), true);
  ASSERT_TRUE(child);
  std::string line;
  EXPECT_TRUE(child->read_line(&line, 4 * kRunTimeoutMs));
  EXPECT_EQ(line, "cycled 300");
  EXPECT_EQ(child->wait_exit(kRunTimeoutMs), 0);
}

}  // namespace

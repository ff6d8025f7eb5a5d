// KEL_DISPLAY picks the display back end of a program: a child process opens
// a window and says which back end shows it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "x11_session.h"

namespace {

// The child's lines, with DISPLAY (empty: none) and KEL_DISPLAY (null:
// unset) as given; "exit N" ends them.
std::vector<std::string> lines_of_child(const std::string& display, const char* choice) {
  std::vector<std::string> env;
  for (std::string& e : x11_test::environment_with_display(display))
    if (e.compare(0, 12, "KEL_DISPLAY=") != 0) env.push_back(e);
  if (choice) env.push_back(std::string("KEL_DISPLAY=") + choice);
  std::vector<std::string> argv{std::string(KEL_TEST_PROGRAMS_DIR) + "/prog_display_choice"};
  std::unique_ptr<x11_test::Child> child = x11_test::Child::start(argv, env, true);
  if (!child) return {"not started"};
  std::vector<std::string> lines;
  std::string line;
  while (child->read_line(&line, x11_test::XSession::kTimeoutMs)) lines.push_back(line);
  lines.push_back("exit " + std::to_string(child->wait_exit(x11_test::XSession::kTimeoutMs)));
  return lines;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(DisplayChoice, VariablePicksTheBackEndWhereADisplayIsPresent) {
  X11_SESSION_OR_SKIP(session);
  EXPECT_EQ(lines_of_child(session.name(), nullptr), (Lines{"window 0 x11", "exit 0"}));
  EXPECT_EQ(lines_of_child(session.name(), "headless"), (Lines{"window 0 headless", "exit 0"}));
  EXPECT_EQ(lines_of_child(session.name(), "X11"), (Lines{"window 0 x11", "exit 0"}));
}

TEST(DisplayChoice, UnopenableOrUnknownBackEnds) {
  // X11 asked for with no display: initwindow fails with the error box, and
  // the process ends normally.
  EXPECT_EQ(lines_of_child("", "x11"), (Lines{"box Error", "no window none", "exit 2"}));
  // A name no back end has: the default order, which here ends headless.
  EXPECT_EQ(lines_of_child("", "vga"), (Lines{"window 0 headless", "exit 0"}));
}

// KEL_DISPLAY picks the display back end of a program: a child process opens
// a window and says which back end shows it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "lib_test_support.h"
#include "x11_session.h"

namespace {

// KEL_DISPLAY set (or, with null, removed) for the scope and the children
// started in it.
class DisplayVariable {
 public:
  explicit DisplayVariable(const char* value) {
    if (value)
      setenv("KEL_DISPLAY", value, 1);
    else
      unsetenv("KEL_DISPLAY");
  }
  ~DisplayVariable() { unsetenv("KEL_DISPLAY"); }
};

// The child's line on a virtual X server.
std::string line_on_display(x11_test::XSession& session) {
  std::unique_ptr<x11_test::Child> child = session.run("prog_display_choice", {});
  std::string line;
  if (!child || !child->read_line(&line, x11_test::XSession::kTimeoutMs)) return "no answer";
  EXPECT_EQ(child->wait_exit(x11_test::XSession::kTimeoutMs), 0);
  return line;
}

}  // namespace

TEST(DisplayChoice, VariablePicksTheBackEndWhereADisplayIsPresent) {
  X11_SESSION_OR_SKIP(session);
  {
    DisplayVariable unset(nullptr);
    EXPECT_EQ(line_on_display(session), "window 0 x11");
  }
  {
    DisplayVariable headless("headless");
    EXPECT_EQ(line_on_display(session), "window 0 headless");
  }
  {
    DisplayVariable upper("X11");
    EXPECT_EQ(line_on_display(session), "window 0 x11");
  }
}

TEST(DisplayChoice, UnopenableOrUnknownBackEnds) {
  // X11 asked for with no display: initwindow fails with the error box on
  // standard error, and the process ends normally.
  {
    DisplayVariable x11("x11");
    kel_test::ChildResult r = kel_test::run_child(kel_test::test_program("display_choice"), {});
    EXPECT_EQ(r.exit_code, 2) << r.err;
    EXPECT_EQ(r.out, "no window none\n");
    EXPECT_NE(r.err.find("KEL_DISPLAY=x11: the display cannot be opened"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Error: "), std::string::npos) << r.err;
  }
  // A name no back end has: the default order, which here ends headless.
  {
    DisplayVariable bogus("vga");
    kel_test::ChildResult r = kel_test::run_child(kel_test::test_program("display_choice"), {});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "window 0 headless\n");
    EXPECT_NE(r.err.find("KEL_DISPLAY=vga: no such display back end"), std::string::npos) << r.err;
  }
}

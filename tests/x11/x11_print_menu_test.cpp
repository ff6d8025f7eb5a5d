// The system menu's save and print commands on a virtual X server, chosen
// with Alt+Space and the arrow keys, and the print dialog answered with the
// keyboard: it starts on the printer chosen before, and Escape cancels.
#include <gtest/gtest.h>

#if __has_include(<X11/Xlib.h>)

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "x11_session.h"

namespace {

using x11_test::Child;
using x11_test::XSession;

constexpr int kTimeout = XSession::kTimeoutMs;

// Move, Minimize, Close, a separator, then "Save image as..." and the print
// entries: the Down presses from Move to each command.
const std::vector<std::string> kToSave = {"Down", "Down", "Down"};
const std::vector<std::string> kToPrint2 = {"Down", "Down", "Down", "Down"};
const std::vector<std::string> kToPrint45 = {"Down", "Down", "Down", "Down", "Down"};
const std::vector<std::string> kToPrint7 = {"Down", "Down", "Down", "Down", "Down", "Down"};

// Opens the menu and, once it is there (the window thread may still be
// busy with the previous command), chooses the entry.
bool choose(XSession& session, Window window, std::vector<std::string> downs) {
  downs.push_back("Return");
  return session.wait_for_popups(0) && session.keys(window, {"alt+space"}) &&
         session.wait_for_popups(1) && session.keys(window, downs);
}

// Answers the print dialog that opens with `keys`; true once it has gone.
bool answer_print_dialog(XSession& session, const std::vector<std::string>& keys) {
  Window dialog = session.window_named("Print");
  if (!dialog || !session.keys(dialog, keys)) return false;
  for (int waited = 0; session.window_named("Print", 0) != 0; waited += 20) {
    if (waited > kTimeout) return false;
    usleep(20000);
  }
  return true;
}

TEST(X11PrintMenu, SaveAndPrintThroughTheSystemMenu) {
  X11_SESSION_OR_SKIP(session);
  char dir[] = "/tmp/kel_print_menu_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string save_name = std::string(dir) + "/shot";
  std::unique_ptr<Child> program = session.run("prog_print_menu", {save_name});
  ASSERT_TRUE(program && program->read_until("ready", nullptr, kTimeout));
  std::vector<Window> windows = session.windows_of(program->pid(), 1);
  ASSERT_EQ(windows.size(), 1u);
  Window window = windows[0];

  ASSERT_TRUE(choose(session, window, kToPrint2));
  ASSERT_TRUE(answer_print_dialog(session, {"Down", "Return"}));  // "draft"
  ASSERT_TRUE(choose(session, window, kToPrint45));
  ASSERT_TRUE(answer_print_dialog(session, {"Return"}));  // starts on "draft"
  ASSERT_TRUE(choose(session, window, kToPrint7));
  ASSERT_TRUE(answer_print_dialog(session, {"Escape"}));
  ASSERT_TRUE(choose(session, window, kToSave));
  ASSERT_TRUE(session.keys(window, {"q"}));

  std::vector<std::string> lines;
  ASSERT_TRUE(program->read_until("saved", &lines, kTimeout));
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "job draft StretchBlt 225 300 600 450 from 0 0 200 150 green",
                       "job draft StretchBlt 225 300 1350 1012 from 0 0 200 150 green",
                       "saved " + std::to_string(54 + 3 * 200 * 150)}));
  EXPECT_EQ(program->wait_exit(kTimeout), 7);
  std::remove((save_name + ".BMP").c_str());
  rmdir(dir);
}

}  // namespace

#endif  // __has_include(<X11/Xlib.h>)

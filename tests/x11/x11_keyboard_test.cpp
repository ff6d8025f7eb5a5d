// Keys typed with real input on a virtual X server reach getch as the
// keyboard table says: characters as bytes of the Western code page, special
// keys as 0 and their code, other keys not at all.
#include <gtest/gtest.h>

#if __has_include(<X11/Xlib.h>)

#include <string>
#include <vector>

#include "x11_session.h"

namespace {

using x11_test::XSession;

class X11Keyboard : public ::testing::Test {
 protected:
  // Starts the probe in key mode and returns its window.
  Window start_probe(XSession& session) {
    probe_ = session.run("prog_x11_probe", {"keys"});
    EXPECT_TRUE(probe_ && probe_->read_until("ready", nullptr, XSession::kTimeoutMs));
    if (!probe_) return 0;
    std::vector<Window> windows = session.windows_of(probe_->pid(), 1);
    EXPECT_EQ(windows.size(), 1u);
    return windows.empty() ? 0 : windows[0];
  }

  // The bytes getch returned up to the final 'q', which ends the probe.
  std::vector<int> bytes_until_quit() {
    std::vector<std::string> lines;
    EXPECT_TRUE(probe_->read_until("key 113", &lines, XSession::kTimeoutMs));
    std::vector<int> bytes;
    for (const auto& line : lines) bytes.push_back(std::stoi(line.substr(4)));
    EXPECT_EQ(probe_->wait_exit(XSession::kTimeoutMs), 7);
    return bytes;
  }

  std::unique_ptr<x11_test::Child> probe_;
};

TEST_F(X11Keyboard, SpecialKeysFollowTheKeyTable) {
  X11_SESSION_OR_SKIP(session);
  Window window = start_probe(session);
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(session.keys(
      window, {"a",      "Left",      "F1",    "F10",  "F11",      "F12",   "Delete", "Return",
               "Escape", "BackSpace", "Tab",   "Home", "End",      "Prior", "Next",   "Insert",
               "Up",     "Down",      "Right", "F9",   "KP_Begin", "q"}));
  std::vector<int> expected{97, 0, 75, 0, 59, 0, 83, 13, 27, 8, 9,  0, 71, 0, 79, 0,
                            73, 0, 81, 0, 82, 0, 72, 0,  80, 0, 77, 0, 67, 0, 76, 113};
  EXPECT_EQ(bytes_until_quit(), expected);
}

TEST_F(X11Keyboard, TypedTextKeepsCaseDigitsAndPunctuation) {
  X11_SESSION_OR_SKIP(session);
  Window window = start_probe(session);
  ASSERT_NE(window, 0u);
  const std::string text = "Hello, World 42!";
  ASSERT_TRUE(session.type_text(window, text));
  ASSERT_TRUE(session.keys(window, {"shift+a", "ctrl+c", "q"}));
  std::vector<int> expected(text.begin(), text.end());
  expected.insert(expected.end(), {'A', 3, 'q'});
  EXPECT_EQ(bytes_until_quit(), expected);
}

TEST_F(X11Keyboard, CharactersAbove127ComeBackNegative) {
  X11_SESSION_OR_SKIP(session);
  Window window = start_probe(session);
  ASSERT_NE(window, 0u);
  // e acute is 0xE9 in Latin-1 and the code page; the euro sign is 0x80,
  // which only the code page has.
  ASSERT_TRUE(session.keys(window, {"eacute", "EuroSign", "q"}));
  EXPECT_EQ(bytes_until_quit(), (std::vector<int>{-23, -128, 'q'}));
}

TEST_F(X11Keyboard, KeypadDigitsNeedNumLock) {
  X11_SESSION_OR_SKIP(session);
  Window window = start_probe(session);
  ASSERT_NE(window, 0u);
  // Without Num Lock the keypad navigates (7 is Home, 5 the centre key);
  // with it, the keypad types digits, which have no special code.
  ASSERT_TRUE(
      session.keys(window, {"KP_Home", "KP_Begin", "Num_Lock", "KP_7", "KP_5", "Num_Lock", "q"}));
  EXPECT_EQ(bytes_until_quit(), (std::vector<int>{0, 71, 0, 76, '7', '5', 'q'}));
}

TEST_F(X11Keyboard, ModifierKeysAloneTypeNothing) {
  X11_SESSION_OR_SKIP(session);
  Window window = start_probe(session);
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(
      session.keys(window, {"Shift_L", "Control_L", "Control_R", "Shift_R", "F24", "x", "q"}));
  EXPECT_EQ(bytes_until_quit(), (std::vector<int>{'x', 'q'}));
}

}  // namespace

#else

TEST(X11Keyboard, NeedsX11Headers) { GTEST_SKIP() << "built without X11 headers"; }

#endif

// Our own file chooser on a virtual X server, driven with real keys and
// clicks from xdotool. PATH holds no chooser tool, so the program draws its
// own window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file_chooser_test_support.h"
#include "platform.h"

namespace {

using chooser_test::ScratchDir;

class OwnChooserTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { session_ = new x11_test::XSession(); }
  static void TearDownTestSuite() {
    delete session_;
    session_ = nullptr;
  }

  void SetUp() override {
    if (!session_->ready()) GTEST_SKIP() << session_->skip_reason();
    ASSERT_FALSE(files_.path().empty());
    ASSERT_FALSE(empty_path_.path().empty());
  }

  // Starts the dialog in the scratch directory with the bitmap filter and
  // returns its window (0 when none appeared).
  Window open_dialog(const std::string& mode, DWORD flags, const std::string& title = "-") {
    child_ = chooser_test::start_dialog(
        {mode, std::to_string(flags), "260", title, files_.path(), "Bitmaps", "*.BMP"},
        empty_path_.path(), session_->name());
    if (!child_) return 0;
    std::vector<Window> windows = session_->windows_of(child_->pid(), 1);
    return windows.empty() ? 0 : windows[0];
  }

  std::string answer() {
    std::string line = chooser_test::answer_of(*child_);
    EXPECT_EQ(child_->wait_exit(x11_test::XSession::kTimeoutMs), 0);
    return line;
  }

  bool keys(Window w, const std::vector<std::string>& names) { return session_->keys(w, names); }

  // A mapped top-level window with this name other than `except`; 0 when
  // none appears in time.
  Window other_window_named(const std::string& name, Window except) {
    auto start = x11_test::Clock::now();
    while (x11_test::elapsed_ms(start) < x11_test::XSession::kTimeoutMs) {
      Window root, parent, *children = nullptr;
      unsigned count = 0;
      Window found = 0;
      if (XQueryTree(session_->display(), session_->root(), &root, &parent, &children, &count))
        for (unsigned i = 0; i < count && !found; ++i)
          if (children[i] != except && session_->mapped(children[i]) &&
              session_->text_property(children[i]) == name)
            found = children[i];
      if (children) XFree(children);
      if (found) return found;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
  }

  static x11_test::XSession* session_;
  ScratchDir files_;
  ScratchDir empty_path_;
  std::unique_ptr<x11_test::Child> child_;
};

x11_test::XSession* OwnChooserTest::session_ = nullptr;

TEST_F(OwnChooserTest, TypedNameAndEnterIsTheAnswer) {
  Window w = open_dialog("save", OFN_PATHMUSTEXIST);
  ASSERT_NE(w, 0u);
  EXPECT_EQ(session_->text_property(w), "Save As");
  ASSERT_TRUE(session_->type_text(w, "new.bmp"));
  ASSERT_TRUE(keys(w, {"Return"}));
  std::string path = files_ / "new.bmp";
  EXPECT_EQ(answer(), "chosen " + path + " " + std::to_string(files_.path().size() + 1) + " " +
                          std::to_string(path.size() - 3));
}

TEST_F(OwnChooserTest, EscapeAndTheCloseButtonCancel) {
  Window w = open_dialog("open", 0, "Pick one");
  ASSERT_NE(w, 0u);
  EXPECT_EQ(session_->text_property(w), "Pick one");
  ASSERT_TRUE(session_->type_text(w, "x.bmp"));
  ASSERT_TRUE(keys(w, {"Escape"}));
  EXPECT_EQ(answer(), "cancelled");

  w = open_dialog("open", 0);
  ASSERT_NE(w, 0u);
  session_->send_delete_window(w);
  EXPECT_EQ(answer(), "cancelled");
}

TEST_F(OwnChooserTest, MissingFileIsRefusedWhenItMustExist) {
  files_.make_file("here.bmp");
  Window w = open_dialog("open", OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
  ASSERT_NE(w, 0u);
  ASSERT_TRUE(session_->type_text(w, "gone.bmp"));
  ASSERT_TRUE(keys(w, {"Return"}));
  // Still open: the name can be corrected and accepted.
  ASSERT_TRUE(session_->mapped(w));
  ASSERT_TRUE(keys(w, {"BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace",
                       "BackSpace", "BackSpace", "BackSpace"}));
  ASSERT_TRUE(session_->type_text(w, "here.bmp"));
  ASSERT_TRUE(keys(w, {"Return"}));
  std::string answer_line = answer();
  EXPECT_EQ(answer_line.substr(0, answer_line.find(' ', 7)), "chosen " + (files_ / "here.bmp"));
}

TEST_F(OwnChooserTest, ArrowKeysAndEnterWalkIntoFoldersAndPickFiles) {
  // Listed in "sub": "..", "deeper/", "a.bmp" ("notes.txt" is filtered out).
  files_.make_dir("sub/deeper");
  files_.make_file("sub/notes.txt");
  files_.make_file("sub/a.bmp");
  files_.make_file("top.bmp");
  Window w = open_dialog("open", OFN_FILEMUSTEXIST);
  ASSERT_NE(w, 0u);
  // Top level: "..", "sub/", "top.bmp".
  ASSERT_TRUE(keys(w, {"Down", "Down", "Return"}));
  ASSERT_TRUE(keys(w, {"Down", "Down", "Down", "Return"}));
  EXPECT_EQ(answer(), "chosen " + (files_ / "sub/a.bmp") + " " +
                          std::to_string(files_.path().size() + 5) + " " +
                          std::to_string(files_.path().size() + 7));
}

TEST_F(OwnChooserTest, TypedFolderNamesAreEnteredAndDotDotGoesBack) {
  files_.make_dir("one/two");
  Window w = open_dialog("save", 0);
  ASSERT_NE(w, 0u);
  ASSERT_TRUE(session_->type_text(w, "one"));
  ASSERT_TRUE(keys(w, {"Return"}));
  ASSERT_TRUE(session_->type_text(w, "two"));
  ASSERT_TRUE(keys(w, {"Return"}));
  ASSERT_TRUE(session_->type_text(w, ".."));
  ASSERT_TRUE(keys(w, {"Return"}));
  ASSERT_TRUE(session_->type_text(w, "f.bmp"));
  ASSERT_TRUE(keys(w, {"Return"}));
  std::string answer_line = answer();
  EXPECT_EQ(answer_line.substr(0, answer_line.find(' ', 7)), "chosen " + (files_ / "one/f.bmp"));
}

TEST_F(OwnChooserTest, OverwritingAnExistingFileIsAskedFirst) {
  files_.make_file("old.bmp");
  Window w = open_dialog("save", OFN_OVERWRITEPROMPT);
  ASSERT_NE(w, 0u);
  ASSERT_TRUE(session_->type_text(w, "old.bmp"));
  ASSERT_TRUE(keys(w, {"Return"}));
  Window box = other_window_named("Save As", w);
  ASSERT_NE(box, 0u);
  ASSERT_TRUE(keys(box, {"Right", "Return"}));  // No: the chooser stays open
  ASSERT_TRUE(keys(w, {"Return"}));
  box = other_window_named("Save As", w);
  ASSERT_NE(box, 0u);
  ASSERT_TRUE(keys(box, {"Return"}));  // Yes, the box's first button
  std::string answer_line = answer();
  EXPECT_EQ(answer_line.substr(0, answer_line.find(' ', 7)), "chosen " + (files_ / "old.bmp"));
}

TEST_F(OwnChooserTest, ClickingEntriesAndButtons) {
  files_.make_dir("inner");
  files_.make_file("inner/pic.bmp");
  Window w = open_dialog("open", OFN_FILEMUSTEXIST);
  ASSERT_NE(w, 0u);
  x11_test::Placement p = session_->placement(w);
  // The list starts below the folder's path; rows are a line of text apart
  // (the second row, "inner/", is well inside 30 pixels down the list).
  auto click = [&](int x, int y, int repeat) {
    return session_->pointer_to(p.x + x, p.y + y) &&
           session_->xdotool({"click", "--repeat", std::to_string(repeat), "--delay", "80", "1"});
  };
  ASSERT_TRUE(click(60, 52, 2));  // double click: enters "inner"
  ASSERT_TRUE(click(60, 52, 1));  // selects "pic.bmp", the second row there
  // OK, the left one of the two buttons at the bottom right.
  ASSERT_TRUE(click(p.width - 8 - 75 - 8 - 37, p.height - 8 - 11, 1));
  std::string answer_line = answer();
  EXPECT_EQ(answer_line.substr(0, answer_line.find(' ', 7)),
            "chosen " + (files_ / "inner/pic.bmp"));

  open_dialog("open", 0);
  p = session_->placement(w = session_->windows_of(child_->pid(), 1).at(0));
  ASSERT_TRUE(click(p.width - 8 - 37, p.height - 8 - 11, 1));  // Cancel
  EXPECT_EQ(answer(), "cancelled");
}

}  // namespace

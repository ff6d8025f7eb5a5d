// The open and save dialogs on an X display with a chooser tool on PATH:
// fake tools (shell scripts in a scratch directory that is the whole PATH)
// record the arguments they get and answer as the test tells them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file_chooser_test_support.h"
#include "platform.h"

namespace {

using chooser_test::read_file;
using chooser_test::ScratchDir;

// Records its arguments, one "[argument]" per line, in TOOL.args beside
// itself, prints the file "answer" if there is one and exits with the status
// in the file "status".
std::string fake_tool(const std::string& tool) {
  return "dir=${0%/*}\n"
         ": > \"$dir/" + tool + ".args\"\n"
         "for a in \"$@\"; do printf '[%s]\\n' \"$a\" >> \"$dir/" + tool + ".args\"; done\n"
         "[ -f \"$dir/answer\" ] && /bin/cat \"$dir/answer\"\n"
         "read status < \"$dir/status\"\n"
         "exit $status\n";
}

std::string bracketed(const std::vector<std::string>& args) {
  std::string out;
  for (const auto& a : args) out += "[" + a + "]\n";
  return out;
}

const std::string kOpenFlags = std::to_string(OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
const std::string kSaveFlags = std::to_string(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);

class ExternalChooserTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { session_ = new x11_test::XSession(); }
  static void TearDownTestSuite() {
    delete session_;
    session_ = nullptr;
  }

  void SetUp() override {
    if (!session_->ready()) GTEST_SKIP() << session_->skip_reason();
    ASSERT_FALSE(tools_.path().empty());
  }

  // Puts a fake tool on the (scratch) PATH that answers `answer` with `status`.
  void install(const std::string& tool, const std::string& answer, int status) {
    tools_.make_script(tool, fake_tool(tool));
    tools_.make_file("answer", answer);
    tools_.make_file("status", std::to_string(status) + "\n");
  }

  std::string run(const std::vector<std::string>& args) {
    auto child = chooser_test::start_dialog(args, tools_.path(), session_->name());
    if (!child) return "not started";
    std::string answer = chooser_test::answer_of(*child);
    EXPECT_EQ(child->wait_exit(x11_test::XSession::kTimeoutMs), 0);
    return answer;
  }

  std::string recorded(const std::string& tool) { return read_file(tools_ / (tool + ".args")); }

  static x11_test::XSession* session_;
  ScratchDir tools_;
};

x11_test::XSession* ExternalChooserTest::session_ = nullptr;

TEST_F(ExternalChooserTest, OpenDialogPassesFiltersInBothCasesAndReturnsThePath) {
  install("zenity", "/tmp/pics/cat.gif\n", 0);
  EXPECT_EQ(run({"open", kOpenFlags, "260", "-", "-", "Image files (*.bmp, *.gif)", "*.BMP;*.GIF",
                 "All files", "*"}),
            "chosen /tmp/pics/cat.gif 10 14");
  EXPECT_EQ(recorded("zenity"),
            bracketed({"--file-selection", "--title=Open",
                       "--file-filter=Image files (*.bmp, *.gif) | *.bmp *.BMP *.gif *.GIF",
                       "--file-filter=All files | *"}));
}

TEST_F(ExternalChooserTest, SaveDialogAsksTheToolToConfirmOverwriting) {
  install("zenity", "/home/me/out.bmp\n", 0);
  EXPECT_EQ(run({"save", kSaveFlags, "260", "Keep it", tools_.path(), "Bitmap files (*.bmp)",
                 "*.BMP"}),
            "chosen /home/me/out.bmp 9 13");
  EXPECT_EQ(recorded("zenity"),
            bracketed({"--file-selection", "--title=Keep it", "--save", "--confirm-overwrite",
                       "--filename=" + tools_.path() + "/",
                       "--file-filter=Bitmap files (*.bmp) | *.bmp *.BMP"}));

  // Without OFN_OVERWRITEPROMPT the tool is not asked to confirm.
  EXPECT_EQ(run({"save", "0", "260", "-", "-"}), "chosen /home/me/out.bmp 9 13");
  EXPECT_EQ(recorded("zenity"), bracketed({"--file-selection", "--title=Save As", "--save"}));
}

TEST_F(ExternalChooserTest, ToolExitingWithFailureCancelsWhateverItPrinted) {
  install("zenity", "/tmp/half-chosen.bmp\n", 1);
  EXPECT_EQ(run({"open", kOpenFlags, "260", "-", "-"}), "cancelled");
  install("zenity", "", 0);
  EXPECT_EQ(run({"open", kOpenFlags, "260", "-", "-"}), "cancelled");
}

TEST_F(ExternalChooserTest, PathLongerThanTheBufferIsRefusedNotCut) {
  const std::string path = "/tmp/a/rather/long/path.bmp";  // 27 bytes
  install("zenity", path + "\n", 0);
  EXPECT_EQ(run({"open", kOpenFlags, "27", "-", "-"}), "cancelled");
  EXPECT_EQ(run({"open", kOpenFlags, "28", "-", "-"}), "chosen " + path + " 19 24");
}

TEST_F(ExternalChooserTest, HostileTitleAndFilterReachTheToolAsPlainArguments) {
  install("zenity", "/tmp/x.bmp\n", 0);
  const std::string title = "$(touch " + (tools_ / "injected") + "); echo `id` | x";
  const std::string description = "Pics; touch " + (tools_ / "injected2") + " | more";
  EXPECT_EQ(run({"open", "0", "260", title, "-", description, "*.$(id);*.`id`"}),
            "chosen /tmp/x.bmp 5 7");
  EXPECT_EQ(recorded("zenity"),
            bracketed({"--file-selection", "--title=" + title,
                       "--file-filter=Pics; touch " + (tools_ / "injected2") +
                           " / more | *.$(id) *.$(ID) *.`id` *.`ID`"}));
  EXPECT_FALSE(std::filesystem::exists(tools_ / "injected"));
  EXPECT_FALSE(std::filesystem::exists(tools_ / "injected2"));
}

TEST_F(ExternalChooserTest, SecondToolIsUsedWhenTheFirstIsMissing) {
  install("kdialog", "/srv/pic.jpg\n", 0);
  EXPECT_EQ(run({"open", kOpenFlags, "260", "-", tools_.path(), "Bitmaps", "*.BMP", "Photos",
                 "*.jpg"}),
            "chosen /srv/pic.jpg 5 9");
  EXPECT_EQ(recorded("kdialog"),
            bracketed({"--title", "Open", "--getopenfilename", tools_.path() + "/",
                       "*.bmp *.BMP|Bitmaps\n*.jpg *.JPG|Photos"}));
  install("kdialog", "", 1);
  EXPECT_EQ(run({"save", kSaveFlags, "260", "-", "-"}), "cancelled");
  EXPECT_NE(recorded("kdialog").find("[--getsavefilename]"), std::string::npos);
}

// Without a display there is no one to ask: the tool is never started.
TEST(HeadlessChooserTest, NoDisplayCancelsWithoutRunningTheTool) {
  ScratchDir tools;
  tools.make_script("zenity", fake_tool("zenity"));
  tools.make_file("answer", "/tmp/x.bmp\n");
  tools.make_file("status", "0\n");
  auto child = chooser_test::start_dialog({"open", "0", "260", "-", "-"}, tools.path(), "");
  ASSERT_TRUE(child);
  EXPECT_EQ(chooser_test::answer_of(*child), "cancelled");
  EXPECT_EQ(child->wait_exit(x11_test::XSession::kTimeoutMs), 0);
  EXPECT_FALSE(std::filesystem::exists(tools / "zenity.args"));
}

}  // namespace

// The common dialogs: a test's answer through the testing interface, the
// headless answer (cancelled) otherwise, and harmless answers to bad records.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform_testing.h"

namespace {

struct Dialog {
  OPENFILENAMEA ofn{};
  char name[32] = {};
  Dialog() {
    ofn.lStructSize = sizeof(OPENFILENAMEA);
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name;
  }
};

// Answers every dialog with `answer` (or cancels when it is null) and
// remembers which kind was asked.
class Answering {
 public:
  explicit Answering(const char* answer) {
    kelplat::testing::set_file_dialog_handler([this, answer](OPENFILENAMEA* ofn, bool save) {
      ++calls;
      last_was_save = save;
      if (!answer) return false;
      std::strncpy(ofn->lpstrFile, answer, ofn->nMaxFile);
      return true;
    });
  }
  ~Answering() { kelplat::testing::set_file_dialog_handler(nullptr); }
  int calls = 0;
  bool last_was_save = false;
};

}  // namespace

TEST(FileDialogs, WithoutATestAnswerTheHeadlessDialogsAreCancelled) {
  Dialog d;
  EXPECT_FALSE(GetOpenFileNameA(&d.ofn));
  EXPECT_FALSE(GetSaveFileNameA(&d.ofn));
  EXPECT_STREQ(d.name, "");
  // The headless print dialog answers with the default printer; with no
  // printer at all it fails.
  kelplat::testing::set_virtual_printers({}, "");
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  EXPECT_FALSE(PrintDlgA(&pd));
  kelplat::testing::use_system_printers();
}

TEST(FileDialogs, TheTestAnswerFillsTheNameAndItsParts) {
  Answering answering("/tmp/some.dir/pic.bmp");
  Dialog d;
  ASSERT_TRUE(GetSaveFileNameA(&d.ofn));
  EXPECT_TRUE(answering.last_was_save);
  EXPECT_STREQ(d.name, "/tmp/some.dir/pic.bmp");
  EXPECT_EQ(d.ofn.nFileOffset, 14);
  EXPECT_EQ(d.ofn.nFileExtension, 18);
  ASSERT_TRUE(GetOpenFileNameA(&d.ofn));
  EXPECT_FALSE(answering.last_was_save);
  EXPECT_EQ(answering.calls, 2);

  Answering cancelling(nullptr);
  EXPECT_FALSE(GetOpenFileNameA(&d.ofn));
  EXPECT_EQ(cancelling.calls, 1);
}

TEST(FileDialogs, BadRecordsAreRefusedWithoutAskingAnyone) {
  Answering answering("x");
  EXPECT_FALSE(GetOpenFileNameA(nullptr));
  Dialog small;
  small.ofn.lStructSize = 12;
  EXPECT_FALSE(GetSaveFileNameA(&small.ofn));
  Dialog no_buffer;
  no_buffer.ofn.lpstrFile = nullptr;
  EXPECT_FALSE(GetOpenFileNameA(&no_buffer.ofn));
  EXPECT_EQ(answering.calls, 0);

  // An answer that fills the whole buffer still comes back terminated.
  Answering long_answer("a-name-much-longer-than-the-thirty-two-byte-buffer");
  Dialog d;
  ASSERT_TRUE(GetOpenFileNameA(&d.ofn));
  EXPECT_EQ(std::strlen(d.name), sizeof d.name - 1);
}

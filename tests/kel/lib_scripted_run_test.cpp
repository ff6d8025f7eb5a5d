// Scripted headless runs of whole programs: KEL_SCRIPT delivers one event
// each time the program waits for input, and KEL_SNAPSHOT saves the picture.
#include <cstdio>

#include "lib_test_support.h"

using namespace kel_test;

namespace {

std::string file_start(const std::string& path, size_t count) {
  std::string text(count, '\0');
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return "";
  text.resize(std::fread(&text[0], 1, count, file));
  std::fclose(file);
  return text;
}

TEST(ScriptedRun, EventsArriveInOrderAndAnEndedScriptEndsTheWait) {
  std::string picture = testing::TempDir() + "kel_scripted_run.bmp";
  std::remove(picture.c_str());
  ChildResult r = run_child(
      test_program("scripted_input"), {}, 30,
      {"KEL_SCRIPT=a A + bogus ENTER wait:-1 click:5,6 click:1,2,3 UP down:b up:b",
       "KEL_SNAPSHOT=" + picture});
  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.exit_code, 3);
  // Keys type what the key-down message derives (a key going down types
  // once); other characters come alone.
  EXPECT_EQ(r.out, "key 97\nkey 65\nkey 43\nkey 13\nclick 5,6\nkey 0\nkey 72\nkey 98\n");
  EXPECT_NE(r.err.find("no such event \"bogus\""), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("no such event \"wait:-1\""), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("no such event \"click:1,2,3\""), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("input script has ended"), std::string::npos) << r.err;
  EXPECT_EQ(file_start(picture, 2), "BM");
  std::remove(picture.c_str());
}

TEST(ScriptedRun, WithoutAScriptNothingIsDeliveredOrSaved) {
  ChildResult r = run_child(test_program("scripted_input"), {}, 2, {"KEL_SCRIPT", "KEL_SNAPSHOT="});
  EXPECT_TRUE(r.timed_out);  // still waiting for a key
  EXPECT_EQ(r.out, "");
}

}  // namespace

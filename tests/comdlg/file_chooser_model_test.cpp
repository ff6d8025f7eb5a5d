// The file chooser's rules without a display: filters and wildcards, the
// request read from OPENFILENAMEA, the chosen path stored back, the tools'
// arguments, and our own chooser's listing, navigation and checks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "file_chooser_test_support.h"
#include "platform.h"
#include "platform/comdlg/file_chooser_external.h"
#include "platform/comdlg/file_chooser_model.h"
#include "platform/comdlg/file_chooser_request.h"

namespace {

using namespace kelplat::comdlg;
using chooser_test::ScratchDir;
using Outcome = ChooserModel::Outcome;

const char kImageFilter[] =
    "Image files (*.bmp, *.gif)\0*.BMP;*.GIF\0All files\0 * ; ;\0";

TEST(ChooserFilterTest, PairsAreSplitIntoDescriptionsAndTrimmedPatterns) {
  std::vector<FileFilter> filters = parse_filters(kImageFilter);
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].description, "Image files (*.bmp, *.gif)");
  EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.BMP", "*.GIF"}));
  EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*"}));
  EXPECT_TRUE(parse_filters(nullptr).empty());
  EXPECT_TRUE(parse_filters("\0").empty());
  // A description without its patterns is not a filter.
  EXPECT_TRUE(parse_filters("Lonely\0").empty());
}

TEST(ChooserFilterTest, WildcardsMatchIgnoringCase) {
  EXPECT_TRUE(matches_pattern("photo.bmp", "*.BMP"));
  EXPECT_TRUE(matches_pattern("PHOTO.Bmp", "*.bmp"));
  EXPECT_TRUE(matches_pattern("a.b.c.bmp", "*.bmp"));
  EXPECT_TRUE(matches_pattern("x1.gif", "x?.*"));
  EXPECT_TRUE(matches_pattern("", "*"));
  EXPECT_FALSE(matches_pattern("photo.bmpx", "*.bmp"));
  EXPECT_FALSE(matches_pattern("bmp", "*.bmp"));
  EXPECT_FALSE(matches_pattern("x.gif", "x?.*"));
  EXPECT_TRUE(matches_any("any.thing", {}));
  EXPECT_TRUE(matches_any("b.GIF", {"*.bmp", "*.gif"}));
  EXPECT_FALSE(matches_any("b.jpg", {"*.bmp", "*.gif"}));
  // A long hostile name against many stars stays quick and right.
  EXPECT_FALSE(matches_pattern(std::string(5000, 'a'), "*a*a*a*a*a*b"));
}

TEST(ChooserFilterTest, PatternsAreGivenInBothCases) {
  EXPECT_EQ(pattern_case_forms("*.BMP"), (std::vector<std::string>{"*.bmp", "*.BMP"}));
  EXPECT_EQ(pattern_case_forms("*.Jpg"), (std::vector<std::string>{"*.jpg", "*.JPG", "*.Jpg"}));
  EXPECT_EQ(pattern_case_forms("*"), (std::vector<std::string>{"*"}));
}

OPENFILENAMEA dialog(char* buffer, DWORD size) {
  OPENFILENAMEA ofn;
  std::memset(&ofn, 0, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = size;
  return ofn;
}

TEST(ChooserRequestTest, RequestReadsTitleFilterIndexAndAnUnterminatedName) {
  char buffer[4] = {'a', 'b', 'c', 'd'};  // no NUL anywhere
  OPENFILENAMEA ofn = dialog(buffer, sizeof buffer);
  ofn.lpstrFilter = kImageFilter;
  ofn.nFilterIndex = 2;
  ofn.Flags = OFN_FILEMUSTEXIST;
  ChooserRequest request = make_request(ofn, false);
  EXPECT_EQ(request.title, "Open");
  EXPECT_EQ(request.initial_name, "abcd");
  EXPECT_EQ(request.active_filter, 1u);
  EXPECT_EQ(request.flags, DWORD(OFN_FILEMUSTEXIST));
  EXPECT_EQ(make_request(ofn, true).title, "Save As");
  ofn.nFilterIndex = 9;  // out of range: the first filter
  ofn.lpstrTitle = "Mine";
  request = make_request(ofn, true);
  EXPECT_EQ(request.active_filter, 0u);
  EXPECT_EQ(request.title, "Mine");
}

TEST(ChooserRequestTest, ChosenPathMustFitWithItsTerminator) {
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  OPENFILENAMEA ofn = dialog(buffer, sizeof buffer);
  EXPECT_FALSE(store_chosen_path(&ofn, "/a/b.bmp"));  // 8 bytes
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_FALSE(store_chosen_path(&ofn, ""));
  EXPECT_FALSE(store_chosen_path(&ofn, std::string("/a\0b", 4)));
  EXPECT_TRUE(store_chosen_path(&ofn, "/a/b.bm"));
  EXPECT_STREQ(buffer, "/a/b.bm");
}

TEST(ChooserToolArgumentsTest, ActiveFilterComesFirstAndEmptyOnesAreLeftOut) {
  ChooserRequest request;
  request.title = "Open";
  request.filters = {{"Pictures", {"*.BMP"}}, {"Nothing", {}}, {"Text", {"*.txt"}}};
  request.active_filter = 2;
  EXPECT_EQ(zenity_arguments(request),
            (std::vector<std::string>{"--file-selection", "--title=Open",
                                      "--file-filter=Text | *.txt *.TXT",
                                      "--file-filter=Pictures | *.bmp *.BMP"}));
  request.initial_dir = "/data";
  request.initial_name = "start.bmp";
  request.save = true;
  EXPECT_EQ(kdialog_arguments(request),
            (std::vector<std::string>{"--title", "Open", "--getsavefilename", "/data/start.bmp",
                                      "*.txt *.TXT|Text\n*.bmp *.BMP|Pictures"}));
}

TEST(ChooserListingTest, FoldersFirstThenMatchingFilesInCaseInsensitiveOrder) {
  ScratchDir dir;
  for (const char* d : {"beta", "Alpha", ".hidden"}) dir.make_dir(d);
  for (const char* f : {"z.BMP", "a.bmp", "Mid.bmp", "notes.txt", ".secret.bmp"}) dir.make_file(f);
  std::vector<DirectoryEntry> entries = list_directory(dir.path(), {"*.bmp"}, 100);
  std::vector<std::string> shown;
  for (const auto& e : entries) shown.push_back(e.name + (e.directory ? "/" : ""));
  EXPECT_EQ(shown, (std::vector<std::string>{"../", "Alpha/", "beta/", "a.bmp", "Mid.bmp",
                                             "z.BMP"}));
  EXPECT_EQ(list_directory(dir.path(), {}, 2).size(), 3u);  // ".." and two entries
  EXPECT_EQ(list_directory("/", {}, 100).front().name == "..", false);
  // An unreadable or missing folder lists only the way back.
  EXPECT_EQ(list_directory(dir / "missing", {}, 100).size(), 1u);
}

class ChooserModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    dir_.make_dir("sub");
    dir_.make_file("sub/inner.bmp");
    dir_.make_file("there.bmp");
    request_.initial_dir = dir_.path();
    request_.filters = {{"Bitmaps", {"*.BMP"}}};
  }
  void type(ChooserModel& model, const std::string& text) {
    for (char c : text) model.type(c);
  }

  ScratchDir dir_;
  ChooserRequest request_;
};

TEST_F(ChooserModelTest, SelectionWalksTheListAndEntersFolders) {
  ChooserModel model(request_);
  EXPECT_EQ(model.directory(), std::filesystem::canonical(dir_.path()).string());
  EXPECT_EQ(model.selected(), -1);
  model.move_selection(1);
  model.move_selection(1);
  EXPECT_EQ(model.entries()[size_t(model.selected())].name, "sub");
  EXPECT_EQ(model.name(), "");  // folders do not go into the name
  model.move_selection(5);      // clamped to the last entry, a file
  EXPECT_EQ(model.name(), "there.bmp");
  model.move_selection(-1);
  EXPECT_EQ(model.activate(), Outcome::kEntered);
  EXPECT_EQ(model.directory(), std::filesystem::canonical(dir_ / "sub").string());
  EXPECT_EQ(model.name(), "");
  EXPECT_EQ(model.activate_entry(0), Outcome::kEntered);  // ".."
  EXPECT_EQ(model.directory(), std::filesystem::canonical(dir_.path()).string());
}

TEST_F(ChooserModelTest, TypingAfterSelectingAFolderMakesTheNameCount) {
  ChooserModel model(request_);
  model.select(1);  // "sub"
  type(model, "new.bmp");
  EXPECT_EQ(model.activate(), Outcome::kAccepted);
  EXPECT_EQ(model.chosen_path(), std::filesystem::canonical(dir_.path()).string() + "/new.bmp");
  model.erase();
  EXPECT_EQ(model.name(), "new.bm");
}

TEST_F(ChooserModelTest, RulesOfTheRequestRefuseOrAskBeforeAccepting) {
  request_.flags = OFN_FILEMUSTEXIST;
  ChooserModel open(request_);
  EXPECT_EQ(open.activate(), Outcome::kNothing);
  type(open, "missing.bmp");
  EXPECT_EQ(open.activate(), Outcome::kRefused);
  EXPECT_NE(open.message().find("missing.bmp"), std::string::npos);
  open.type('x');
  EXPECT_EQ(open.message(), "");

  request_.flags = OFN_PATHMUSTEXIST;
  ChooserModel path(request_);
  type(path, "nowhere/x.bmp");
  EXPECT_EQ(path.activate(), Outcome::kRefused);

  request_.flags = OFN_OVERWRITEPROMPT;
  request_.save = true;
  ChooserModel save(request_);
  type(save, "there.bmp");
  EXPECT_EQ(save.activate(), Outcome::kConfirmOverwrite);
  EXPECT_EQ(save.accept(), Outcome::kAccepted);
  EXPECT_EQ(save.chosen_path(), std::filesystem::canonical(dir_ / "there.bmp").string());
  save.erase();
  EXPECT_EQ(save.activate(), Outcome::kAccepted);  // "there.bm" is new
}

TEST_F(ChooserModelTest, HugeNamesAreCappedAndMissingStartFallsBack) {
  ChooserModel model(request_);
  type(model, std::string(ChooserModel::kMaxNameLength + 100, 'n'));
  EXPECT_EQ(model.name().size(), ChooserModel::kMaxNameLength);
  request_.initial_dir = dir_ / "no/such/place";
  ChooserModel fallback(request_);
  EXPECT_EQ(fallback.directory(), std::filesystem::current_path().string());
}

}  // namespace

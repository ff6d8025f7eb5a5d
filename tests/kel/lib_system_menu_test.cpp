// The save and print commands of every window's system menu: its entries,
// and the commands posted as WM_SYSCOMMAND acting on the window whose menu
// was used, from what it shows.
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lib_test_support.h"

namespace {

using kel_test::handle_of;
using kel_test::open_window;
using kel_test::post;
using kel_test::settle;
using kelplat::testing::PrintedJob;

class SystemMenu : public ::testing::Test {
 protected:
  void TearDown() override {
    kelplat::testing::set_file_dialog_handler(nullptr);
    kelplat::testing::use_system_printers();
    if (!saved_.empty()) std::remove(saved_.c_str());
  }
  void install_printer() {
    kelplat::testing::VirtualPrinter laser;
    laser.name = "laser";
    laser.dpi_x = laser.dpi_y = 100;
    laser.width = 800;
    laser.height = 700;
    kelplat::testing::set_virtual_printers({laser}, "laser");
    kelplat::testing::take_printed_jobs();
  }
  // Window "Shown": a 200 x 150 window whose visual page 0 is green while
  // its active page 1 is blue; then another window becomes current.
  HWND open_two_pages() {
    int shown = open_window(200, 150, false, "Shown");
    setbkcolor(GREEN);
    cleardevice();
    setactivepage(1);
    setbkcolor(BLUE);
    cleardevice();
    open_window(50, 50, false, "Other");
    EXPECT_NE(getcurrentwindow(), shown);
    return handle_of(shown);
  }
  std::string saved_;
};

uint32_t shown_colour(int colour) { return kel_test::as_shown(COLORREF(converttorgb(colour))); }

TEST_F(SystemMenu, EndsWithTheSaveAndPrintCommands) {
  HMENU menu = GetSystemMenu(handle_of(open_window()), FALSE);
  ASSERT_NE(menu, nullptr);
  int count = GetMenuItemCount(menu);
  ASSERT_GE(count, 6);
  const char* texts[] = {"", "Save image as...", "Print 2\" wide...", "Print 4.5\" wide...",
                         "Print 7\" wide...", ""};
  const UINT ids[] = {0, 4, 1, 2, 3, 0};
  for (int i = 0; i < 6; ++i) {
    int position = count - 6 + i;
    char text[64] = {};
    GetMenuStringA(menu, UINT(position), text, int(sizeof text), MF_BYPOSITION);
    EXPECT_STREQ(text, texts[i]) << "entry " << position;
    EXPECT_EQ(GetMenuItemID(menu, position), ids[i]) << "entry " << position;
  }
}

TEST_F(SystemMenu, SaveImageWritesWhatThatWindowShows) {
  HWND shown = open_two_pages();
  char dir[] = "/tmp/kel_menu_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string chosen = std::string(dir) + "/shot";
  saved_ = chosen + ".BMP";
  bool asked_to_save = false;
  kelplat::testing::set_file_dialog_handler([&](OPENFILENAMEA* ofn, bool save) {
    asked_to_save = save;
    std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", chosen.c_str());
    return true;
  });
  post(shown, WM_SYSCOMMAND, 4, 0);
  ASSERT_TRUE(settle(shown));
  EXPECT_TRUE(asked_to_save);
  FILE* file = std::fopen(saved_.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  std::vector<unsigned char> bytes(54 + 3 * 200 * 150 + 1);
  size_t length = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  rmdir(dir);
  ASSERT_EQ(length, 54u + 3 * 200 * 150);
  uint32_t green = shown_colour(GREEN);
  EXPECT_EQ(bytes[54], green & 0xFF);  // blue, green, red of the bottom-left pixel
  EXPECT_EQ(bytes[55], (green >> 8) & 0xFF);
  EXPECT_EQ(bytes[56], (green >> 16) & 0xFF);
}

TEST_F(SystemMenu, PrintEntriesPrintThatWindowAtTheirWidths) {
  install_printer();
  HWND shown = open_two_pages();
  for (WPARAM command : {1, 2, 3}) post(shown, WM_SYSCOMMAND, command, 0);
  ASSERT_TRUE(settle(shown));
  std::vector<PrintedJob> jobs = kelplat::testing::take_printed_jobs();
  ASSERT_EQ(jobs.size(), 3u);
  const char* expected[] = {"StretchBlt 75 100 200 150 from 0 0 200 150",
                            "StretchBlt 75 100 450 337 from 0 0 200 150",
                            "StretchBlt 75 100 700 525 from 0 0 200 150"};
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_EQ(jobs[i].calls.size(), 6u);
    EXPECT_EQ(jobs[i].calls[2], "TextOutA 75 75 Shown");
    EXPECT_EQ(jobs[i].calls[3], expected[i]);
    EXPECT_EQ(jobs[i].pages.at(0).at(76, 101), shown_colour(GREEN));
  }
}

TEST_F(SystemMenu, PrintWithoutPrinterDoesNothing) {
  kelplat::testing::set_virtual_printers({}, "");
  kelplat::testing::take_printed_jobs();
  HWND shown = open_two_pages();
  post(shown, WM_SYSCOMMAND, 1, 0);
  post(shown, WM_SYSCOMMAND, 3, 0);
  ASSERT_TRUE(settle(shown));
  EXPECT_TRUE(kelplat::testing::take_printed_jobs().empty());
}

}  // namespace

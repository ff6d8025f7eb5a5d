// printimage on virtual printers: placement and scaling at equal and unequal
// resolutions, headings, the remembered printer, clamped rectangles, and
// what happens without a printer, after a cancelled dialog and when the
// spooler refuses.
#include <climits>
#include <string>
#include <vector>

#include "lib_test_support.h"

namespace {

using kel_test::open_window;
using kelplat::testing::PrintedJob;
using kelplat::testing::VirtualPrinter;

const uint32_t kWhite = 0xFFFFFF;
const uint32_t kBlack = 0x000000;

VirtualPrinter printer(const std::string& name, int dpi_x, int dpi_y) {
  VirtualPrinter p;
  p.name = name;
  p.dpi_x = dpi_x;
  p.dpi_y = dpi_y;
  p.width = 2000;
  p.height = 1800;
  return p;
}

class Printing : public ::testing::Test {
 protected:
  void SetUp() override { kelplat::testing::take_printed_jobs(); }
  void TearDown() override {
    kelplat::testing::set_print_dialog_handler(nullptr);
    kelplat::testing::use_system_printers();
  }
  void install(std::vector<VirtualPrinter> printers) {
    std::string first = printers.empty() ? "" : printers.front().name;
    kelplat::testing::set_virtual_printers(std::move(printers), first);
  }
  // A 640 x 480 window, black with its top-left quarter red.
  void open_sketch() {
    open_window(640, 480, false, "Sketch");
    setfillstyle(SOLID_FILL, RED);
    bar(0, 0, 320, 240);
  }
  PrintedJob only_job() {
    std::vector<PrintedJob> jobs = kelplat::testing::take_printed_jobs();
    EXPECT_EQ(jobs.size(), 1u);
    return jobs.empty() ? PrintedJob{} : jobs.front();
  }
};

// Is any pixel of the box (right and bottom exclusive) not white?
uint32_t red() { return kel_test::as_shown(COLORREF(converttorgb(RED))); }

bool inked(const kelplat::testing::PrintedPage& page, int left, int top, int right, int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (page.at(x, y) != kWhite) return true;
  return false;
}

TEST_F(Printing, PlacesHeadingAndImageAtEqualResolutions) {
  install({printer("laser", 600, 600)});
  open_sketch();
  printimage("Heading", 2.0, 0.75, 0.75, 0, 0, 639, 479, true, NULL);
  PrintedJob job = only_job();
  EXPECT_EQ(job.printer, "laser");
  EXPECT_EQ(job.document, "Windows KEL");
  EXPECT_TRUE(job.finished);
  EXPECT_EQ(job.calls, (std::vector<std::string>{"StartDocA Windows KEL", "StartPage",
                                                 "TextOutA 450 450 Heading",
                                                 "StretchBlt 450 600 1200 900 from 0 0 640 480",
                                                 "EndPage", "EndDoc"}));
  ASSERT_EQ(job.pages.size(), 1u);
  const auto& page = job.pages[0];
  // The red quarter scaled by 1.875: columns 450..1049, rows 600..1049.
  EXPECT_EQ(page.at(450, 600), red());
  EXPECT_EQ(page.at(1049, 1049), red());
  EXPECT_EQ(page.at(1050, 600), kBlack);
  EXPECT_EQ(page.at(1649, 1499), kBlack);
  EXPECT_EQ(page.at(1650, 1499), kWhite);
  EXPECT_EQ(page.at(1649, 1500), kWhite);
  EXPECT_EQ(page.at(449, 600), kWhite);
  // The heading's ink starts at its corner and stays above the image.
  EXPECT_TRUE(inked(page, 450, 450, 1050, 600));
  EXPECT_FALSE(inked(page, 0, 0, 2000, 450));
  EXPECT_FALSE(inked(page, 0, 450, 450, 600));
}

TEST_F(Printing, KeepsProportionsOnUnequalResolutions) {
  install({printer("draft", 600, 300)});
  open_sketch();
  printimage("Heading", 2.0, 0.75, 0.75, 0, 0, 639, 479, true, NULL);
  PrintedJob job = only_job();
  ASSERT_EQ(job.calls.size(), 6u);
  EXPECT_EQ(job.calls[2], "TextOutA 450 225 Heading");
  // sx = 1.875, sy = 0.9375: 1200 x 450 dots, 2 by 1.5 inches.
  EXPECT_EQ(job.calls[3], "StretchBlt 450 300 1200 450 from 0 0 640 480");
  const auto& page = job.pages.at(0);
  EXPECT_EQ(page.at(450, 300), red());
  EXPECT_EQ(page.at(1049, 524), red());
  EXPECT_EQ(page.at(1049, 525), kBlack);
  EXPECT_EQ(page.at(1649, 749), kBlack);
  EXPECT_EQ(page.at(1649, 750), kWhite);
}

TEST_F(Printing, HeadingIsTheTitleWhenNullAndNothingWhenEmpty) {
  install({printer("laser", 600, 600)});
  open_sketch();
  printimage(NULL, 2.0, 0.75, 0.75, 0, 0, 639, 479, true, NULL);
  printimage("", 2.0, 0.75, 0.75, 0, 0, 639, 479, true, NULL);
  std::vector<PrintedJob> jobs = kelplat::testing::take_printed_jobs();
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].calls.at(2), "TextOutA 450 450 Sketch");
  EXPECT_EQ(jobs[1].calls, (std::vector<std::string>{"StartDocA Windows KEL", "StartPage",
                                                     "StretchBlt 450 450 1200 900 from 0 0 640 480",
                                                     "EndPage", "EndDoc"}));
  EXPECT_FALSE(inked(jobs[1].pages.at(0), 0, 0, 2000, 450));
  EXPECT_EQ(jobs[1].pages.at(0).at(450, 450), red());
}

TEST_F(Printing, SecondCallStartsOnThePrinterChosenInTheFirst) {
  install({printer("first", 600, 600), printer("second", 300, 300)});
  open_sketch();
  std::vector<int> started_on;
  kelplat::testing::set_print_dialog_handler(
      [&](const std::vector<std::string>& printers, int initial) {
        EXPECT_EQ(printers, (std::vector<std::string>{"first", "second"}));
        started_on.push_back(initial);
        return started_on.size() == 1 ? 1 : initial;
      });
  printimage("a", 1.0, 0, 0, 0, 0, 9, 9, true, NULL);
  printimage("b", 1.0, 0, 0, 0, 0, 9, 9, true, NULL);
  ASSERT_EQ(started_on.size(), 2u);
  EXPECT_EQ(started_on[1], 1);
  std::vector<PrintedJob> jobs = kelplat::testing::take_printed_jobs();
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].printer, "second");
  EXPECT_EQ(jobs[1].printer, "second");
  EXPECT_EQ(jobs[1].calls.at(3), "StretchBlt 0 75 300 300 from 0 0 10 10");
}

TEST_F(Printing, RectangleIsClampedToTheWindow) {
  install({printer("laser", 600, 600)});
  open_window(200, 150, false, "Small");
  printimage("", 2.0, 0.75, 0.75, 0, 0, INT_MAX, INT_MAX, true, NULL);
  printimage("", 2.0, 0.75, 0.75, INT_MIN, 149, 19, INT_MIN, true, NULL);
  std::vector<PrintedJob> jobs = kelplat::testing::take_printed_jobs();
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].calls.at(2), "StretchBlt 450 450 1200 900 from 0 0 200 150");
  EXPECT_EQ(jobs[1].calls.at(2), "StretchBlt 450 450 1200 9000 from 0 0 20 150");
}

TEST_F(Printing, NoPrinterCancelOrRefusalPrintsNothing) {
  open_sketch();
  install({});
  printimage("Heading", 2.0, 0.75, 0.75, 0, 0, 639, 479, true, NULL);
  EXPECT_TRUE(kelplat::testing::take_printed_jobs().empty());

  install({printer("laser", 600, 600)});
  kelplat::testing::set_print_dialog_handler([](const std::vector<std::string>&, int) { return -1; });
  printimage("Heading", 2.0, 0.75, 0.75, 0, 0, 639, 479, true, NULL);
  EXPECT_TRUE(kelplat::testing::take_printed_jobs().empty());
  kelplat::testing::set_print_dialog_handler(nullptr);

  VirtualPrinter refusing = printer("busy", 600, 600);
  refusing.refuses = true;
  install({refusing});
  printimage("Heading", 2.0, 0.75, 0.75, 0, 0, 639, 479, true, NULL);
  PrintedJob job = only_job();
  EXPECT_EQ(job.calls, (std::vector<std::string>{"StartDocA Windows KEL"}));
  EXPECT_TRUE(job.pages.empty());

  // A handle that is no window of the library starts no document.
  install({printer("laser", 600, 600)});
  printimage("Heading", 2.0, 0.75, 0.75, 0, 0, 639, 479, true, reinterpret_cast<HWND>(0x5A5A5A));
  PrintedJob unused = only_job();
  EXPECT_TRUE(unused.calls.empty());
  EXPECT_TRUE(unused.pages.empty());
  // The page mutex was given back: the window still draws and shows.
  putpixel(5, 5, GREEN);
  EXPECT_EQ(getpixel(5, 5), GREEN);
  EXPECT_TRUE(kel_test::settle());
}

TEST_F(Printing, PrinterWithoutBitmapsGetsTheHeadingOnly) {
  VirtualPrinter text_only = printer("daisy wheel", 600, 600);
  text_only.bitmaps = false;
  install({text_only});
  open_sketch();
  printimage("Heading", 2.0, 0.75, 0.75, 0, 0, 639, 479, true, NULL);
  PrintedJob job = only_job();
  EXPECT_EQ(job.calls, (std::vector<std::string>{"StartDocA Windows KEL", "StartPage",
                                                 "TextOutA 450 450 Heading", "EndPage", "EndDoc"}));
  EXPECT_FALSE(inked(job.pages.at(0), 450, 600, 1650, 1500));
}

TEST_F(Printing, HostileWidthsDoNotOverflow) {
  install({printer("laser", 600, 600)});
  open_window(20, 10, false, "Tiny");
  printimage("", 1e300, 0.75, 0.75, 0, 0, 19, 9, true, NULL);
  printimage("", -2.0, 0.75, 0.75, 0, 0, 19, 9, true, NULL);
  std::vector<PrintedJob> jobs = kelplat::testing::take_printed_jobs();
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].calls.at(2), "StretchBlt 450 450 2147483647 2147483647 from 0 0 20 10");
  EXPECT_EQ(jobs[1].calls.at(2), "StretchBlt 450 450 -1200 -600 from 0 0 20 10");
  EXPECT_TRUE(jobs[0].finished);
}

}  // namespace

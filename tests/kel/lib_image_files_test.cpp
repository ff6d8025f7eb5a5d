// Image files: readimagefile draws every picture format into the current
// window; writeimagefile saves a rectangle of a window as a 24-bit BMP file,
// checked here by a reader of its own.
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "kel/dibutil.h"
#include "lib_test_support.h"
#include "picture_test_files.h"
#include "small_disk.h"

using namespace kel_test;
using picture_test::Image;

namespace {

const int kRed = int(RGB(255, 0, 0)), kBlue = int(RGB(0, 0, 255)), kBlack = 0;

// Reads a 24-bit BMP file on its own (not with the library) and gives its
// header fields in one line, then the colour (rrggbb) at each point "x,y".
std::vector<std::string> read_bmp(const std::string& path, const std::vector<std::string>& points) {
  std::vector<uint8_t> d = picture_test::read_file(path);
  if (d.size() < 54) return {"short file"};
  auto u16 = [&](size_t at) { return unsigned(d[at] | d[at + 1] << 8); };
  auto u32 = [&](size_t at) { return uint32_t(u16(at) | u16(at + 2) << 16); };
  std::ostringstream header;
  header << d.size() << ' ' << u16(0) << ' ' << u32(2) << ' ' << u32(10);
  const size_t fields[] = {14, 18, 22, 26, 28, 30, 34, 38, 42, 46, 50};
  const size_t sizes[] = {4, 4, 4, 2, 2, 4, 4, 4, 4, 4, 4};
  for (size_t i = 0; i < 11; ++i)
    header << ' ' << (sizes[i] == 2 ? int32_t(u16(fields[i])) : int32_t(u32(fields[i])));
  std::vector<std::string> out = {header.str()};
  const int32_t width = int32_t(u32(18)), height = int32_t(u32(22));
  const size_t row = (size_t(width) * 3 + 3) / 4 * 4;
  for (const std::string& point : points) {
    int x = 0, y = 0;
    std::sscanf(point.c_str(), "%d,%d", &x, &y);
    size_t at = u32(10) + size_t(height - 1 - y) * row + 3 * size_t(x);
    char colour[8] = "";
    if (at + 2 < d.size()) std::snprintf(colour, sizeof colour, "%02x%02x%02x", d[at + 2], d[at + 1], d[at]);
    out.push_back(colour);
  }
  return out;
}

std::string hex(int colour_value) {
  COLORREF c = COLORREF(converttorgb(colour_value));
  char text[8];
  std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

class ImageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = make_temp_folder("kel_image_files_");
    open_window(kWidth, kHeight);
  }
  void TearDown() override {
    kelplat::testing::set_file_dialog_handler(nullptr);
    remove_folder(dir_);
  }
  std::string path(const char* name) const { return dir_ + "/" + name; }
  // Answers the next dialogs with `answer` (cancels when empty) and keeps a
  // copy of the record and the filter the library passed.
  void answer_dialogs(const std::string& answer) {
    kelplat::testing::set_file_dialog_handler([this, answer](OPENFILENAMEA* ofn, bool save) {
      asked_ = *ofn;
      asked_save_ = save;
      asked_name_ = ofn->lpstrFile;
      const char* f = ofn->lpstrFilter;
      filter_.clear();
      while (f && (*f || f[1])) filter_ += *f++;
      if (answer.empty()) return false;
      std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", answer.c_str());
      return true;
    });
  }
  int colour_at(int x, int y) { return converttorgb(getpixel(x, y)); }

  static const int kWidth = 240;
  static const int kHeight = 220;
  std::string dir_;
  OPENFILENAMEA asked_{};
  bool asked_save_ = false;
  std::string asked_name_ = "not asked";
  std::string filter_;
};

// 8 x 8: left half red, right half blue.
Image halves() {
  Image image(8, 8, 0xFFFF0000);
  for (int y = 0; y < 8; ++y)
    for (int x = 4; x < 8; ++x) image.at(x, y) = 0xFF0000FF;
  return image;
}

// A picture of tests/data/pictures (its README says what each shows).
std::string sample_path(const char* name) { return std::string(KEL_TESTDATA_DIR) + "/pictures/" + name; }
std::vector<uint8_t> sample(const char* name) { return picture_test::read_file(sample_path(name)); }

bool close_to(int colour, int want, int tolerance = 24) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(((colour >> shift) & 0xFF) - ((want >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

}  // namespace

TEST_F(ImageFiles, EveryPictureFormatIsDrawnStretchedToTheRectangle) {
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } files[] = {
      {"p.bmp", picture_test::bmp_24(halves())},
      {"p.png", sample("halves.png")},
      {"p.jpg", sample("halves.jpg")},
      {"p.gif", sample("halves.gif")},
      {"p.ico", picture_test::icon_file({{8, 8, 32, picture_test::icon_dib_32(halves(), std::vector<bool>(64))}})},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    ASSERT_TRUE(picture_test::write_file(path(f.name), f.bytes));
    cleardevice();
    readimagefile(path(f.name).c_str(), 10, 20, 89, 59);  // 80 x 40
    // The system's JPEG decoder on Windows may blend the colour planes,
    // stored at half resolution, across the sharp red-blue edge: up to 48
    // off rather than 24.
    const int tolerance = KEL__SystemGdi && std::string(f.name) == "p.jpg" ? 48 : 24;
    EXPECT_TRUE(close_to(colour_at(12, 22), kRed, tolerance));
    EXPECT_TRUE(close_to(colour_at(25, 40), kRed, tolerance));
    EXPECT_TRUE(close_to(colour_at(75, 40), kBlue, tolerance));
    EXPECT_TRUE(close_to(colour_at(89, 59), kBlue, tolerance));
    EXPECT_EQ(colour_at(90, 40), kBlack);
    EXPECT_EQ(colour_at(50, 60), kBlack);
    EXPECT_EQ(colour_at(9, 40), kBlack);
  }
}

TEST_F(ImageFiles, RecordedMetafilesShowTheirShapes) {
  for (const char* name : {"shapes.emf", "shapes.wmf"}) {
    SCOPED_TRACE(name);
    setbkcolor(WHITE);
    cleardevice();
    std::string file = sample_path(name);
    readimagefile(file.c_str(), 0, 0, 199, 199);
    EXPECT_EQ(colour_at(50, 50), kRed);
    EXPECT_EQ(colour_at(150, 150), kBlue);
    EXPECT_EQ(colour_at(50, 150), int(RGB(255, 255, 255)));
    EXPECT_EQ(colour_at(150, 50), int(RGB(255, 255, 255)));
    EXPECT_EQ(colour_at(50, 199), int(RGB(0, 255, 0)));
  }
}

TEST_F(ImageFiles, CornersInAnyOrderAndOnePixel) {
  ASSERT_TRUE(picture_test::write_file(path("p.bmp"), picture_test::bmp_24(halves())));
  // Right before left: the rectangle still starts at (left, top).
  readimagefile(path("p.bmp").c_str(), 100, 100, 61, 61);
  EXPECT_EQ(colour_at(101, 101), kRed);
  EXPECT_EQ(colour_at(138, 138), kBlue);
  EXPECT_EQ(colour_at(80, 80), kBlack);
  // left = right, top = bottom: the whole picture shrunk to one pixel.
  readimagefile(path("p.bmp").c_str(), 5, 5, 5, 5);
  EXPECT_EQ(colour_at(5, 5), int(RGB(128, 0, 128)));
  EXPECT_EQ(colour_at(6, 5), kBlack);
  // The default rectangle reaches the largest coordinates: the page shows
  // the picture's top-left corner, enlarged.
  readimagefile(path("p.bmp").c_str());
  EXPECT_EQ(colour_at(0, 0), kRed);
  EXPECT_EQ(colour_at(kWidth - 1, kHeight - 1), kRed);
}

TEST_F(ImageFiles, ReadingDrawsInTheViewportAndRefreshesTheWholeWindow) {
  ASSERT_TRUE(picture_test::write_file(path("p.png"), sample("halves.png")));
  setviewport(50, 50, 99, 99, 1);
  HeldPainting held;
  readimagefile(path("p.png").c_str(), 0, 0, 79, 79);  // clipped at 50 x 50
  EXPECT_RECT((RECT{0, 0, kWidth, kHeight}), held.take());
  setviewport(0, 0, kWidth - 1, kHeight - 1, 1);
  EXPECT_EQ(colour_at(50, 50), kRed);
  EXPECT_EQ(colour_at(89, 89), kRed);
  EXPECT_EQ(colour_at(95, 95), kBlue);  // the clip cuts the blue half short
  EXPECT_EQ(colour_at(100, 60), kBlack);
  EXPECT_EQ(colour_at(60, 100), kBlack);
}

TEST_F(ImageFiles, TheOpenDialogAsksAndACancelOrABadFileDrawsNothing) {
  ASSERT_TRUE(picture_test::write_file(path("p.gif"), sample("red_dot.gif")));
  answer_dialogs(path("p.gif"));
  readimagefile(nullptr, 0, 0, 9, 9);
  EXPECT_EQ(colour_at(5, 5), kRed);
  EXPECT_FALSE(asked_save_);
  EXPECT_EQ(asked_.lStructSize, sizeof(OPENFILENAMEA));
  EXPECT_EQ(asked_.Flags, 0x1800u);
  EXPECT_EQ(asked_.nMaxFile, 261u);
  EXPECT_EQ(asked_.hwndOwner, nullptr);
  EXPECT_EQ(asked_.lpstrTitle, nullptr);
  EXPECT_EQ(asked_name_, "");
  EXPECT_EQ(filter_, std::string("Image files (*.bmp, *.gif, *.jpg, *.ico, *.emf, *.wmf)\0"
                                 "*.BMP;*.GIF;*.JPG;*.ICO;*.EMF;*.WMF",
                                 90));

  int boxes = 0;
  kelplat::testing::set_message_box_handler([&](const std::string&, const std::string&, UINT) {
    ++boxes;
    return IDOK;
  });
  cleardevice();
  answer_dialogs("");
  readimagefile(nullptr, 0, 0, 9, 9);
  readimagefile(path("missing.bmp").c_str(), 0, 0, 9, 9);
  ASSERT_TRUE(picture_test::write_file(path("junk.bmp"), {'B', 'M', 1, 2, 3}));
  readimagefile(path("junk.bmp").c_str(), 0, 0, 9, 9);
  kelplat::testing::set_message_box_handler(nullptr);
  EXPECT_EQ(colour_at(5, 5), kBlack);
  EXPECT_EQ(boxes, 0);
}

TEST_F(ImageFiles, SavingTheWholePageWritesA24BitFile) {
  initwindow(640, 480, "save", 0, 0, false, false);
  setfillstyle(SOLID_FILL, RED);
  bar(0, 0, 9, 9);
  putpixel(639, 479, COLOR(1, 2, 3));
  std::string file = path("whole.bmp");
  writeimagefile(file.c_str(), 0, 0, INT_MAX, INT_MAX);
  std::vector<std::string> out = read_bmp(file, {"0,0", "639,479", "320,240"});
  ASSERT_EQ(out.size(), 4u);
  const unsigned bytes = 54 + 3 * 640 * 480;
  // Length, "BM", bfSize, bfOffBits, then biSize, width, height, planes,
  // bit count, compression, biSizeImage, resolutions, colours used and
  // important.
  std::ostringstream header;
  header << bytes << " 19778 " << bytes << " 54 40 640 480 1 24 0 " << 3 * 640 * 480 << " 0 0 0 0";
  EXPECT_EQ(out[0], header.str());
  EXPECT_EQ(out[1], hex(RED));
  EXPECT_EQ(out[2], "010203");
  EXPECT_EQ(out[3], "000000");
}

TEST_F(ImageFiles, RowsArePaddedAndRectanglesAreClampedToTheWindow) {
  putpixel(200, 5, COLOR(10, 20, 30));
  putpixel(239, 5, COLOR(40, 50, 60));
  // Three pixels wide: 9 bytes of pixels in 12-byte rows.
  std::string narrow = path("narrow.bmp");
  writeimagefile(narrow.c_str(), 200, 5, 202, 6);
  std::vector<std::string> out = read_bmp(narrow, {"0,0"});
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], "78 19778 78 54 40 3 2 1 24 0 24 0 0 0 0");
  EXPECT_EQ(out[1], "0a141e");
  // Right before left and past the window: the area from the clamped left
  // (239) to the clamped right (239) is one column, from x = 239.
  std::string clamped = path("clamped.bmp");
  writeimagefile(clamped.c_str(), 5000, 5, 239, 5);
  out = read_bmp(clamped, {"0,0"});
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].substr(0, 20), "58 19778 58 54 40 1 ");
  EXPECT_EQ(out[1], "28323c");
  // Negative corners clamp to 0; a reversed rectangle extends to the right.
  std::string reversed = path("reversed.bmp");
  writeimagefile(reversed.c_str(), 200, -7, 100, 5);
  out = read_bmp(reversed, {"0,5"});
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].substr(0, 27), "1878 19778 1878 54 40 101 6");
  EXPECT_EQ(out[1], "0a141e");
}

TEST_F(ImageFiles, TheSaveDialogNameIsCompletedWithBmp) {
  putpixel(0, 0, COLOR(9, 8, 7));
  const struct {
    const char* chosen;
    const char* written;
  } names[] = {{"shot", "shot.BMP"}, {"a.b", "a.b.BMP"}, {"x.jpeg", "x.jpeg.BMP"}, {"pic.png", "pic.png"}};
  for (const auto& n : names) {
    SCOPED_TRACE(n.chosen);
    answer_dialogs(path(n.chosen));
    writeimagefile(nullptr, 0, 0, 0, 0);
    std::vector<std::string> out = read_bmp(path(n.written), {"0,0"});
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1], "090807");
    EXPECT_TRUE(asked_save_);
    EXPECT_EQ(asked_.Flags, 0x8806u);
    EXPECT_EQ(asked_.nMaxFile, 261u);
    EXPECT_EQ(asked_.lStructSize, sizeof(OPENFILENAMEA));
    EXPECT_EQ(filter_, std::string("Bitmap files (*.bmp)\0*.BMP", 26));
  }
  // Cancelled: nothing is written.
  answer_dialogs("");
  writeimagefile();
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                          std::filesystem::directory_iterator()),
            4);
}

TEST_F(ImageFiles, TheVisualOrActivePageOfAnyWindowIsSaved) {
  setactivepage(1);
  setbkcolor(BLUE);
  cleardevice();
  std::string active = path("active.bmp"), visual = path("visual.bmp");
  writeimagefile(active.c_str(), 0, 0, 0, 0, true);
  writeimagefile(visual.c_str(), 0, 0, 0, 0, false);
  EXPECT_EQ(read_bmp(active, {"0,0"}).back(), hex(BLUE));
  EXPECT_EQ(read_bmp(visual, {"0,0"}).back(), "000000");

  // A window that is not the current one, named by its handle.
  HWND first = current_handle();
  open_window(50, 40);
  std::string other = path("other.bmp");
  writeimagefile(other.c_str(), 0, 0, INT_MAX, INT_MAX, true, first);
  std::string expected = std::to_string(54 + 720 * 220) + " 19778 ";
  EXPECT_EQ(read_bmp(other, {}).front().substr(0, expected.size()), expected);
}

// A handle that is no live window of the library is ignored: nothing is
// written and nothing crashes.
TEST_F(ImageFiles, AForeignWindowHandleIsIgnored) {
  std::string file = path("foreign.bmp");
  writeimagefile(file.c_str(), 0, 0, 10, 10, true, reinterpret_cast<HWND>(0x5A5A5A));
  HWND closed = current_handle();
  open_window(30, 30);
  closegraph(getcurrentwindow() - 1);
  writeimagefile(file.c_str(), 0, 0, 10, 10, true, closed);
  EXPECT_FALSE(file_exists(file));
  EXPECT_EQ(graphresult(), grOk);
}

// On a full disk the old file survives whole, the failure is reported
// (SaveDIB's code, graphresult for writeimagefile) and no temporary file
// is left behind.
TEST_F(ImageFiles, AFullDiskKeepsTheOldFileAndReportsTheFailure) {
  SmallDisk disk(96 * 1024);
  if (!disk.ready()) GTEST_SKIP() << disk.reason();
  std::string target = disk.path("picture.bmp");
  setfillstyle(SOLID_FILL, RED);
  bar(0, 0, 9, 9);
  writeimagefile(target.c_str(), 0, 0, 9, 9);
  ASSERT_EQ(graphresult(), grOk);
  const std::string good = SmallDisk::read(target);
  ASSERT_EQ(good.size(), 54u + 32 * 10);  // rows of 30 bytes padded to 32

  disk.fill();
  writeimagefile(target.c_str(), 0, 0, INT_MAX, INT_MAX);
  EXPECT_EQ(graphresult(), grIOerror);
  EXPECT_EQ(graphresult(), grOk);
  EXPECT_EQ(SmallDisk::read(target), good);

  HANDLE dib = BitmapToDIB(static_cast<HBITMAP>(GetCurrentObject(
                               KEL__GetWindowDataPtr()->hDC[0], OBJ_BITMAP)),
                           nullptr);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(SaveDIB(dib, target.c_str()), 4);
  DestroyDIB(dib);
  EXPECT_EQ(SmallDisk::read(target), good);
  EXPECT_EQ(disk.names(), std::vector<std::string>{"picture.bmp"});
}

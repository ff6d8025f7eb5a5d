// Printing through a real CUPS scheduler: a window printed with printimage
// arrives at the queue as a PDF document named "Windows KEL" whose page
// shows the heading and the picture at their places and sizes.
//
// Needs the test scheduler of tools/cups-test-server.sh DIR, reached with
// CUPS_SERVER=DIR/cups.sock (the queue copies documents into DIR/jobs), and
// pdftoppm; skipped otherwise.
#include <cups/cups.h>
#include <dirent.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "lib_test_support.h"
#include "platform/gdi/printers.h"

namespace {

const double kRenderDpi = 100;

std::set<std::string> documents_in(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".pdf") == 0) names.insert(name);
    }
    closedir(dir);
  }
  return names;
}

// The queue's folder of delivered documents, or "" without a test scheduler.
std::string jobs_folder() {
  const char* server = std::getenv("CUPS_SERVER");
  std::string socket = server ? server : "";
  const std::string suffix = "/cups.sock";
  if (socket.size() <= suffix.size() ||
      socket.compare(socket.size() - suffix.size(), suffix.size(), suffix) != 0)
    return "";
  std::string folder = socket.substr(0, socket.size() - suffix.size()) + "/jobs";
  struct stat info;
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? folder : "";
}

// A page rendered by pdftoppm: P6 pixels, row by row.
struct Rendered {
  int width = 0;
  int height = 0;
  std::string rgb;
  bool load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    rgb.assign(std::istreambuf_iterator<char>(in), {});
    return magic == "P6" && maximum == 255 && rgb.size() == size_t(width) * height * 3;
  }
  // 0x00RRGGBB
  uint32_t at(int x, int y) const {
    size_t i = (size_t(y) * width + x) * 3;
    return uint32_t(uint8_t(rgb[i])) << 16 | uint32_t(uint8_t(rgb[i + 1])) << 8 |
           uint8_t(rgb[i + 2]);
  }
  bool dark_in(int left, int top, int right, int bottom) const {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if ((at(x, y) & 0xFF) < 128) return true;
    return false;
  }
};

bool near(uint32_t actual, uint32_t expected) {
  for (int shift : {0, 8, 16}) {
    int a = int(actual >> shift & 0xFF), e = int(expected >> shift & 0xFF);
    if (std::abs(a - e) > 40) return false;
  }
  return true;
}

std::string job_title(int id) {
  cups_job_t* jobs = nullptr;
  int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
  std::string title;
  for (int i = 0; i < count; ++i)
    if (jobs[i].id == id) title = jobs[i].title ? jobs[i].title : "";
  cupsFreeJobs(count, jobs);
  return title;
}

TEST(SpoolerPrinting, WindowArrivesAsAPdfWithHeadingAndPicture) {
  std::string folder = jobs_folder();
  if (folder.empty() || std::system("pdftoppm -v > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "no test scheduler: start tools/cups-test-server.sh DIR and set "
                    "CUPS_SERVER=DIR/cups.sock (pdftoppm needed too)";
  kelplat::gdi::PrinterList printers = kelplat::gdi::list_spooler_printers();
  ASSERT_GE(printers.default_index, 0) << "the test queue is not the default";
  const kelplat::gdi::PrinterInfo& queue = printers.printers[size_t(printers.default_index)];
  std::set<std::string> before = documents_in(folder);

  kel_test::open_window(640, 480, false, "Sketch");
  setbkcolor(COLOR(0, 0, 255));
  cleardevice();
  setfillstyle(SOLID_FILL, COLOR(255, 0, 0));
  bar(0, 0, 320, 240);
  printimage("Spooler", 2.0, 0.75, 0.75, 0, 0, INT_MAX, INT_MAX, true, NULL);

  std::string document;
  for (int tries = 0; tries < 600 && document.empty(); ++tries) {
    for (const std::string& name : documents_in(folder))
      if (!before.count(name)) document = name;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_FALSE(document.empty()) << "no document arrived in " << folder;
  EXPECT_EQ(job_title(std::atoi(document.c_str() + 4)), "Windows KEL");

  std::string pdf = folder + "/" + document;
  std::string out = pdf + ".render";
  std::string command = "pdftoppm -r 100 -singlefile " + pdf + " " + out;
  ASSERT_EQ(std::system(command.c_str()), 0);
  Rendered page;
  ASSERT_TRUE(page.load(out + ".ppm"));
  std::remove((out + ".ppm").c_str());
  EXPECT_EQ(page.width, int(queue.sheet_width / 72 * kRenderDpi + 0.5));

  // The image: 2 inches wide, 1.5 high, an inch below the area's top edge.
  int x0 = int((queue.area_left / 72 + 0.75) * kRenderDpi);
  int y0 = int((queue.area_top / 72 + 1.0) * kRenderDpi);
  EXPECT_TRUE(near(page.at(x0 + 50, y0 + 37), 0xFF0000)) << std::hex << page.at(x0 + 50, y0 + 37);
  EXPECT_TRUE(near(page.at(x0 + 150, y0 + 110), 0x0000FF));
  EXPECT_TRUE(near(page.at(x0 + 195, y0 + 145), 0x0000FF));
  EXPECT_TRUE(near(page.at(x0 + 205, y0 + 75), 0xFFFFFF));
  EXPECT_TRUE(near(page.at(x0 + 100, y0 + 155), 0xFFFFFF));
  EXPECT_TRUE(near(page.at(x0 - 5, y0 + 75), 0xFFFFFF));
  // The heading: a line of text in the quarter inch above the image.
  EXPECT_TRUE(page.dark_in(x0, y0 - 25, x0 + 150, y0));
  EXPECT_FALSE(page.dark_in(x0, y0 - 50, x0 + 150, y0 - 26));
}

}  // namespace

// A program for the X11 end-to-end test of the system menu's save and print
// commands: a window whose visual page is green while its active page is
// blue, two virtual printers ("laser", the default, at 600 dpi and "draft"
// at 300 dpi), and file dialogs answered with SAVE_NAME. Prints "ready";
// on 'q' prints one line per job, "job PRINTER DRAWING-CALL", then
// "saved BYTES" (the size of SAVE_NAME.BMP, -1 when missing) and ends with
// status 7.
//
// Usage: print_menu SAVE_NAME
#include <graphics.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform_testing.h"

namespace {

kelplat::testing::VirtualPrinter printer(const char* name, int dpi) {
  kelplat::testing::VirtualPrinter p;
  p.name = name;
  p.dpi_x = p.dpi_y = dpi;
  p.width = 2000;
  p.height = 1800;
  return p;
}

long file_size(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return -1;
  std::fseek(file, 0, SEEK_END);
  long size = std::ftell(file);
  std::fclose(file);
  return size;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string save_name = argv[1];
  kelplat::testing::set_virtual_printers({printer("laser", 600), printer("draft", 300)}, "laser");
  kelplat::testing::set_file_dialog_handler([&](OPENFILENAMEA* ofn, bool) {
    std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", save_name.c_str());
    return true;
  });
  initwindow(200, 150, "kel print menu", 100, 100, false, false);
  setbkcolor(GREEN);
  cleardevice();
  setactivepage(1);
  setbkcolor(BLUE);
  cleardevice();
  std::printf("ready\n");
  std::fflush(stdout);
  while (getch() != 'q') {
  }
  for (const auto& job : kelplat::testing::take_printed_jobs()) {
    std::string drawing;
    for (const std::string& call : job.calls)
      if (call.rfind("StretchBlt", 0) == 0) drawing = call;
    bool green = !job.pages.empty() && job.pages[0].at(230, 310) == 0x008000;
    std::printf("job %s %s%s\n", job.printer.c_str(), drawing.c_str(), green ? " green" : "");
  }
  std::printf("saved %ld\n", file_size(save_name + ".BMP"));
  std::fflush(stdout);
  return 7;
}

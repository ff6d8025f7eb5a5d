// Opens and closes windows one after another and checks that a closed window
// gives everything back: the process's threads, descriptors and memory are
// the same after COUNT windows as after the first few. Windows end by
// closegraph of their number, by closegraph(ALL_WINDOWS) of two at once, and
// by closegraph(CURRENT_WINDOW) from a mouse handler on the window's own
// thread.
//
// Usage: window_cycle COUNT
// Writes "cycled COUNT" and exits with status 0, or writes what failed or
// grew and exits with status 1.
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "kel/kel_internal.h"

// Under AddressSanitizer, freed memory waits in a quarantine (256 MB by
// default) before it can be used again; a small one lets the closed windows'
// pages come back within the slack allowed below.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=4"; }
#endif

namespace {

struct Usage {
  int threads;
  int descriptors;
  long resident_kb;
};

int entries(const char* directory) {
  DIR* dir = opendir(directory);
  if (!dir) return -1;
  int count = 0;
  while (readdir(dir)) ++count;
  closedir(dir);
  return count;
}

long resident_kb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

Usage usage() { return Usage{entries("/proc/self/task"), entries("/proc/self/fd"), resident_kb()}; }

void close_current(int, int) { closegraph(CURRENT_WINDOW); }

bool open_and_draw(int i) {
  if (initwindow(320, 240, "cycle", 20 + i % 50, 20 + i % 40, false, false) < 0) return false;
  setfillstyle(SOLID_FILL, 1 + i % 15);
  bar(10, 10, 300, 220);
  outtextxy(20, 20, const_cast<char*>("cycle"));
  return true;
}

// One window (two for the ALL_WINDOWS way) opened, drawn and closed; false
// when a window could not be opened or did not go.
bool cycle(int i) {
  if (!open_and_draw(i)) return false;
  HWND hwnd = KEL__WindowTable[getcurrentwindow()];
  switch (i % 3) {
    case 0:
      closegraph(getcurrentwindow());
      break;
    case 1:
      if (!open_and_draw(i)) return false;
      closegraph(ALL_WINDOWS);
      break;
    case 2:
      registermousehandler(WM_LBUTTONDOWN, close_current);
      PostMessageA(hwnd, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
      for (int waited = 0; IsWindow(hwnd) && waited < 5000; waited += 2) Sleep(2);
      break;
  }
  return !IsWindow(hwnd);
}

// Threads that end by themselves (the handler's case) may take a moment.
Usage settled(const Usage& base) {
  Usage now = usage();
  for (int waited = 0; waited < 3000 && (now.threads > base.threads || now.descriptors > base.descriptors);
       waited += 10) {
    Sleep(10);
    now = usage();
  }
  return now;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 300;
  const int warm_up = 12;
  for (int i = 0; i < warm_up; ++i)
    if (!cycle(i)) return std::printf("warm-up window %d could not be opened or closed\n", i), 1;
  const Usage base = settled(usage());
  for (int i = warm_up; i < warm_up + count; ++i)
    if (!cycle(i)) return std::printf("window %d could not be opened or closed\n", i), 1;
  const Usage end = settled(base);
  // Kept, 300 windows of 320 x 240 would hold some 450 MB of pages.
  const long kMemorySlackKb = 24 * 1024;
  if (end.threads > base.threads || end.descriptors > base.descriptors ||
      end.resident_kb - base.resident_kb > kMemorySlackKb) {
    std::printf("threads %d -> %d, descriptors %d -> %d, resident %ld -> %ld KB\n", base.threads,
                end.threads, base.descriptors, end.descriptors, base.resident_kb, end.resident_kb);
    return 1;
  }
  std::printf("cycled %d\n", count);
  return 0;
}

// The portable platform's testing interface: what a test needs that the
// public interface does not give. Not part of graphics.h and not installed.
#ifndef KEL_PLATFORM_TESTING_H
#define KEL_PLATFORM_TESTING_H

#include <functional>
#include <string>
#include <vector>

#include "platform.h"

namespace kelplat::testing {

// Waits until the thread that owns `hwnd` has handled every message posted or
// sent to it before this call (it is back waiting in GetMessageA with an empty
// queue). Paints that are due are not forced. False on time-out or bad handle.
bool wait_idle(HWND hwnd, int timeout_ms = 5000);

// Makes the owning thread paint the window's invalid region now (without the
// display pacing) and waits until it has done so.
bool flush_paint(HWND hwnd, int timeout_ms = 5000);

// What the window shows: its client area, row by row, each pixel 0x00RRGGBB.
// Empty when the handle names no window.
std::vector<uint32_t> shown_pixels(HWND hwnd, int* width = nullptr, int* height = nullptr);

// While painting is held for a window, WM_PAINT is not generated for it, so a
// test can read what has been invalidated since the last paint.
void hold_painting(HWND hwnd, bool hold);
// Bounding box of the window's invalid region in client coordinates; false
// when nothing is invalid.
bool invalid_rect(HWND hwnd, RECT* rect);
// Forgets the invalid region without painting.
void validate(HWND hwnd);

// Switches the rasterizer's fast paths (figures painted straight, lines
// stored straight in the page); off, every figure takes the exact general
// path. On by default; for tests that compare the two.
void set_raster_fast_paths(bool on);

// Message boxes: while a handler is installed, MessageBoxA calls it instead of
// showing anything and returns what it returns.
using MessageBoxHandler = std::function<int(const std::string& text, const std::string& caption,
                                            UINT type)>;
void set_message_box_handler(MessageBoxHandler handler);

// File dialogs: while a handler is installed, GetOpenFileNameA and
// GetSaveFileNameA call it (with `save` telling which) instead of asking the
// user; it fills ofn->lpstrFile and returns true, or returns false to cancel.
using FileDialogHandler = std::function<bool(OPENFILENAMEA* ofn, bool save)>;
void set_file_dialog_handler(FileDialogHandler handler);

// Virtual printers: while they are installed, the print dialog offers them
// (and nothing else) and printer contexts made for them keep a record of
// each job instead of sending it anywhere. An empty list means "no printer
// at all". `default_name` names the default one ("" for none).
struct VirtualPrinter {
  std::string name;
  int dpi_x = 600;
  int dpi_y = 600;
  int width = 4800;   // printable area in printer pixels
  int height = 6600;
  bool refuses = false;  // the spooler refuses its jobs (StartDocA fails)
  bool bitmaps = true;   // it prints bitmaps (RASTERCAPS has RC_BITBLT)
};
void set_virtual_printers(std::vector<VirtualPrinter> printers, const std::string& default_name);
// Back to the system's spooler; the record of jobs is kept.
void use_system_printers();

// A page as the printer received it, each pixel 0x00RRGGBB.
struct PrintedPage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels.at(size_t(y) * size_t(width) + size_t(x)); }
};
// One job on a virtual printer: its document name, its calls in order
// ("StartDocA Windows KEL", "StartPage", "TextOutA 450 450 text",
// "StretchBlt 450 600 1200 900 from 0 0 640 480", "EndPage", "EndDoc") and
// its pages.
struct PrintedJob {
  std::string printer;
  std::string document;
  std::vector<std::string> calls;
  std::vector<PrintedPage> pages;
  bool finished = false;
};
// The jobs made since the last call (oldest first); the record is emptied.
std::vector<PrintedJob> take_printed_jobs();

// The print dialog: while a handler is installed, PrintDlgA calls it
// instead of asking the user, with the printers it offers and the one it
// starts on (-1: none); it returns the chosen index, or -1 to cancel.
using PrintDialogHandler =
    std::function<int(const std::vector<std::string>& printers, int initial)>;
void set_print_dialog_handler(PrintDialogHandler handler);

// The name of the display back end in use ("headless" or "x11"), or "" when
// no window has been made yet.
std::string backend_name();

}  // namespace kelplat::testing

#endif  // KEL_PLATFORM_TESTING_H

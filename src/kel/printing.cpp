// Printing: printimage puts a rectangle of a window's page on one sheet,
// scaled to a width in inches, at a margin from the printable area's corner,
// below an optional heading line.
#include <climits>
#include <cmath>
#include <cstring>

#include "kel_internal.h"

namespace {

const char kDocumentName[] = "Windows KEL";
const double kHeadingAdvanceInches = 0.25;

// Asks for the printer and returns a device context for it, or null when
// there is no printer or the user cancelled. The printer chosen last is
// remembered for the rest of the process. Each job gets its own context.
// The dialogs of two threads take turns (a platform mutex, held while the
// user answers).
class DialogTurn {
 public:
  DialogTurn() : mutex_(shared()) { WaitForSingleObject(mutex_, INFINITE); }
  ~DialogTurn() { ReleaseMutex(mutex_); }
  DialogTurn(const DialogTurn&) = delete;
  DialogTurn& operator=(const DialogTurn&) = delete;

 private:
  static HANDLE shared() {
    static HANDLE mutex = CreateMutexA(NULL, FALSE, NULL);
    return mutex;
  }
  HANDLE mutex_;
};

HDC choose_printer() {
  static PRINTDLGA pd_Printer;
  DialogTurn turn;
  if (!pd_Printer.hDevMode && !pd_Printer.hDevNames) {
    std::memset(&pd_Printer, 0, sizeof pd_Printer);
    pd_Printer.lStructSize = sizeof(PRINTDLGA);
    pd_Printer.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&pd_Printer)) return NULL;
    pd_Printer.Flags &= ~PD_RETURNDEFAULT;
  }
  pd_Printer.Flags |= PD_RETURNDC;
  pd_Printer.hDC = NULL;
  if (!PrintDlgA(&pd_Printer)) return NULL;
  HDC printer = pd_Printer.hDC;
  pd_Printer.hDC = NULL;
  return printer;
}

// Inches, or a scaled pixel count, as a whole number of printer pixels: the
// fraction is dropped, and values beyond the int range (or not numbers at
// all, from a hostile width) saturate instead of overflowing.
int printer_pixels(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

struct Placement {
  int xdpi;
  int ydpi;
  double left_inches;
  double top_inches;
};

// The page of the job: the heading (when not empty), then the copied
// rectangle below it if the printer takes bitmaps.
void print_page(HDC printer, const char* heading, Placement at, const KEL__PageCopy& copy,
                double width_inches) {
  StartPage(printer);
  int x = printer_pixels(at.xdpi * at.left_inches);
  if (heading[0] != '\0') {
    TextOutA(printer, x, printer_pixels(at.ydpi * at.top_inches), heading,
             static_cast<int>(std::strlen(heading)));
    at.top_inches += kHeadingAdvanceInches;
  }
  if (GetDeviceCaps(printer, RASTERCAPS) & RC_BITBLT) {
    double sx = at.xdpi * width_inches / copy.width;
    double sy = sx * at.ydpi / at.xdpi;
    StretchBlt(printer, x, printer_pixels(at.ydpi * at.top_inches),
               printer_pixels(copy.width * sx), printer_pixels(copy.height * sy), copy.dc, 0, 0,
               copy.width, copy.height, SRCCOPY);
  }
  EndPage(printer);
}

}  // namespace

void printimage(const char* title, double width_inches, double border_left_inches,
                double border_top_inches, int left, int top, int right, int bottom, bool active,
                HWND hwnd) {
  HDC printer = choose_printer();
  if (!printer) return;
  WindowData* wd = KEL__WindowOfHandle(hwnd);
  if (wd) {
    PageLock lock(wd);
    KEL__PageCopy copy(wd, active, left, top, right, bottom);
    Placement at = {GetDeviceCaps(printer, LOGPIXELSX), GetDeviceCaps(printer, LOGPIXELSY),
                    border_left_inches, border_top_inches};
    DOCINFOA doc;
    std::memset(&doc, 0, sizeof doc);
    doc.cbSize = sizeof(DOCINFOA);
    doc.lpszDocName = kDocumentName;
    // A printer that states no resolution cannot place anything.
    if (at.xdpi > 0 && at.ydpi > 0 && StartDocA(printer, &doc) > 0) {
      print_page(printer, title ? title : wd->title.c_str(), at, copy, width_inches);
      EndDoc(printer);
    }
  }
  DeleteDC(printer);
}

// Printers: the destinations a print dialog offers, what each one can do,
// and the jobs that printer contexts hand their pages to. The destinations
// are the spooler's (CUPS), or the virtual printers a test installed.
#ifndef KEL_PLATFORM_GDI_PRINTERS_H
#define KEL_PLATFORM_GDI_PRINTERS_H

#include <memory>
#include <string>
#include <vector>

#include "gdi_objects.h"

namespace kelplat::gdi {

// Resolution and medium a destination uses when it states none.
constexpr int kDefaultPrinterDpi = 600;
constexpr double kA4WidthPoints = 595.28;
constexpr double kA4HeightPoints = 841.89;

struct PrinterInfo {
  std::string name;
  int dpi_x = kDefaultPrinterDpi;
  int dpi_y = kDefaultPrinterDpi;
  // The printable area, in printer pixels.
  int width = 0;
  int height = 0;
  // The sheet and where the printable area starts on it, in points.
  double sheet_width = kA4WidthPoints;
  double sheet_height = kA4HeightPoints;
  double area_left = 0;
  double area_top = 0;
  // Whether it prints bitmaps (RC_BITBLT and RC_STRETCHBLT).
  bool bitmaps = true;
};

// A printed document on its way to a destination: one per printer context.
// The context calls start() in StartDocA, page() in EndPage and finish() in
// EndDoc; a job that is destroyed unfinished is abandoned.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  // False when the destination refuses the job.
  virtual bool start(const std::string& document) = 0;
  virtual void page(const Bitmap& page) = 0;
  // False when the document could not be delivered.
  virtual bool finish() = 0;
  // Every call of the job (StartDocA, StartPage, TextOutA, StretchBlt,
  // EndPage, EndDoc) in words, for jobs that keep a record.
  virtual void note(const std::string& /*call*/) {}
};

// The destinations that can be printed on now, and which one is the default
// (-1: none).
struct PrinterList {
  std::vector<PrinterInfo> printers;
  int default_index = -1;
};
PrinterList list_printers();

// A printer context for the named destination, with a job for it; null
// when there is no such destination or its page cannot be made.
HDC open_printer(const std::string& name);

// The spooler's side (cups_printers.cpp).
PrinterList list_spooler_printers();
std::unique_ptr<PrintJob> open_spooler_job(const PrinterInfo& printer);

// The virtual printers of the testing interface (virtual_printers.cpp):
// false when none are installed.
bool list_virtual_printers(PrinterList* list);
std::unique_ptr<PrintJob> open_virtual_job(const PrinterInfo& printer);

}  // namespace kelplat::gdi

#endif  // KEL_PLATFORM_GDI_PRINTERS_H

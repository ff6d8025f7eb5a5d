// The destinations of printing: the virtual printers of a test while they
// are installed, the spooler's otherwise.
#include "printers.h"

#include "gdi_core.h"

namespace kelplat::gdi {
namespace {

// The destinations now; true when they are virtual printers.
bool current_printers(PrinterList* list) {
  if (list_virtual_printers(list)) return true;
  *list = list_spooler_printers();
  return false;
}

}  // namespace

PrinterList list_printers() {
  PrinterList list;
  current_printers(&list);
  return list;
}

HDC open_printer(const std::string& name) {
  PrinterList list;
  bool virtual_printers = current_printers(&list);
  for (const PrinterInfo& printer : list.printers) {
    if (printer.name != name) continue;
    std::unique_ptr<PrintJob> job =
        virtual_printers ? open_virtual_job(printer) : open_spooler_job(printer);
    HDC dc = create_printer_dc(printer.width, printer.height, printer.dpi_x, printer.dpi_y,
                               std::move(job));
    if (dc && !printer.bitmaps) fast_dc(dc)->raster_caps = 0;
    return dc;
  }
  return nullptr;
}

}  // namespace kelplat::gdi

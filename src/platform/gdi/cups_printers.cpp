// The spooler: CUPS destinations, what they print on, and jobs that render
// their pages to a PDF document in memory and hand it to the destination
// under the document's name. Nothing is written to a file of ours.
#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>

#include <algorithm>
#include <cstring>

#include "printers.h"

namespace kelplat::gdi {
namespace {

// Finer resolutions are brought down to this: a page at 600 dpi is already
// some 35 million pixels.
constexpr int kMaxDpi = 600;
constexpr double kPointsPerInch = 72.0;
constexpr double kHundredthsMmPerInch = 2540.0;

double points(int hundredths_mm) { return hundredths_mm * kPointsPerInch / kHundredthsMmPerInch; }

// The destination's default resolution, in dots per inch; false when it
// states none.
bool default_resolution(cups_dest_t* dest, cups_dinfo_t* info, int* dpi_x, int* dpi_y) {
  ipp_attribute_t* attribute =
      cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution");
  if (!attribute || ippGetValueTag(attribute) != IPP_TAG_RESOLUTION) return false;
  int y = 0;
  ipp_res_t units = IPP_RES_PER_INCH;
  int x = ippGetResolution(attribute, 0, &y, &units);
  if (units == IPP_RES_PER_CM) {
    x = int(x * 2.54);
    y = int(y * 2.54);
  }
  if (x <= 0 || y <= 0) return false;
  *dpi_x = std::min(x, kMaxDpi);
  *dpi_y = std::min(y, kMaxDpi);
  return true;
}

// The sheet of the destination's default medium and its printable area,
// in points; A4 without margins when the destination states none.
void default_medium(cups_dest_t* dest, cups_dinfo_t* info, PrinterInfo* printer,
                    double* area_width, double* area_height) {
  cups_size_t size;
  if (info && cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size) &&
      size.width > size.left + size.right && size.length > size.top + size.bottom) {
    printer->sheet_width = points(size.width);
    printer->sheet_height = points(size.length);
    printer->area_left = points(size.left);
    printer->area_top = points(size.top);
    *area_width = points(size.width - size.left - size.right);
    *area_height = points(size.length - size.top - size.bottom);
    return;
  }
  *area_width = printer->sheet_width;
  *area_height = printer->sheet_height;
}

PrinterInfo describe(cups_dest_t* dest) {
  PrinterInfo printer;
  printer.name = dest->name;
  cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
  double area_width = 0, area_height = 0;
  if (info) default_resolution(dest, info, &printer.dpi_x, &printer.dpi_y);
  default_medium(dest, info, &printer, &area_width, &area_height);
  if (info) cupsFreeDestInfo(info);
  printer.width = int(area_width * printer.dpi_x / kPointsPerInch);
  printer.height = int(area_height * printer.dpi_y / kPointsPerInch);
  return printer;
}

cairo_status_t append_to(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

class SpoolerJob : public PrintJob {
 public:
  explicit SpoolerJob(PrinterInfo printer) : printer_(std::move(printer)) {}
  ~SpoolerJob() override {
    if (pdf_surface_) cairo_surface_destroy(pdf_surface_);
    if (job_id_ && !delivered_) cupsCancelJob2(CUPS_HTTP_DEFAULT, name(), job_id_, 0);
  }

  bool start(const std::string& document) override {
    document_ = document;
    job_id_ = cupsCreateJob(CUPS_HTTP_DEFAULT, name(), document.c_str(), 0, nullptr);
    if (!job_id_) return false;
    pdf_surface_ = cairo_pdf_surface_create_for_stream(append_to, &pdf_, printer_.sheet_width,
                                                       printer_.sheet_height);
    cairo_pdf_surface_set_metadata(pdf_surface_, CAIRO_PDF_METADATA_TITLE, document.c_str());
    return cairo_surface_status(pdf_surface_) == CAIRO_STATUS_SUCCESS;
  }

  // The page goes onto its sheet at the printable area's corner, one page
  // pixel for one printer dot.
  void page(const Bitmap& page) override {
    if (!pdf_surface_) return;
    cairo_surface_t* image = copy_of(page);
    cairo_t* cr = cairo_create(pdf_surface_);
    cairo_translate(cr, printer_.area_left, printer_.area_top);
    cairo_scale(cr, kPointsPerInch / printer_.dpi_x, kPointsPerInch / printer_.dpi_y);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_show_page(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(image);
  }

  bool finish() override {
    if (!pdf_surface_) return false;
    cairo_surface_finish(pdf_surface_);
    bool rendered = cairo_surface_status(pdf_surface_) == CAIRO_STATUS_SUCCESS;
    delivered_ = rendered && deliver();
    return delivered_;
  }

 private:
  const char* name() const { return printer_.name.c_str(); }

  // The page's pixels (0x00RRGGBB, the image format's own layout) in an
  // image that the PDF surface may keep as long as it needs.
  static cairo_surface_t* copy_of(const Bitmap& page) {
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, page.width, page.height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) return image;
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < page.height; ++y) {
      std::memcpy(data + size_t(y) * size_t(stride), page.row32(y),
                  size_t(page.width) * 4);
    }
    cairo_surface_mark_dirty(image);
    return image;
  }

  bool deliver() {
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name(), job_id_, document_.c_str(), CUPS_FORMAT_PDF,
                          1) != HTTP_STATUS_CONTINUE)
      return false;
    bool written = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf_.data(), pdf_.size()) ==
                   HTTP_STATUS_CONTINUE;
    ipp_status_t status = cupsFinishDocument(CUPS_HTTP_DEFAULT, name());
    return written && status <= IPP_STATUS_OK_EVENTS_COMPLETE;
  }

  PrinterInfo printer_;
  std::string document_;
  int job_id_ = 0;
  bool delivered_ = false;
  cairo_surface_t* pdf_surface_ = nullptr;
  std::string pdf_;
};

}  // namespace

PrinterList list_spooler_printers() {
  PrinterList list;
  cups_dest_t* dests = nullptr;
  int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  for (int i = 0; i < count; ++i) {
    if (dests[i].instance) continue;  // saved option sets of a destination
    if (dests[i].is_default) list.default_index = int(list.printers.size());
    list.printers.push_back(describe(&dests[i]));
  }
  cupsFreeDests(count, dests);
  return list;
}

std::unique_ptr<PrintJob> open_spooler_job(const PrinterInfo& printer) {
  return std::make_unique<SpoolerJob>(printer);
}

}  // namespace kelplat::gdi

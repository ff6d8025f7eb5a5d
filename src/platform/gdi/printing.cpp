// Printer contexts and their jobs. A printer context draws on a page bitmap
// of its own in the printer's default font; StartDocA, EndPage and EndDoc
// hand the document to the context's job (printers.h). On any other
// context the job calls fail.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>

#include "gdi_core.h"
#include "printers.h"

namespace kelplat::gdi {
namespace {

enum PrintState { kIdle = 0, kInDocument = 1, kInPage = 2 };

// Headings and other text come out 12 points high, as on paper.
constexpr int kDefaultFontPoints = 12;

DeviceContext* printer_of(HDC hdc) {
  DeviceContext* dc = fast_dc(hdc);
  return dc && dc->type == DeviceContext::Type::Printer ? dc : nullptr;
}

void clear_page(Bitmap& page) { std::fill(page.storage.begin(), page.storage.end(), kWhitePixel); }

// The printer's default font for a vertical resolution: one stock font per
// resolution, made on first use and never deleted.
struct PrinterFonts {
  std::mutex mutex;
  std::map<int, HFONT> by_resolution;
};

HFONT printer_font(int dpi_y) {
  PrinterFonts& fonts = immortal<PrinterFonts>();
  std::lock_guard<std::mutex> lock(fonts.mutex);
  HFONT& font = fonts.by_resolution[dpi_y];
  if (!font) {
    auto made = std::make_unique<Font>();
    made->stock = true;
    made->logfont.lfHeight = -int(int64_t(kDefaultFontPoints) * dpi_y / 72);
    made->logfont.lfWeight = FW_NORMAL;
    made->logfont.lfCharSet = ANSI_CHARSET;
    std::strcpy(made->logfont.lfFaceName, "Arial");
    font = add_object<HFONT>(std::move(made));
  }
  return font;
}

}  // namespace

HDC create_printer_dc(int width, int height, int dpi_x, int dpi_y, std::shared_ptr<PrintJob> job) {
  if (dpi_x <= 0 || dpi_y <= 0 || !job) return nullptr;
  std::unique_ptr<Bitmap> page = make_bitmap(width, height, 32);
  if (!page) return nullptr;
  clear_page(*page);
  page->selections = 1;  // held by its context for the context's whole life
  auto page_handle = add_object<HBITMAP>(std::move(page));
  if (!page_handle) return nullptr;
  auto dc = new_context(DeviceContext::Type::Printer);
  dc->bitmap = page_handle;
  dc->dpi_x = dpi_x;
  dc->dpi_y = dpi_y;
  if (HFONT font = printer_font(dpi_y)) dc->font = font;
  dc->job = std::move(job);
  HDC hdc = add_object<HDC>(std::move(dc));
  if (!hdc) table().erase(key(page_handle));
  return hdc;
}

void note_printer_call(const DeviceContext& dc, const std::string& call) {
  if (dc.type == DeviceContext::Type::Printer && dc.job) dc.job->note(call);
}

}  // namespace kelplat::gdi

using namespace kelplat::gdi;

int WINAPI StartDocA(HDC hdc, const DOCINFOA* doc) {
  static std::atomic<int> next_job{1};
  DeviceContext* dc = printer_of(hdc);
  if (!dc || !doc || dc->print_state != kIdle) return SP_ERROR;
  std::string name = doc->lpszDocName ? doc->lpszDocName : "";
  note_printer_call(*dc, "StartDocA " + name);
  if (!dc->job->start(name)) return SP_ERROR;
  dc->print_state = kInDocument;
  return next_job++;
}

int WINAPI StartPage(HDC hdc) {
  DeviceContext* dc = printer_of(hdc);
  Bitmap* page = dc ? dc->target() : nullptr;
  if (!page || dc->print_state != kInDocument) return 0;
  note_printer_call(*dc, "StartPage");
  clear_page(*page);
  dc->print_state = kInPage;
  return 1;
}

int WINAPI EndPage(HDC hdc) {
  DeviceContext* dc = printer_of(hdc);
  Bitmap* page = dc ? dc->target() : nullptr;
  if (!page || dc->print_state != kInPage) return 0;
  note_printer_call(*dc, "EndPage");
  dc->job->page(*page);
  dc->print_state = kInDocument;
  return 1;
}

int WINAPI EndDoc(HDC hdc) {
  DeviceContext* dc = printer_of(hdc);
  if (!dc || dc->print_state == kIdle) return 0;
  if (dc->print_state == kInPage) EndPage(hdc);
  note_printer_call(*dc, "EndDoc");
  dc->print_state = kIdle;
  return dc->job->finish() ? 1 : SP_ERROR;
}

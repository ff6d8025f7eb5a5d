// Printer contexts and their jobs. A printer context draws on a page bitmap
// of its own; EndPage hands the finished page to the print path that made
// the context. On any other context the job calls fail.
#include <algorithm>
#include <atomic>

#include "gdi_core.h"

namespace kelplat::gdi {
namespace {

enum PrintState { kIdle = 0, kInDocument = 1, kInPage = 2 };

DeviceContext* printer_of(HDC hdc) {
  DeviceContext* dc = fast_dc(hdc);
  return dc && dc->type == DeviceContext::Type::Printer ? dc : nullptr;
}

void clear_page(Bitmap& page) { std::fill(page.storage.begin(), page.storage.end(), kWhitePixel); }

}  // namespace

HDC create_printer_dc(int width, int height, int dpi_x, int dpi_y,
                      std::function<void(const Bitmap& page)> page_done) {
  if (dpi_x <= 0 || dpi_y <= 0) return nullptr;
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
  dc->page_done = std::move(page_done);
  HDC hdc = add_object<HDC>(std::move(dc));
  if (!hdc) table().erase(key(page_handle));
  return hdc;
}

}  // namespace kelplat::gdi

using namespace kelplat::gdi;

int WINAPI StartDocA(HDC hdc, const DOCINFOA* doc) {
  static std::atomic<int> next_job{1};
  DeviceContext* dc = printer_of(hdc);
  if (!dc || !doc || dc->print_state != kIdle) return SP_ERROR;
  dc->print_state = kInDocument;
  return next_job++;
}

int WINAPI StartPage(HDC hdc) {
  DeviceContext* dc = printer_of(hdc);
  Bitmap* page = dc ? dc->target() : nullptr;
  if (!page || dc->print_state != kInDocument) return 0;
  clear_page(*page);
  dc->print_state = kInPage;
  return 1;
}

int WINAPI EndPage(HDC hdc) {
  DeviceContext* dc = printer_of(hdc);
  Bitmap* page = dc ? dc->target() : nullptr;
  if (!page || dc->print_state != kInPage) return 0;
  if (dc->page_done) dc->page_done(*page);
  dc->print_state = kInDocument;
  return 1;
}

int WINAPI EndDoc(HDC hdc) {
  DeviceContext* dc = printer_of(hdc);
  if (!dc || dc->print_state == kIdle) return 0;
  if (dc->print_state == kInPage) EndPage(hdc);
  dc->print_state = kIdle;
  return 1;
}

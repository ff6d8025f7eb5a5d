// Fuzzes metafile playback (enhanced and Windows metafiles, with the
// bitmaps they carry) and raster drawing: any picture that loads is drawn
// into a small page, whole and mirrored.
#include "platform/picture/picture_loader.h"

namespace {

struct Page {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(64, 48, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
};

}  // namespace

// Text in metafiles loads the font configuration once; the configuration
// library keeps some of what it parses for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Page* page = new Page;  // one page for the whole run, never freed
  using namespace kelplat::picture;
  PictureData picture;
  if (!load_picture(Bytes(data, size), &picture)) return 0;
  render_picture(picture, page->dc, Placement{0, 0, 1, 1, 2, 3, 60, 40});
  render_picture(picture, page->dc, Placement{1, 1, 0, 0, 50, 40, -30, -20});
  return 0;
}

// Builds against the installed headers only (graphics.h is not needed): makes
// an 8-bit DIB, saves it, loads it back, converts it to 24 bits through a
// bitmap, and checks sizes and pixels on the way. Exit status 0 on success.
// Usage: dib_files DIRECTORY
#include <kel/dibutil.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int failures = 0;

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "failed: %s\n", what);
  ++failures;
}

// An 8-bit 7x5 DIB whose pixel (x, y) is palette entry x + y, entry i being
// the colour (10 i, 20 i, 30 i).
HANDLE make_dib() {
  HANDLE dib = CreateDIB(7, 5, 8);
  LPSTR bytes = static_cast<LPSTR>(GlobalLock(dib));
  if (!bytes) return dib;
  RGBQUAD* colours = reinterpret_cast<RGBQUAD*>(bytes + sizeof(BITMAPINFOHEADER));
  for (int i = 0; i < 256; ++i)
    colours[i] = RGBQUAD{BYTE(30 * i), BYTE(20 * i), BYTE(10 * i), 0};
  BYTE* rows = reinterpret_cast<BYTE*>(FindDIBBits(bytes));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) rows[y * WIDTHBYTES(7 * 8) + x] = BYTE(x + y);
  GlobalUnlock(dib);
  return dib;
}

void check_24_bit(HANDLE dib) {
  LPSTR bytes = static_cast<LPSTR>(GlobalLock(dib));
  check(bytes != nullptr, "24-bit DIB locks");
  if (!bytes) return;
  const BITMAPINFOHEADER* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
  check(header->biBitCount == 24 && header->biCompression == BI_RGB, "24-bit header");
  check(DIBWidth(bytes) == 7 && DIBHeight(bytes) == 5, "24-bit size");
  check(DIBNumColors(bytes) == 0, "24-bit has no colour table");
  const BYTE* rows = reinterpret_cast<const BYTE*>(FindDIBBits(bytes));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      const BYTE* p = rows + y * WIDTHBYTES(7 * 24) + 3 * x;
      int i = x + y;
      check(p[0] == BYTE(30 * i) && p[1] == BYTE(20 * i) && p[2] == BYTE(10 * i), "24-bit pixel");
    }
  GlobalUnlock(dib);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::string first = std::string(argv[1]) + "/public_dib_8.bmp";
  std::string second = std::string(argv[1]) + "/public_dib_24.bmp";

  HANDLE made = make_dib();
  check(SaveDIB(made, first.c_str()) == 0, "SaveDIB of the 8-bit DIB");
  GlobalFree(made);

  HANDLE loaded = LoadDIB(first.c_str());
  check(loaded != nullptr, "LoadDIB");
  if (!loaded) return 1;
  LPSTR bytes = static_cast<LPSTR>(GlobalLock(loaded));
  check(DIBWidth(bytes) == 7 && DIBHeight(bytes) == 5, "loaded size");
  check(DIBNumColors(bytes) == 256 && PaletteSize(bytes) == 1024, "loaded colour table");
  GlobalUnlock(loaded);

  HBITMAP bitmap = DIBToBitmap(loaded, nullptr);
  check(bitmap != nullptr, "DIBToBitmap");
  HANDLE converted = ChangeBitmapFormat(bitmap, 24, BI_RGB, nullptr);
  check(converted != nullptr, "ChangeBitmapFormat to 24 bits");
  if (converted) {
    check_24_bit(converted);
    check(SaveDIB(converted, second.c_str()) == 0, "SaveDIB of the 24-bit DIB");
    HANDLE again = LoadDIB(second.c_str());
    check(again != nullptr, "LoadDIB of the 24-bit file");
    if (again) check_24_bit(again);
    DestroyDIB(again);
    GlobalFree(converted);
  }
  GlobalFree(loaded);
  std::remove(first.c_str());
  std::remove(second.c_str());
  if (!failures) std::puts("ok");
  return failures ? 1 : 0;
}

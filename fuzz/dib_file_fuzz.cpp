// Fuzzes the BMP file reader (LoadDIB, and ReadDIBFile under it) and the
// DIB utilities on what it returns: whatever sizes and counts a file
// claims, nothing is read or written outside the blocks.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "kel/dibutil.h"
#include "platform/gdi.h"
#include "graphics.h"

namespace {

const std::string& input_path() {
  static const std::string* path =
      new std::string("/tmp/kel_dib_file_fuzz_" + std::to_string(getpid()) + ".bmp");
  return *path;
}

// Converting takes time in proportion to the pixels the header states, which
// a short file may state freely (what it does not supply reads as zero):
// beyond this the reader alone is fuzzed.
constexpr uint64_t kMaxConvertedPixels = uint64_t(1) << 22;

bool small_enough(HANDLE dib) {
  LPSTR header = static_cast<LPSTR>(GlobalLock(dib));
  if (!header) return false;
  const uint64_t width = DIBWidth(header), height = DIBHeight(header);
  const int32_t rows = int32_t(height);
  GlobalUnlock(dib);
  return width * uint64_t(rows < 0 ? -int64_t(rows) : rows) <= kMaxConvertedPixels;
}

void exercise(HANDLE dib) {
  if (!small_enough(dib)) return;
  if (HPALETTE palette = CreateDIBPalette(dib)) DeleteObject(palette);
  if (HBITMAP bitmap = DIBToBitmap(dib, nullptr)) DeleteObject(bitmap);
  if (HANDLE changed = ChangeDIBFormat(dib, 24, BI_RGB)) GlobalFree(changed);
  SaveDIB(dib, "/dev/null");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(input_path().c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  if (void* dib = LoadDIB(input_path().c_str())) {
    exercise(dib);
    DestroyDIB(dib);
  }
  return 0;
}

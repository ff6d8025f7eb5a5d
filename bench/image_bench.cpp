// Speed of the image functions: a 64 x 64 sprite through getimage and
// putimage, saving a 1024 x 768 window as a BMP file, and drawing a
// 1024 x 768 JPEG photograph into a 512 x 384 rectangle.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "../tests/support/picture_test_files.h"
#include "graphics.h"

namespace {

// One window for all the benchmarks, opened on first use and left open.
void ensure_window() {
  static const int window = [] {
    int w = initwindow(1024, 768, "bench", 0, 0, false, false);
    for (int y = 0; y < 768; y += 8)
      for (int x = 0; x < 1024; x += 8) putpixel(x, y, COLOR(x / 4, y / 3, (x + y) / 8));
    setfillstyle(HATCH_FILL, YELLOW);
    bar(100, 100, 400, 300);
    return w;
  }();
  setcurrentwindow(window);
}

std::string temp_path(const char* name) {
  return "/tmp/kel_image_bench_" + std::to_string(getpid()) + "_" + name;
}

// A photograph-like picture: smooth gradients with some texture.
picture_test::Bytes photograph() {
  picture_test::Image image(1024, 768, 0);
  uint32_t noise = 12345;
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) {
      noise = noise * 1103515245u + 12345u;
      uint32_t n = (noise >> 16) & 15;
      uint32_t r = (x * 255 / 1023 + n) & 0xFF, g = (y * 255 / 767 + n) & 0xFF, b = ((x + y) / 7 + n) & 0xFF;
      image.at(x, y) = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  return picture_test::jpeg_file(image, 85);
}

void BM_GetImagePutImageSprite(benchmark::State& state) {
  ensure_window();
  std::vector<char> sprite(imagesize(0, 0, 63, 63));
  int x = 0;
  for (auto _ : state) {
    getimage(200, 200, 263, 263, sprite.data());
    putimage(x, 500, sprite.data(), XOR_PUT);
    x = (x + 7) % 900;
  }
  state.SetItemsProcessed(state.iterations());  // pairs
}
BENCHMARK(BM_GetImagePutImageSprite);

void BM_WriteImageFileWholeWindow(benchmark::State& state) {
  ensure_window();
  std::string path = temp_path("window.bmp");
  for (auto _ : state) writeimagefile(path.c_str(), 0, 0, INT_MAX, INT_MAX);
  unlink(path.c_str());
}
BENCHMARK(BM_WriteImageFileWholeWindow)->Unit(benchmark::kMillisecond);

void BM_ReadImageFileJpegHalfSize(benchmark::State& state) {
  ensure_window();
  std::string path = temp_path("photo.jpg");
  picture_test::write_file(path, photograph());
  for (auto _ : state) readimagefile(path.c_str(), 0, 0, 511, 383);
  unlink(path.c_str());
}
BENCHMARK(BM_ReadImageFileJpegHalfSize)->Unit(benchmark::kMillisecond);

}  // namespace

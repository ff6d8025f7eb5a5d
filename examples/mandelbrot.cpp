// The Mandelbrot set, pixel by pixel, coloured by how fast each point
// escapes.
#include <graphics.h>

int main() {
  const int width = 480, height = 320, limit = 64;
  initwindow(width, height, "Mandelbrot");
  for (int py = 0; py < height; ++py)
    for (int px = 0; px < width; ++px) {
      const double cr = -2.2 + px * 3.2 / width, ci = -1.1 + py * 2.2 / height;
      double zr = 0, zi = 0;
      int n = 0;
      while (n < limit && zr * zr + zi * zi < 4) {
        const double t = zr * zr - zi * zi + cr;
        zi = 2 * zr * zi + ci;
        zr = t;
        ++n;
      }
      putpixel(px, py, n == limit ? BLACK : COLOR(n * 4, n * 2, 255 - n * 3));
    }
  getch();
  closegraph();
  return 0;
}

/* The Mandelbrot set in sixteen colours */
#include <graphics.h>
#include <conio.h>

void main()
{
    int gd = VGA, gm = VGAHI, px, py, n;
    double x, y, zx, zy, t;

    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    for (py = 0; py < 240; py++) {
        for (px = 0; px < 320; px++) {
            x = -2.2 + px * 3.2 / 320;
            y = -1.2 + py * 2.4 / 240;
            zx = zy = 0;
            for (n = 0; n < 64 && zx * zx + zy * zy < 4; n++) {
                t = zx * zx - zy * zy + x;
                zy = 2 * zx * zy + y;
                zx = t;
            }
            putpixel(160 + px, 120 + py, n == 64 ? BLACK : n % 15 + 1);
        }
    }
    getch();
    closegraph();
}

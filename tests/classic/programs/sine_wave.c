/* Sine and cosine curves with axes */
#include <graphics.h>
#include <conio.h>
#include <math.h>

void main()
{
    int gd = DETECT, gm, x;
    double angle;

    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    setcolor(DARKGRAY);
    line(0, 240, 639, 240);
    line(320, 0, 320, 479);
    for (x = 0; x < 640; x++) {
        angle = (x - 320) * 3.14159265 / 80.0;
        putpixel(x, 240 - (int)(sin(angle) * 100), LIGHTGREEN);
        putpixel(x, 240 - (int)(cos(angle) * 100), LIGHTMAGENTA);
    }
    setcolor(LIGHTGREEN);
    outtextxy(10, 10, "sin(x)");
    setcolor(LIGHTMAGENTA);
    outtextxy(10, 25, "cos(x)");
    getch();
    closegraph();
}

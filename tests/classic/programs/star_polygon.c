/* Polygons: a filled star and an outlined hexagon */
#include <graphics.h>
#include <conio.h>
#include <math.h>

void main()
{
    int gd = DETECT, gm, i;
    int star[20], hexagon[14];
    double a;

    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    for (i = 0; i < 10; i++) {
        a = i * 3.14159265 / 5 - 3.14159265 / 2;
        star[2 * i] = 200 + (int)(cos(a) * (i % 2 ? 60 : 150));
        star[2 * i + 1] = 240 + (int)(sin(a) * (i % 2 ? 60 : 150));
    }
    setcolor(YELLOW);
    setfillstyle(SOLID_FILL, BROWN);
    fillpoly(10, star);
    for (i = 0; i < 7; i++) {
        a = i * 3.14159265 / 3;
        hexagon[2 * i] = 480 + (int)(cos(a) * 100);
        hexagon[2 * i + 1] = 240 + (int)(sin(a) * 100);
    }
    setcolor(LIGHTCYAN);
    setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
    drawpoly(7, hexagon);
    getch();
    closegraph();
}

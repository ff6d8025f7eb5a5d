// A square spiral with linerel, and a star with lineto
#include <graphics.h>
#include <conio.h>

void main()
{
    int gd = DETECT, gm;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    moveto(200, 240);
    setcolor(LIGHTBLUE);
    for (int step = 4, dir = 0; step < 300; step += 6, dir = (dir + 1) % 4) {
        int dx[4] = { 1, 0, -1, 0 }, dy[4] = { 0, 1, 0, -1 };
        linerel(dx[dir] * step, dy[dir] * step);
    }
    setcolor(LIGHTRED);
    moveto(500, 100);
    lineto(560, 300);
    lineto(420, 180);
    lineto(580, 180);
    lineto(440, 300);
    lineto(500, 100);
    getch();
    closegraph();
}

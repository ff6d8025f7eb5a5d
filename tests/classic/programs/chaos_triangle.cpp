// The chaos game: Sierpinski's triangle from random corners
#include <graphics.h>
#include <conio.h>
#include <stdlib.h>

void main()
{
    int gd = DETECT, gm;
    int cx[3] = { 320, 40, 600 }, cy[3] = { 20, 460, 460 };
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    int x = 320, y = 240;
    for (long i = 0; i < 30000L; i++) {
        int c = rand() % 3;
        x = (x + cx[c]) / 2;
        y = (y + cy[c]) / 2;
        putpixel(x, y, c + 9);
    }
    getch();
    closegraph();
}

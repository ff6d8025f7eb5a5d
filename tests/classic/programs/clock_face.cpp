// An analog clock face showing ten past ten
#include <graphics.h>
#include <conio.h>
#include <math.h>
#include <stdio.h>

void hand(int cx, int cy, double turns, int length, int thickness, int color)
{
    double a = turns * 2 * 3.14159265 - 3.14159265 / 2;
    setlinestyle(SOLID_LINE, 0, thickness);
    setcolor(color);
    line(cx, cy, cx + (int)(cos(a) * length), cy + (int)(sin(a) * length));
}

void main()
{
    int gd = DETECT, gm, cx = 320, cy = 240;
    char digits[4];
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    setcolor(WHITE);
    circle(cx, cy, 200);
    circle(cx, cy, 195);
    settextjustify(CENTER_TEXT, CENTER_TEXT);
    for (int h = 1; h <= 12; h++) {
        double a = h * 3.14159265 / 6 - 3.14159265 / 2;
        sprintf(digits, "%d", h);
        outtextxy(cx + (int)(cos(a) * 170), cy + (int)(sin(a) * 170), digits);
    }
    for (int m = 0; m < 60; m++) {
        double a = m * 3.14159265 / 30;
        putpixel(cx + (int)(cos(a) * 185), cy + (int)(sin(a) * 185), YELLOW);
    }
    hand(cx, cy, (10 + 10 / 60.0) / 12, 100, THICK_WIDTH, LIGHTCYAN);
    hand(cx, cy, 10 / 60.0, 150, THICK_WIDTH, LIGHTGREEN);
    hand(cx, cy, 30 / 60.0, 160, NORM_WIDTH, LIGHTRED);
    getch();
    closegraph();
}

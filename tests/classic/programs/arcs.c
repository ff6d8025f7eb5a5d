/* Ellipses, arcs, sectors and the end points of the last arc */
#include <graphics.h>
#include <conio.h>
#include <stdio.h>

void main()
{
    int gd = DETECT, gm;
    struct arccoordstype ends;
    char text[60];

    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    setcolor(WHITE);
    ellipse(150, 120, 0, 360, 120, 60);
    setcolor(LIGHTGREEN);
    arc(450, 120, 30, 240, 80);
    getarccoords(&ends);
    setcolor(RED);
    line(ends.x, ends.y, ends.xstart, ends.ystart);
    line(ends.x, ends.y, ends.xend, ends.yend);
    setfillstyle(XHATCH_FILL, LIGHTMAGENTA);
    sector(150, 350, 45, 300, 110, 70);
    setfillstyle(SOLID_FILL, CYAN);
    fillellipse(450, 350, 100, 50);
    sprintf(text, "arc from (%d,%d) to (%d,%d)", ends.xstart, ends.ystart, ends.xend, ends.yend);
    setcolor(WHITE);
    outtextxy(300, 230, text);
    getch();
    closegraph();
}

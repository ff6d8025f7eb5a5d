#include <graphics.h>
#include <conio.h>
#include <stdio.h>

void main()
{
    int gd = DETECT, gm, i, midx, midy;

    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    midx = getmaxx() / 2;
    midy = getmaxy() / 2;
    for (i = 1; i <= 15; i++) {
        setcolor(i);
        circle(midx, midy, i * 15);
    }
    setcolor(WHITE);
    outtextxy(10, 10, "Concentric circles - press any key");
    getch();
    closegraph();
}

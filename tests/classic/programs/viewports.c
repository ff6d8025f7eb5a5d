/* Viewports: drawing clipped to each one, one of them cleared */
#include <graphics.h>
#include <conio.h>

void main()
{
    int gd = DETECT, gm, i;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    for (i = 0; i < 4; i++) {
        int left = 20 + (i % 2) * 310, top = 20 + (i / 2) * 230;
        setviewport(0, 0, getmaxx(), getmaxy(), 1);
        setcolor(WHITE);
        rectangle(left - 1, top - 1, left + 291, top + 211);
        setviewport(left, top, left + 290, top + 210, 1);
        setcolor(i + 9);
        circle(145, 105, 140);
        setfillstyle(i + 2, i + 1);
        bar(100, 60, 400, 300);
        if (i == 3) clearviewport();
    }
    setviewport(0, 0, getmaxx(), getmaxy(), 1);
    outtextxy(250, 5, "Four viewports");
    getch();
    closegraph();
}

// Paint with the mouse: left click draws a spot, right click changes colour
#include <graphics.h>
#include <conio.h>

int color = LIGHTCYAN;

void left_click(int x, int y)
{
    setcolor(color);
    setfillstyle(SOLID_FILL, color);
    fillellipse(x, y, 12, 12);
}

void right_click(int x, int y)
{
    color = color % 15 + 1;
    setfillstyle(SOLID_FILL, color);
    bar(0, 0, 30, 30);
}

void main()
{
    int gd = DETECT, gm;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    registermousehandler(WM_LBUTTONDOWN, left_click);
    registermousehandler(WM_RBUTTONDOWN, right_click);
    outtextxy(40, 10, "Click to paint, right click for colour, any key ends");
    while (!kbhit())
        delay(10);
    getch();
    closegraph();
}

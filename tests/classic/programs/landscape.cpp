// A landscape: sky, sun, hills, a house with a door and windows
#include <graphics.h>
#include <conio.h>

void main()
{
    int gd = DETECT, gm;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    setfillstyle(SOLID_FILL, LIGHTBLUE);
    bar(0, 0, 639, 300);
    setcolor(YELLOW);
    setfillstyle(SOLID_FILL, YELLOW);
    fillellipse(540, 80, 40, 40);
    setcolor(GREEN);
    setfillstyle(SOLID_FILL, GREEN);
    fillellipse(150, 360, 250, 100);
    fillellipse(520, 380, 220, 90);
    setfillstyle(SOLID_FILL, GREEN);
    bar(0, 360, 639, 479);
    int roof[] = { 230, 250, 330, 170, 430, 250, 230, 250 };
    setcolor(RED);
    setfillstyle(SOLID_FILL, RED);
    fillpoly(4, roof);
    setfillstyle(SOLID_FILL, LIGHTGRAY);
    setcolor(DARKGRAY);
    bar(250, 250, 410, 380);
    rectangle(250, 250, 410, 380);
    setfillstyle(SOLID_FILL, BROWN);
    bar(310, 310, 350, 380);
    setfillstyle(SOLID_FILL, CYAN);
    bar(265, 270, 300, 300);
    bar(360, 270, 395, 300);
    getch();
    closegraph();
}

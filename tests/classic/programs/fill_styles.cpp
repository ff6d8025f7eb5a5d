#include <graphics.h>
#include <conio.h>
#include <stdio.h>

void main()
{
    int gd = DETECT, gm;
    char text[20];
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    for (int i = 0; i < 12; i++) {
        int x = 20 + (i % 4) * 155, y = 20 + (i / 4) * 150;
        setfillstyle(i, i + 2);
        setcolor(WHITE);
        bar(x, y, x + 130, y + 110);
        rectangle(x, y, x + 130, y + 110);
        sprintf(text, "Style %d", i);
        outtextxy(x + 30, y + 120, text);
    }
    getch();
    closegraph();
}

/* Colour gradients made with COLOR(r, g, b) */
#include <graphics.h>
#include <conio.h>

void main()
{
    int gd = DETECT, gm, i;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    for (i = 0; i < 256; i++) {
        setcolor(COLOR(i, 0, 255 - i));
        line(64 + i * 2, 40, 64 + i * 2, 200);
        line(65 + i * 2, 40, 65 + i * 2, 200);
        setfillstyle(SOLID_FILL, COLOR(i, i, i));
        bar(64 + i * 2, 240, 65 + i * 2, 400);
    }
    setcolor(COLOR(255, 200, 0));
    outtextxy(230, 430, "red to blue, black to white");
    getch();
    closegraph();
}

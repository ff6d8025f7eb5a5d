/* A ball bouncing in a box, drawn on a hidden page and then shown */
#include <graphics.h>
#include <conio.h>
#include <dos.h>

void main()
{
    int gd = VGA, gm = VGAMED;
    int x = 100, y = 80, dx = 7, dy = 5, page = 0, frame;

    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    for (frame = 0; frame < 120 && !kbhit(); frame++) {
        setactivepage(page);
        cleardevice();
        setcolor(WHITE);
        rectangle(0, 0, getmaxx(), getmaxy());
        setfillstyle(SOLID_FILL, LIGHTRED);
        setcolor(LIGHTRED);
        fillellipse(x, y, 15, 15);
        setvisualpage(page);
        page = 1 - page;
        x += dx;
        y += dy;
        if (x < 16 || x > getmaxx() - 16) dx = -dx;
        if (y < 16 || y > getmaxy() - 16) dy = -dy;
        delay(20);
    }
    getch();
    closegraph();
}

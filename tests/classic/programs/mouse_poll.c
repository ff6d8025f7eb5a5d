/* Circles where the left button is clicked, polled; right click ends */
#include <graphics.h>
#include <stdio.h>

void main()
{
    int gd = DETECT, gm, x, y, count = 0;
    char text[40];

    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    setmousequeuestatus(WM_LBUTTONDOWN);
    outtextxy(10, 10, "Left click: circle   Right click: end");
    while (!ismouseclick(WM_RBUTTONDOWN)) {
        if (ismouseclick(WM_LBUTTONDOWN)) {
            getmouseclick(WM_LBUTTONDOWN, x, y);
            count++;
            setcolor(count % 15 + 1);
            circle(x, y, 10 + 5 * count);
        }
        delay(5);
    }
    sprintf(text, "%d circles", count);
    outtextxy(10, 460, text);
    closegraph();
}

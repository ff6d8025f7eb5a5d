/* Rain drops falling, double buffered, until a key */
#include <graphics.h>
#include <conio.h>
#include <stdlib.h>
#include <dos.h>

#define DROPS 60

void main()
{
    int gd = DETECT, gm, i, page = 0;
    int x[DROPS], y[DROPS], speed[DROPS];

    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    for (i = 0; i < DROPS; i++) {
        x[i] = random(640);
        y[i] = random(480);
        speed[i] = 4 + random(8);
    }
    while (!kbhit()) {
        setactivepage(page);
        setbkcolor(BLUE);
        cleardevice();
        setcolor(LIGHTCYAN);
        for (i = 0; i < DROPS; i++) {
            line(x[i], y[i], x[i] - 2, y[i] + 8);
            y[i] += speed[i];
            if (y[i] > 480) y[i] = 0;
        }
        setfillstyle(SOLID_FILL, GREEN);
        bar(0, 440, 639, 479);
        setvisualpage(page);
        page = 1 - page;
        delay(30);
    }
    getch();
    closegraph();
}

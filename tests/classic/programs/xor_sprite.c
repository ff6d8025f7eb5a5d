/* A sprite saved with getimage and moved with putimage in XOR mode */
#include <graphics.h>
#include <conio.h>
#include <stdlib.h>
#include <dos.h>

void main()
{
    int gd = DETECT, gm, x;
    unsigned size;
    void *sprite;

    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    setfillstyle(SLASH_FILL, GREEN);
    bar(0, 200, 639, 280);
    setcolor(YELLOW);
    setfillstyle(SOLID_FILL, YELLOW);
    fillellipse(20, 20, 15, 15);
    setcolor(RED);
    line(10, 15, 30, 15);
    size = imagesize(0, 0, 40, 40);
    sprite = malloc(size);
    getimage(0, 0, 40, 40, sprite);
    putimage(0, 0, sprite, XOR_PUT);
    for (x = 0; x < 500; x += 10) {
        putimage(x, 220, sprite, XOR_PUT);
        delay(10);
        putimage(x, 220, sprite, XOR_PUT);
    }
    putimage(x, 220, sprite, XOR_PUT);
    free(sprite);
    getch();
    closegraph();
}

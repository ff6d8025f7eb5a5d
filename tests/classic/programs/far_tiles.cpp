// A tile drawn once, kept in far memory and repeated over the screen
#include <graphics.h>
#include <alloc.h>
#include <conio.h>
#include <iostream.h>

void main()
{
    int gd = DETECT, gm;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    setcolor(LIGHTMAGENTA);
    rectangle(0, 0, 79, 59);
    setcolor(YELLOW);
    line(0, 0, 79, 59);
    line(79, 0, 0, 59);
    setfillstyle(SOLID_FILL, BLUE);
    floodfill(40, 10, YELLOW);
    unsigned long size = imagesize(0, 0, 79, 59);
    void far *tile = farmalloc(size);
    if (tile == NULL) {
        cout << "Not enough memory" << endl;
        return;
    }
    getimage(0, 0, 79, 59, tile);
    for (int y = 0; y < 480; y += 60)
        for (int x = 0; x < 640; x += 80)
            putimage(x, y, tile, (x / 80 + y / 60) % 2 ? NOT_PUT : COPY_PUT);
    farfree(tile);
    getch();
    closegraph();
}

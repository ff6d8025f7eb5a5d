// Line styles and thicknesses
#include <graphics.h>
#include <conio.h>
#include <iostream.h>

void main()
{
    int gd = DETECT, gm;
    char *names[] = { "SOLID_LINE", "DOTTED_LINE", "CENTER_LINE", "DASHED_LINE", "USERBIT_LINE" };
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    int y = 40;
    for (int style = 0; style < 5; style++) {
        for (int thick = 1; thick <= 3; thick += 2) {
            setlinestyle(style, 0x3C3C, thick);
            setcolor(style + 9);
            line(200, y, 600, y);
            y += 20;
        }
        setcolor(WHITE);
        outtextxy(20, y - 35, names[style]);
        y += 30;
    }
    setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
    rectangle(10, 10, getmaxx() - 10, getmaxy() - 10);
    cout << "Line styles drawn" << endl;
    getch();
    closegraph();
}

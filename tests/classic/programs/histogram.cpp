// A histogram of the marks read from standard input (until its end)
#include <graphics.h>
#include <iostream.h>
#include <stdio.h>
#include <conio.h>

void main()
{
    int count[10] = { 0 }, mark, most = 1;
    while (cin >> mark) {
        if (mark >= 0 && mark <= 99) count[mark / 10]++;
    }
    for (int i = 0; i < 10; i++)
        if (count[i] > most) most = count[i];
    int gd = DETECT, gm;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    char text[10];
    for (int i = 0; i < 10; i++) {
        int h = count[i] * 380 / most;
        setfillstyle(WIDE_DOT_FILL, LIGHTGREEN);
        setcolor(GREEN);
        bar3d(50 + i * 56, 430 - h, 90 + i * 56, 430, 0, 0);
        sprintf(text, "%d-%d", i * 10, i * 10 + 9);
        outtextxy(50 + i * 56, 440, text);
    }
    getch();
    closegraph();
}

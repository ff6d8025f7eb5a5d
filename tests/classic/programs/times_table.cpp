// The times table of a number read from the keyboard, as a bar graph
#include <graphics.h>
#include <iostream.h>
#include <conio.h>
#include <stdio.h>

void main()
{
    int gd = DETECT, gm, n;
    cout << "Which table? ";
    cin >> n;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    char text[20];
    for (int i = 1; i <= 10; i++) {
        int h = n * i * 4;
        setfillstyle(INTERLEAVE_FILL, i);
        bar(20 + i * 55, 440 - h, 60 + i * 55, 440);
        sprintf(text, "%d", n * i);
        outtextxy(28 + i * 55, 445, text);
    }
    sprintf(text, "Table of %d", n);
    settextstyle(TRIPLEX_FONT, HORIZ_DIR, 2);
    outtextxy(200, 10, text);
    getch();
    closegraph();
}

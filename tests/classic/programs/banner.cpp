// A banner with the number of command-line arguments
#include <graphics.h>
#include <conio.h>
#include <stdio.h>

void main(int argc, char *argv[])
{
    int gd = DETECT, gm;
    char text[40];
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    sprintf(text, "%d argument(s)", argc - 1);
    settextstyle(SANS_SERIF_FONT, HORIZ_DIR, 4);
    setcolor(LIGHTGREEN);
    outtextxy(100, 200, text);
    if (argv[0] == NULL) outtextxy(100, 300, "no program name");
    getch();
    closegraph();
}

// A text menu on the console; the choice is drawn in the window
#include <graphics.h>
#include <conio.h>
#include <stdio.h>

void main()
{
    int gd = DETECT, gm;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    clrscr();
    textcolor(YELLOW);
    gotoxy(10, 2);
    cprintf("SHAPES");
    textcolor(WHITE);
    gotoxy(10, 4); cprintf("1. Circle");
    gotoxy(10, 5); cprintf("2. Square");
    gotoxy(10, 6); cprintf("3. Triangle");
    gotoxy(10, 8); cprintf("Your choice: ");
    int choice;
    do {
        choice = getche();
    } while (choice < '1' || choice > '3');
    setfillstyle(SOLID_FILL, LIGHTRED);
    setcolor(WHITE);
    if (choice == '1') {
        fillellipse(320, 240, 100, 100);
    } else if (choice == '2') {
        bar(220, 140, 420, 340);
    } else {
        int tri[] = { 320, 120, 200, 340, 440, 340, 320, 120 };
        fillpoly(4, tri);
    }
    getch();
    closegraph();
}

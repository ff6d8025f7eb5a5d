// A menu chosen with the arrow keys and Enter
#include <graphics.h>
#include <conio.h>

char *items[] = { "New game", "Load game", "Options", "High scores", "Quit" };

void draw_menu(int selected)
{
    for (int i = 0; i < 5; i++) {
        setfillstyle(SOLID_FILL, i == selected ? BLUE : DARKGRAY);
        bar(220, 100 + i * 50, 420, 140 + i * 50);
        setcolor(i == selected ? YELLOW : WHITE);
        outtextxy(250, 115 + i * 50, items[i]);
    }
}

void main()
{
    int gd = DETECT, gm, selected = 0, key;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    draw_menu(selected);
    do {
        key = getch();
        if (key == 0) {
            key = getch();
            if (key == KEY_UP) selected = (selected + 4) % 5;
            if (key == KEY_DOWN) selected = (selected + 1) % 5;
            draw_menu(selected);
        }
    } while (key != 13);
    setcolor(LIGHTGREEN);
    outtextxy(220, 380, "You chose:");
    outtextxy(320, 380, items[selected]);
    getch();
    closegraph();
}

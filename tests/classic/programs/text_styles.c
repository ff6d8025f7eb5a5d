/* Fonts, sizes, directions and justification */
#include <graphics.h>
#include <conio.h>

void main()
{
    int gd = DETECT, gm, font, y = 10;
    char *names[] = { "Default", "Triplex", "Small", "Sans serif", "Gothic" };

    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    for (font = 0; font < 5; font++) {
        settextstyle(font, HORIZ_DIR, font == 0 ? 2 : 3);
        setcolor(font + 10);
        outtextxy(20, y, names[font]);
        y += textheight(names[font]) + 15;
    }
    settextstyle(DEFAULT_FONT, VERT_DIR, 2);
    setcolor(WHITE);
    outtextxy(600, 40, "Vertical");
    settextstyle(DEFAULT_FONT, HORIZ_DIR, 1);
    settextjustify(RIGHT_TEXT, BOTTOM_TEXT);
    outtextxy(560, 470, "right and bottom");
    settextjustify(CENTER_TEXT, CENTER_TEXT);
    outtextxy(320, 400, "centred");
    getch();
    closegraph();
}

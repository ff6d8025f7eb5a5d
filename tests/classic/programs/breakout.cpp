// Breakout: the paddle follows the arrow keys; the ball clears bricks
#include <graphics.h>
#include <conio.h>
#include <dos.h>
#include <stdio.h>

int bricks[5][10];

void draw_scene(int paddle, int bx, int by, int score)
{
    cleardevice();
    for (int r = 0; r < 5; r++)
        for (int c = 0; c < 10; c++)
            if (bricks[r][c]) {
                setfillstyle(SOLID_FILL, r + 9);
                bar(c * 64 + 2, 40 + r * 20 + 2, c * 64 + 61, 40 + r * 20 + 17);
            }
    setfillstyle(SOLID_FILL, WHITE);
    bar(paddle - 40, 450, paddle + 40, 460);
    setfillstyle(SOLID_FILL, YELLOW);
    setcolor(YELLOW);
    fillellipse(bx, by, 6, 6);
    char text[30];
    sprintf(text, "Score %d", score);
    outtextxy(10, 10, text);
}

void main()
{
    int gd = DETECT, gm, page = 0, paddle = 320, bx = 320, by = 300, dx = 5, dy = -5, score = 0;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    for (int r = 0; r < 5; r++)
        for (int c = 0; c < 10; c++) bricks[r][c] = 1;
    for (int frame = 0; frame < 400; frame++) {
        while (kbhit()) {
            int key = getch();
            if (key == 0) key = getch();
            if (key == KEY_LEFT && paddle > 40) paddle -= 20;
            if (key == KEY_RIGHT && paddle < 600) paddle += 20;
            if (key == 27) frame = 400;
        }
        bx += dx;
        by += dy;
        if (bx < 6 || bx > 633) dx = -dx;
        if (by < 6) dy = -dy;
        if (by > 444 && by < 452 && bx > paddle - 46 && bx < paddle + 46) dy = -dy;
        if (by > 480) { bx = 320; by = 300; dy = -5; }
        int r = (by - 40) / 20, c = bx / 64;
        if (by >= 40 && r < 5 && c < 10 && bricks[r][c]) {
            bricks[r][c] = 0;
            dy = -dy;
            score += 5;
        }
        setactivepage(page);
        draw_scene(paddle, bx, by, score);
        setvisualpage(page);
        page = 1 - page;
        delay(15);
    }
    getch();
    closegraph();
}

// Snake: arrow keys steer, the snake eats the squares, Esc ends
#include <graphics.h>
#include <conio.h>
#include <dos.h>
#include <stdlib.h>
#include <stdio.h>

#define CELL 16
#define COLS 40
#define ROWS 30

int sx[200], sy[200], length = 4;
int foodx = 25, foody = 10, score = 0;

void square(int cx, int cy, int color)
{
    setfillstyle(SOLID_FILL, color);
    bar(cx * CELL + 1, cy * CELL + 1, cx * CELL + CELL - 1, cy * CELL + CELL - 1);
}

void main()
{
    int gd = DETECT, gm, dx = 1, dy = 0, key, i;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    for (i = 0; i < length; i++) { sx[i] = 10 - i; sy[i] = 15; }
    square(foodx, foody, LIGHTRED);
    for (;;) {
        if (kbhit()) {
            key = getch();
            if (key == 27) break;
            if (key == 0) {
                key = getch();
                if (key == KEY_UP && dy == 0) { dx = 0; dy = -1; }
                if (key == KEY_DOWN && dy == 0) { dx = 0; dy = 1; }
                if (key == KEY_LEFT && dx == 0) { dx = -1; dy = 0; }
                if (key == KEY_RIGHT && dx == 0) { dx = 1; dy = 0; }
            }
        }
        square(sx[length - 1], sy[length - 1], BLACK);
        for (i = length - 1; i > 0; i--) { sx[i] = sx[i - 1]; sy[i] = sy[i - 1]; }
        sx[0] = (sx[0] + dx + COLS) % COLS;
        sy[0] = (sy[0] + dy + ROWS) % ROWS;
        if (sx[0] == foodx && sy[0] == foody) {
            length++;
            score += 10;
            foodx = (foodx * 7 + 3) % COLS;
            foody = (foody * 5 + 2) % ROWS;
            square(foodx, foody, LIGHTRED);
        }
        square(sx[0], sy[0], LIGHTGREEN);
        delay(60);
    }
    char text[40];
    sprintf(text, "Score: %d", score);
    setcolor(YELLOW);
    outtextxy(10, 10, text);
    getch();
    closegraph();
}

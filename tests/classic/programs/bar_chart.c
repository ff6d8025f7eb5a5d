/* Bar chart of values typed by the user */
#include <graphics.h>
#include <conio.h>
#include <stdio.h>

void main()
{
    int gd = DETECT, gm;
    int n, i, value[10];
    char label[10];

    printf("How many bars (max 10)? ");
    scanf("%d", &n);
    if (n > 10) n = 10;
    for (i = 0; i < n; i++) {
        printf("Value %d: ", i + 1);
        scanf("%d", &value[i]);
    }
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    setcolor(WHITE);
    line(50, 420, 600, 420);
    line(50, 420, 50, 40);
    for (i = 0; i < n; i++) {
        setfillstyle(i % 11 + 1, i % 14 + 1);
        bar3d(70 + i * 50, 420 - value[i] * 3, 100 + i * 50, 420, 8, 1);
        sprintf(label, "%d", value[i]);
        outtextxy(75 + i * 50, 425, label);
    }
    outtextxy(200, 450, "BAR CHART");
    getch();
    closegraph();
}

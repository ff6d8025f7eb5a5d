// Pie chart of the shares typed in
#include <graphics.h>
#include <iostream.h>
#include <conio.h>
#include <stdio.h>

int main()
{
    int gd = DETECT, gm, n;
    float share[8], total = 0;
    cout << "Number of slices: ";
    cin >> n;
    if (n > 8) n = 8;
    for (int i = 0; i < n; i++) {
        cout << "Share " << i + 1 << ": ";
        cin >> share[i];
        total += share[i];
    }
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    int start = 0;
    char percent[16];
    for (int i = 0; i < n; i++) {
        int end = start + (int)(share[i] * 360 / total + 0.5);
        if (i == n - 1) end = 360;
        setfillstyle(SOLID_FILL, i + 1);
        pieslice(320, 240, start, end, 150);
        setfillstyle(SOLID_FILL, i + 1);
        bar(480, 60 + i * 30, 500, 80 + i * 30);
        sprintf(percent, "%.1f %%", share[i] * 100 / total);
        outtextxy(510, 65 + i * 30, percent);
        start = end;
    }
    getch();
    closegraph();
    return 0;
}

/* Notes on the speaker while the keys of a little piano light up */
#include <graphics.h>
#include <conio.h>
#include <dos.h>
#include <stdio.h>

void main()
{
    int gd = DETECT, gm, i;
    unsigned notes[8] = { 262, 294, 330, 349, 392, 440, 494, 523 };
    struct time t;
    struct date d;

    gettime(&t);
    getdate(&d);
    printf("Started %02d:%02d, year %d\n", t.ti_hour, t.ti_min, d.da_year);
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    for (i = 0; i < 8; i++) {
        setfillstyle(SOLID_FILL, WHITE);
        bar(60 + i * 65, 150, 115 + i * 65, 350);
    }
    for (i = 0; i < 8; i++) {
        setfillstyle(SOLID_FILL, i + 1);
        bar(60 + i * 65, 150, 115 + i * 65, 350);
        sound(notes[i]);
        delay(100);
        nosound();
    }
    getch();
    closegraph();
}

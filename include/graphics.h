// kel: immediate-mode graphics in windows of their own.
//
// A program opens windows with initwindow (or initgraph), draws into the
// current window with the global functions below, and reads its keyboard and
// mouse. Every window runs on a thread of its own and has four off-screen
// pages: drawing goes to the active page, the window shows the visual page.
//
// Coordinates are int pixels relative to the viewport's top-left corner,
// x to the right and y downward; angles are whole degrees counter-clockwise
// from the positive x axis. A colour value is an index 0..15 into the table of
// standard colours or an explicit colour made by COLOR(r, g, b).
//
// The header compiles as C (C99 and later) and as C++. The functions have C
// linkage in both. In C, getmouseclick takes the variables themselves through
// a macro of the same name, as in C++; initwindow, closegraph,
// setmousequeuestatus, readimagefile and writeimagefile are macros that fill
// in the arguments left out; printimage takes all its arguments; the stream
// output (KELout, kelout, outstream, outstreamxy) is C++ only.
#ifndef KEL_GRAPHICS_H
#define KEL_GRAPHICS_H

#include <limits.h>
#include <stddef.h>
#ifdef __cplusplus
#include <sstream>
#define KEL_DEFAULT(value) = value
#else
#include <stdbool.h>
#define KEL_DEFAULT(value)
#endif

#include "kel/export.h"

// The window handle type, declared exactly as the platform declares it, so
// this header can be included before or after the system headers.
struct HWND__;
typedef struct HWND__* HWND;

// ------------------------------------------------------------ named constants
enum colors {
  BLACK,
  BLUE,
  GREEN,
  CYAN,
  RED,
  MAGENTA,
  BROWN,
  LIGHTGRAY,
  DARKGRAY,
  LIGHTBLUE,
  LIGHTGREEN,
  LIGHTCYAN,
  LIGHTRED,
  LIGHTMAGENTA,
  YELLOW,
  WHITE
};
#define MAXCOLORS 15

enum line_styles { SOLID_LINE = 0, DOTTED_LINE, CENTER_LINE, DASHED_LINE, USERBIT_LINE };
enum line_widths { NORM_WIDTH = 1, THICK_WIDTH = 3 };

enum fill_styles {
  EMPTY_FILL = 0,
  SOLID_FILL,
  LINE_FILL,
  LTSLASH_FILL,
  SLASH_FILL,
  BKSLASH_FILL,
  LTBKSLASH_FILL,
  HATCH_FILL,
  XHATCH_FILL,
  INTERLEAVE_FILL,
  WIDE_DOT_FILL,
  CLOSE_DOT_FILL,
  USER_FILL
};

enum font_names {
  DEFAULT_FONT = 0,
  TRIPLEX_FONT,
  SMALL_FONT,
  SANS_SERIF_FONT,
  GOTHIC_FONT,
  SCRIPT_FONT,
  SIMPLEX_FONT,
  TRIPLEX_SCR_FONT,
  COMPLEX_FONT,
  EUROPEAN_FONT,
  BOLD_FONT
};
enum direction { HORIZ_DIR = 0, VERT_DIR = 1 };
#define USER_CHAR_SIZE 0
enum text_just { LEFT_TEXT = 0, CENTER_TEXT = 1, RIGHT_TEXT = 2, BOTTOM_TEXT = 0, TOP_TEXT = 2 };

enum putimage_ops { COPY_PUT = 0, XOR_PUT, OR_PUT, AND_PUT, NOT_PUT };

enum graphics_drivers {
  DETECT = 0,
  CGA,
  MCGA,
  EGA,
  EGA64,
  EGAMONO,
  IBM8514,
  HERCMONO,
  ATT400,
  VGA,
  PC3270
};
enum graphics_modes { VGALO = 0, VGAMED = 1, VGAHI = 2 };

enum graphics_errors {
  grOk = 0,
  grNoInitGraph = -1,
  grNotDetected = -2,
  grFileNotFound = -3,
  grInvalidDriver = -4,
  grNoLoadMem = -5,
  grNoScanMem = -6,
  grNoFloodMem = -7,
  grFontNotFound = -8,
  grNoFontMem = -9,
  grInvalidMode = -10,
  grError = -11,
  grIOerror = -12,
  grInvalidFont = -13,
  grInvalidFontNum = -14,
  grInvalidDeviceNum = -15
};

// Window numbers with a special meaning.
#define CURRENT_WINDOW -1
#define ALL_WINDOWS -2
#define NO_CURRENT_WINDOW -3

// Mouse event kinds (the same tokens as the system headers use).
#ifndef WM_MOUSEMOVE
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MBUTTONDBLCLK 0x0209
#endif

// Codes that getch returns after a 0 byte for the special keys.
#define KEY_HOME 71
#define KEY_UP 72
#define KEY_PGUP 73
#define KEY_LEFT 75
#define KEY_CENTER 76
#define KEY_RIGHT 77
#define KEY_END 79
#define KEY_DOWN 80
#define KEY_PGDN 81
#define KEY_INSERT 82
#define KEY_DELETE 83
#define KEY_F1 59
#define KEY_F2 60
#define KEY_F3 61
#define KEY_F4 62
#define KEY_F5 63
#define KEY_F6 64
#define KEY_F7 65
#define KEY_F8 66
#define KEY_F9 67

// Components (0..255) of a colour value, standard colours resolved.
#define RED_VALUE(v) ((int)(converttorgb(v) & 0xFF))
#define GREEN_VALUE(v) ((int)((converttorgb(v) >> 8) & 0xFF))
#define BLUE_VALUE(v) ((int)((converttorgb(v) >> 16) & 0xFF))

// ------------------------------------------------------------------ records
typedef struct arccoordstype arccoordstype;
struct arccoordstype {
  int x, y;
  int xstart, ystart;
  int xend, yend;
};

typedef struct fillsettingstype fillsettingstype;
struct fillsettingstype {
  int pattern;
  int color;
};

typedef struct linesettingstype linesettingstype;
struct linesettingstype {
  int linestyle;
  unsigned upattern;
  int thickness;
};

typedef struct palettetype palettetype;
struct palettetype {
  unsigned char size;
  signed char colors[MAXCOLORS + 1];
};

typedef struct textsettingstype textsettingstype;
struct textsettingstype {
  int font;
  int direction;
  int charsize;
  int horiz;
  int vert;
};

typedef struct viewporttype viewporttype;
struct viewporttype {
  int left, top, right, bottom;
  int clip;
};

#ifdef __cplusplus
// A string output stream type. Its base is private, so it can neither be
// written to nor passed as a std::ostringstream; use the stream kelout.
class KELout : private virtual std::ostringstream {};

// The stream that outstream and outstreamxy draw by default.
extern KEL_API std::ostringstream kelout;
#endif

// --------------------------------------------------------------- functions
#ifdef __cplusplus
extern "C" {
#endif

// Windows
KEL_API int initwindow(int width, int height, const char* title KEL_DEFAULT("Windows KEL"),
               int left KEL_DEFAULT(0), int top KEL_DEFAULT(0), bool dbflag KEL_DEFAULT(false),
               bool closeflag KEL_DEFAULT(true));
KEL_API void closegraph(int wid KEL_DEFAULT(ALL_WINDOWS));
KEL_API int getcurrentwindow(void);
KEL_API void setcurrentwindow(int window);

// Driver-and-mode interface, error codes
KEL_API void initgraph(int* graphdriver, int* graphmode, const char* pathtodriver);
KEL_API void detectgraph(int* graphdriver, int* graphmode);
KEL_API char* getdrivername(void);
KEL_API char* getmodename(int mode_number);
KEL_API void getmoderange(int graphdriver, int* lomode, int* himode);
KEL_API int getmaxmode(void);
KEL_API int getgraphmode(void);
KEL_API void setgraphmode(int mode);
KEL_API void restorecrtmode(void);
KEL_API int graphresult(void);
KEL_API char* grapherrormsg(int errorcode);
KEL_API void getaspectratio(int* xasp, int* yasp);
KEL_API void setaspectratio(int xasp, int yasp);
KEL_API void graphdefaults(void);

// Pages and refresh
KEL_API void setactivepage(int page);
KEL_API void setvisualpage(int page);
KEL_API int getactivepage(void);
KEL_API int getvisualpage(void);
KEL_API void swapbuffers(void);
KEL_API void refreshkel(int left, int top, int right, int bottom);
KEL_API void refreshallkel(void);
KEL_API bool getrefreshingkel(void);
KEL_API void setrefreshingkel(bool value);
KEL_API void delay(int msec);

// Keyboard
KEL_API int getch(void);
KEL_API int kbhit(void);

// Colours
KEL_API int converttorgb(int color);
KEL_API int COLOR(int r, int g, int b);
KEL_API void setbkcolor(int color);
KEL_API int getbkcolor(void);
KEL_API int getmaxcolor(void);
KEL_API void setcolor(int color);
KEL_API int getcolor(void);

// Line and fill styles
KEL_API void setlinestyle(int linestyle, unsigned upattern, int thickness);
KEL_API void getlinesettings(linesettingstype* lineinfo);
KEL_API void setfillstyle(int pattern, int color);
KEL_API void getfillsettings(fillsettingstype* fillinfo);
KEL_API void setfillpattern(char* upattern, int color);
KEL_API void getfillpattern(char* pattern);
KEL_API void setwritemode(int mode);

// Viewport, current position, sizes
KEL_API void setviewport(int left, int top, int right, int bottom, int clip);
KEL_API void getviewsettings(viewporttype* viewport);
KEL_API void moveto(int x, int y);
KEL_API void moverel(int dx, int dy);
KEL_API int getx(void);
KEL_API int gety(void);
KEL_API int getmaxx(void);
KEL_API int getmaxy(void);
KEL_API int getmaxwidth(void);
KEL_API int getmaxheight(void);
KEL_API int getwindowwidth(void);
KEL_API int getwindowheight(void);

// Drawing
KEL_API void putpixel(int x, int y, int color);
KEL_API int getpixel(int x, int y);
KEL_API int getdisplaycolor(int color);
KEL_API void line(int x1, int y1, int x2, int y2);
KEL_API void lineto(int x, int y);
KEL_API void linerel(int dx, int dy);
KEL_API void rectangle(int left, int top, int right, int bottom);
KEL_API void drawpoly(int n_points, int* points);
KEL_API void fillpoly(int n_points, int* points);
KEL_API void bar(int left, int top, int right, int bottom);
KEL_API void bar3d(int left, int top, int right, int bottom, int depth, int topflag);
KEL_API void circle(int x, int y, int radius);
KEL_API void arc(int x, int y, int stangle, int endangle, int radius);
KEL_API void ellipse(int x, int y, int stangle, int endangle, int xradius, int yradius);
KEL_API void fillellipse(int x, int y, int xradius, int yradius);
KEL_API void pieslice(int x, int y, int stangle, int endangle, int radius);
KEL_API void sector(int x, int y, int stangle, int endangle, int xradius, int yradius);
KEL_API void floodfill(int x, int y, int border);
KEL_API void cleardevice(void);
KEL_API void clearviewport(void);
KEL_API void getarccoords(arccoordstype* arccoords);

// Palette (the 16 standard colours are fixed)
KEL_API palettetype* getdefaultpalette(void);
KEL_API int getpalettesize(void);
KEL_API void getpalette(palettetype* palette);
KEL_API void setallpalette(palettetype* palette);
KEL_API void setpalette(int colornum, int color);
KEL_API void setrgbpalette(int colornum, int red, int green, int blue);

// Text
KEL_API void settextstyle(int font, int direction, int charsize);
KEL_API void setusercharsize(int multx, int divx, int multy, int divy);
KEL_API void settextjustify(int horiz, int vert);
KEL_API void gettextsettings(textsettingstype* texttypeinfo);
KEL_API void outtext(const char* textstring);
KEL_API void outtextxy(int x, int y, const char* textstring);
KEL_API int textwidth(const char* textstring);
KEL_API int textheight(const char* textstring);

// Images in memory
KEL_API unsigned imagesize(int left, int top, int right, int bottom);
KEL_API void getimage(int left, int top, int right, int bottom, void* bitmap);
KEL_API void putimage(int left, int top, void* bitmap, int op);

// Image files, BMP files, printing. A null filename asks the user.
KEL_API void readimagefile(const char* filename KEL_DEFAULT(NULL), int left KEL_DEFAULT(0),
                   int top KEL_DEFAULT(0), int right KEL_DEFAULT(INT_MAX),
                   int bottom KEL_DEFAULT(INT_MAX));
KEL_API void writeimagefile(const char* filename KEL_DEFAULT(NULL), int left KEL_DEFAULT(0),
                    int top KEL_DEFAULT(0), int right KEL_DEFAULT(INT_MAX),
                    int bottom KEL_DEFAULT(INT_MAX), bool active KEL_DEFAULT(true),
                    HWND hwnd KEL_DEFAULT(NULL));
KEL_API unsigned short SaveDIB(void* hDib, const char* lpFileName);
KEL_API void* ReadDIBFile(void* hFile);
KEL_API void* LoadDIB(const char* lpFileName);
KEL_API unsigned short DestroyDIB(void* hDib);
KEL_API void printimage(const char* title KEL_DEFAULT(NULL), double width_inches KEL_DEFAULT(7),
                double border_left_inches KEL_DEFAULT(0.75),
                double border_top_inches KEL_DEFAULT(0.75), int left KEL_DEFAULT(0),
                int top KEL_DEFAULT(0), int right KEL_DEFAULT(INT_MAX),
                int bottom KEL_DEFAULT(INT_MAX), bool active KEL_DEFAULT(true),
                HWND hwnd KEL_DEFAULT(NULL));

// Mouse
KEL_API void setmousequeuestatus(int kind, bool status KEL_DEFAULT(true));
KEL_API void registermousehandler(int kind, void (*h)(int x, int y));
KEL_API bool ismouseclick(int kind);
#ifdef __cplusplus
KEL_API void getmouseclick(int kind, int& x, int& y);
#endif
// The event's coordinates through pointers: what getmouseclick does in C.
KEL_API void kel_getmouseclick(int kind, int* x, int* y);
KEL_API void clearmouseclick(int kind);
KEL_API int mousex(void);
KEL_API int mousey(void);

#ifdef __cplusplus
}  // extern "C"

// Stream text output (C++ linkage: they take C++ streams).
KEL_API void outstreamxy(int x, int y, std::ostringstream& out = kelout);
KEL_API void outstream(std::ostringstream& out = kelout);
#else
// C: the same calls as in C++, arguments left out take their defaults.
// KEL__ARGN picks the name in the position given by the number of arguments.
#define KEL__ARGN(a1, a2, a3, a4, a5, a6, a7, name, ...) name
#define getmouseclick(kind, x, y) kel_getmouseclick((kind), &(x), &(y))
#define closegraph(...)  \
  (closegraph)(((int[]){ \
      ALL_WINDOWS, __VA_ARGS__})[sizeof((int[]){ALL_WINDOWS, __VA_ARGS__}) / sizeof(int) - 1])
#define setmousequeuestatus(...) \
  KEL__ARGN(__VA_ARGS__, , , , , , KEL__MQS2, KEL__MQS1, )(__VA_ARGS__)
#define KEL__MQS1(kind) (setmousequeuestatus)(kind, true)
#define KEL__MQS2(kind, status) (setmousequeuestatus)(kind, status)
#define initwindow(...)                                                                  \
  KEL__ARGN(__VA_ARGS__, KEL__IW7, KEL__IW6, KEL__IW5, KEL__IW4, KEL__IW3, KEL__IW2, , ) \
  (__VA_ARGS__)
#define KEL__IW2(w, h) KEL__IW3(w, h, "Windows KEL")
#define KEL__IW3(w, h, t) KEL__IW5(w, h, t, 0, 0)
#define KEL__IW4(w, h, t, l) KEL__IW5(w, h, t, l, 0)
#define KEL__IW5(w, h, t, l, tp) KEL__IW6(w, h, t, l, tp, false)
#define KEL__IW6(w, h, t, l, tp, db) KEL__IW7(w, h, t, l, tp, db, true)
#define KEL__IW7(w, h, t, l, tp, db, cf) (initwindow)(w, h, t, l, tp, db, cf)
#define readimagefile(...)                                                            \
  KEL__ARGN(__VA_ARGS__, , , KEL__RIF5, KEL__RIF4, KEL__RIF3, KEL__RIF2, KEL__RIF1, ) \
  (__VA_ARGS__)
#define KEL__RIF1(f) KEL__RIF3(f, 0, 0)
#define KEL__RIF2(f, l) KEL__RIF3(f, l, 0)
#define KEL__RIF3(f, l, t) KEL__RIF4(f, l, t, INT_MAX)
#define KEL__RIF4(f, l, t, r) KEL__RIF5(f, l, t, r, INT_MAX)
#define KEL__RIF5(f, l, t, r, b) (readimagefile)(f, l, t, r, b)
#define writeimagefile(...)                                                                \
  KEL__ARGN(__VA_ARGS__, KEL__WIF7, KEL__WIF6, KEL__WIF5, KEL__WIF4, KEL__WIF3, KEL__WIF2, \
            KEL__WIF1, )                                                                   \
  (__VA_ARGS__)
#define KEL__WIF1(f) KEL__WIF3(f, 0, 0)
#define KEL__WIF2(f, l) KEL__WIF3(f, l, 0)
#define KEL__WIF3(f, l, t) KEL__WIF4(f, l, t, INT_MAX)
#define KEL__WIF4(f, l, t, r) KEL__WIF5(f, l, t, r, INT_MAX)
#define KEL__WIF5(f, l, t, r, b) KEL__WIF6(f, l, t, r, b, true)
#define KEL__WIF6(f, l, t, r, b, a) KEL__WIF7(f, l, t, r, b, a, NULL)
#define KEL__WIF7(f, l, t, r, b, a, h) (writeimagefile)(f, l, t, r, b, a, h)
#endif

// The library also defines C++ overloads taking `char*` where the functions
// above take `const char*` (initwindow, outtext, outtextxy, textwidth,
// textheight, readimagefile, writeimagefile), so that a program that declares
// its own prototypes with `char*` links. They are deliberately not declared
// here: next to the `const char*` forms they would make a call with NULL
// ambiguous.

#endif  // KEL_GRAPHICS_H

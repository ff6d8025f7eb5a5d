// Every public function called with extreme, null and foreign-handle
// arguments. The calls are generated from each function's own signature:
// every parameter in turn takes each hostile value of its type while the
// others keep an ordinary one, then all parameters take the lowest and the
// highest values at once. The hostile-arguments test runs the sweep (no call
// may crash or hang) and checks that it reaches every function the public
// headers declare; the hostile-arguments benchmark times each call.
#ifndef KEL_TESTS_HOSTILE_SWEEP_H
#define KEL_TESTS_HOSTILE_SWEEP_H

#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

// The platform's header before the companions of classic programs, which
// rename some of its calls; the error box's header last, as it takes back
// the name MessageBox.
#include "platform_testing.h"
#include "graphics.h"
#include "kel/dibutil.h"
#include "kel/compat/conio.h"
#include "kel/compat/dos.h"
#include "kel/compat/windows.h"
#include "kel/errorbox.h"

namespace kel_hostile {

// Functions the sweep leaves out: those that wait as long as they are asked
// to (or for a key), by design, and on Windows the memory-block calls, which
// the public headers declare for other platforms only: there they are the
// system's own.
inline const std::set<std::string>& unswept_functions() {
  static const std::set<std::string> names = {
    "getch", "getche", "delay", "kel_Sleep",
#ifdef _WIN32
    "GlobalLock", "GlobalUnlock", "GlobalFree",
#endif
  };
  return names;
}

// A handle that no table of the library has ever given out.
template <typename H>
H foreign_handle() {
  return reinterpret_cast<H>(uintptr_t(0x5A5A5A));
}

// A memory handle that was given out and freed again.
inline HANDLE stale_handle() {
  static HANDLE handle = [] {
    HANDLE block = GlobalAlloc(GHND, 16);
    GlobalFree(block);
    return block;
  }();
  return handle;
}

// While set, `void*` parameters are handles (HANDLE, HGLOBAL) and also take
// foreign and stale values; otherwise they are memory the caller owns, for
// which only null is a value we can refuse.
inline bool& void_pointers_are_handles() {
  static bool on = false;
  return on;
}

// The hostile values of each parameter type and an ordinary one.
template <typename T>
struct Values;
// Both ends of the range, their neighbours, -1 and 0.
template <typename T>
struct Integers {
  static std::vector<T> hostile() {
    const T low = std::numeric_limits<T>::min(), high = std::numeric_limits<T>::max();
    if constexpr (std::is_signed_v<T>) return {low, T(low + 1), T(-1), T(0), T(high - 1), high};
    return {low, T(1), T(high - 1), high};
  }
};
template <>
struct Values<int> : Integers<int> {
  static int ordinary() { return 10; }
};
template <>
struct Values<unsigned> {
  static std::vector<unsigned> hostile() { return {0u, 0x8000u, UINT_MAX}; }
  static unsigned ordinary() { return 0xFFFFu; }
};
template <>
struct Values<unsigned short> : Integers<unsigned short> {
  static unsigned short ordinary() { return 8; }
};
template <>
struct Values<long> : Integers<long> {
  static long ordinary() { return 0; }
};
template <>
struct Values<unsigned long> : Integers<unsigned long> {
  static unsigned long ordinary() { return 0; }
};
// Message parameters on 64-bit Windows.
template <>
struct Values<long long> : Integers<long long> {
  static long long ordinary() { return 0; }
};
template <>
struct Values<unsigned long long> : Integers<unsigned long long> {
  static unsigned long long ordinary() { return 0; }
};
template <>
struct Values<bool> {
  static std::vector<bool> hostile() { return {false, true}; }
  static bool ordinary() { return true; }
};
template <>
struct Values<double> {
  static std::vector<double> hostile() { return {-1e308, -1, 0, 1e308}; }
  static double ordinary() { return 1; }
};
template <>
struct Values<BITMAPINFOHEADER> {
  static BITMAPINFOHEADER header(LONG width, LONG height, WORD bits) {
    BITMAPINFOHEADER h;
    std::memset(&h, 0, sizeof h);
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    return h;
  }
  static std::vector<BITMAPINFOHEADER> hostile() {
    BITMAPINFOHEADER zero, ones;
    std::memset(&zero, 0, sizeof zero);
    std::memset(&ones, 0xFF, sizeof ones);
    return {zero, header(INT_MIN, INT_MIN, 1), header(INT_MAX, INT_MAX, 32),
            header(10, 10, 0xFFFF), ones};
  }
  static BITMAPINFOHEADER ordinary() { return header(10, 10, 24); }
};
// Window and GDI handles: null, and handles the library never gave out.
template <typename H>
struct Handles {
  static std::vector<H> hostile() { return {nullptr, foreign_handle<H>()}; }
  static H ordinary() { return nullptr; }
};
template <>
struct Values<HWND> : Handles<HWND> {};
template <>
struct Values<HDC> : Handles<HDC> {};
template <>
struct Values<HBITMAP> : Handles<HBITMAP> {};
template <>
struct Values<HPALETTE> : Handles<HPALETTE> {};
template <>
struct Values<void*> {
  static std::vector<void*> hostile() {
    if (!void_pointers_are_handles()) return {nullptr};
    return {nullptr, stale_handle(), foreign_handle<void*>()};
  }
  static void* ordinary() { return nullptr; }
};
// Other pointers: null only (a pointer to too little memory is the caller's
// fault, not a hostile argument we can refuse).
template <typename T>
struct Values<T*> {
  static std::vector<T*> hostile() { return {nullptr}; }
  static T* ordinary() { return nullptr; }
};
// Out-parameters by reference get a variable.
template <>
struct Values<int&> {
  static std::vector<std::reference_wrapper<int>> hostile() { return {std::ref(slot())}; }
  static int& ordinary() { return slot(); }
  static int& slot() {
    static int value;
    return value;
  }
};
template <>
struct Values<std::ostringstream&> {
  static std::vector<std::reference_wrapper<std::ostringstream>> hostile() { return {std::ref(kelout)}; }
  static std::ostringstream& ordinary() { return kelout; }
};

// How a value shows in a call's description.
template <typename V>
std::string describe(const V& value) {
  if constexpr (std::is_same_v<V, bool>) {
    return value ? "true" : "false";
  } else if constexpr (std::is_arithmetic_v<V>) {
    std::ostringstream text;
    text << value;
    return text.str();
  } else if constexpr (std::is_pointer_v<V>) {
    return value ? "handle/pointer " + std::to_string(uintptr_t(value)) : "null";
  } else if constexpr (std::is_same_v<V, BITMAPINFOHEADER>) {
    return "header " + std::to_string(value.biWidth) + "x" + std::to_string(value.biHeight) + "x" +
           std::to_string(value.biBitCount);
  } else {
    return "variable";
  }
}

// Runs each call through `runner`, which may time it; by default it is just
// made.
using Runner = std::function<void(const std::string& call, const std::function<void()>& body)>;

class Sweep {
 public:
  explicit Sweep(Runner runner = nullptr) : runner_(std::move(runner)) {}

  template <typename R, typename... Args>
  void run(const char* name, R (*function)(Args...)) {
    swept_.insert(name);
    sweep_each(name, function, std::index_sequence_for<Args...>{});
    call(std::string(name) + "(all lowest)", [&] { function(extreme<Args>(false)...); });
    call(std::string(name) + "(all highest)", [&] { function(extreme<Args>(true)...); });
  }
  // A function with a variable argument list, called with its fixed ones.
  template <typename R, typename... Args>
  void run(const char* name, R (*function)(Args..., ...)) {
    run_fixed(name, function, static_cast<R (*)(Args...)>(nullptr));
  }
  // A function whose `void*` parameters are handles.
  template <typename F>
  void run_handles(const char* name, F function) {
    void_pointers_are_handles() = true;
    run(name, function);
    void_pointers_are_handles() = false;
  }
  const std::set<std::string>& swept() const { return swept_; }
  int calls() const { return calls_; }

 private:
  template <typename R, typename... Args>
  void run_fixed(const char* name, R (*variadic)(Args..., ...), R (*)(Args...)) {
    static R (*target)(Args..., ...);
    target = variadic;
    run(name, +[](Args... args) -> R { return target(args...); });
  }

  template <typename T>
  static T extreme(bool high) {
    auto values = Values<T>::hostile();
    if constexpr (std::is_reference_v<T>) {
      return values.front().get();
    } else {
      return high ? values.back() : values.front();
    }
  }

  template <typename R, typename... Args, size_t... I>
  void sweep_each([[maybe_unused]] const char* name, [[maybe_unused]] R (*function)(Args...),
                  std::index_sequence<I...>) {
    (sweep_parameter<I>(name, function), ...);
  }

  // Parameter I takes each hostile value; the others their ordinary one.
  template <size_t I, typename R, typename... Args>
  void sweep_parameter(const char* name, R (*function)(Args...)) {
    using T = std::tuple_element_t<I, std::tuple<Args...>>;
    for (auto value : Values<T>::hostile()) {
      std::string text = std::string(name) + "(argument " + std::to_string(I + 1) + " = " +
                         describe(value) + ")";
      call(text, [&] { invoke_with<I>(function, value, std::index_sequence_for<Args...>{}); });
    }
  }

  template <size_t I, typename R, typename... Args, typename V, size_t... J>
  static void invoke_with(R (*function)(Args...), V value, std::index_sequence<J...>) {
    function(pick<J == I, Args>(value)...);
  }

  template <bool Chosen, typename T, typename V>
  static T pick(V value) {
    if constexpr (!Chosen) {
      return Values<T>::ordinary();
    } else if constexpr (std::is_reference_v<T>) {
      return value.get();
    } else {
      return static_cast<T>(value);
    }
  }

  void call(const std::string& text, const std::function<void()>& body) {
    ++calls_;
    if (runner_)
      runner_(text, body);
    else
      body();
  }

  Runner runner_;
  std::set<std::string> swept_;
  int calls_ = 0;
};

inline void ignore_mouse(int, int) {}

// A small printer, so that pages printed with hostile sizes stay cheap. The
// Windows testing interface has no virtual printers: it cancels every print
// dialog, so printimage returns before it prints.
inline void use_small_printer() {
#ifndef _WIN32
  kelplat::testing::VirtualPrinter printer;
  printer.name = "sweep";
  printer.dpi_x = printer.dpi_y = 50;
  printer.width = printer.height = 200;
  kelplat::testing::set_virtual_printers({printer}, printer.name);
  kelplat::testing::set_print_dialog_handler([](const std::vector<std::string>&, int) { return 0; });
#endif
}

inline void forget_small_printer() {
#ifndef _WIN32
  kelplat::testing::take_printed_jobs();
  kelplat::testing::set_print_dialog_handler(nullptr);
  kelplat::testing::use_system_printers();
#endif
}

#define KEL_SWEEP(function) sweep.run(#function, function)
#define KEL_SWEEP_AS(function, type) sweep.run(#function, static_cast<type>(function))
#define KEL_SWEEP_HANDLES(function) sweep.run_handles(#function, function)

// The graphics functions: state, pages, primitives, palette, text, images,
// files, mouse and streams. A 120 x 90 window is current.
inline void sweep_graphics(Sweep& sweep) {
  KEL_SWEEP(getcurrentwindow);
  KEL_SWEEP(detectgraph);
  KEL_SWEEP(getdrivername);
  KEL_SWEEP(getmodename);
  KEL_SWEEP(getmoderange);
  KEL_SWEEP(getmaxmode);
  KEL_SWEEP(getgraphmode);
  KEL_SWEEP(graphresult);
  KEL_SWEEP(grapherrormsg);
  KEL_SWEEP(getaspectratio);
  KEL_SWEEP(setaspectratio);
  KEL_SWEEP(graphdefaults);
  KEL_SWEEP(setactivepage);
  KEL_SWEEP(setvisualpage);
  KEL_SWEEP(getactivepage);
  KEL_SWEEP(getvisualpage);
  KEL_SWEEP(swapbuffers);
  KEL_SWEEP(refreshkel);
  KEL_SWEEP(refreshallkel);
  KEL_SWEEP(getrefreshingkel);
  KEL_SWEEP(setrefreshingkel);
  KEL_SWEEP(kbhit);
  KEL_SWEEP(converttorgb);
  KEL_SWEEP(COLOR);
  KEL_SWEEP(setbkcolor);
  KEL_SWEEP(getbkcolor);
  KEL_SWEEP(getmaxcolor);
  KEL_SWEEP(setcolor);
  KEL_SWEEP(getcolor);
  KEL_SWEEP(setlinestyle);
  KEL_SWEEP(getlinesettings);
  KEL_SWEEP(setfillstyle);
  KEL_SWEEP(getfillsettings);
  KEL_SWEEP(setfillpattern);
  KEL_SWEEP(getfillpattern);
  KEL_SWEEP(setwritemode);
  KEL_SWEEP(setviewport);
  KEL_SWEEP(getviewsettings);
  KEL_SWEEP(moveto);
  KEL_SWEEP(moverel);
  KEL_SWEEP(getx);
  KEL_SWEEP(gety);
  KEL_SWEEP(getmaxx);
  KEL_SWEEP(getmaxy);
  KEL_SWEEP(getmaxwidth);
  KEL_SWEEP(getmaxheight);
  KEL_SWEEP(getwindowwidth);
  KEL_SWEEP(getwindowheight);
  setviewport(0, 0, 119, 89, 1);
  KEL_SWEEP(putpixel);
  KEL_SWEEP(getpixel);
  KEL_SWEEP(getdisplaycolor);
  KEL_SWEEP(line);
  KEL_SWEEP(lineto);
  KEL_SWEEP(linerel);
  KEL_SWEEP(rectangle);
  KEL_SWEEP(drawpoly);
  KEL_SWEEP(fillpoly);
  KEL_SWEEP(bar);
  KEL_SWEEP(bar3d);
  KEL_SWEEP(circle);
  KEL_SWEEP(arc);
  KEL_SWEEP(ellipse);
  KEL_SWEEP(fillellipse);
  KEL_SWEEP(pieslice);
  KEL_SWEEP(sector);
  KEL_SWEEP(floodfill);
  KEL_SWEEP(cleardevice);
  KEL_SWEEP(clearviewport);
  KEL_SWEEP(getarccoords);
  KEL_SWEEP(getdefaultpalette);
  KEL_SWEEP(getpalettesize);
  KEL_SWEEP(getpalette);
  KEL_SWEEP(setallpalette);
  KEL_SWEEP(setpalette);
  KEL_SWEEP(setrgbpalette);
  KEL_SWEEP(settextstyle);
  KEL_SWEEP(setusercharsize);
  KEL_SWEEP(settextjustify);
  KEL_SWEEP(gettextsettings);
  settextstyle(DEFAULT_FONT, HORIZ_DIR, 1);
  KEL_SWEEP_AS(outtext, void (*)(const char*));
  KEL_SWEEP_AS(outtextxy, void (*)(int, int, const char*));
  KEL_SWEEP_AS(textwidth, int (*)(const char*));
  KEL_SWEEP_AS(textheight, int (*)(const char*));
  KEL_SWEEP(imagesize);
  KEL_SWEEP(getimage);
  KEL_SWEEP(putimage);
  KEL_SWEEP_AS(readimagefile, void (*)(const char*, int, int, int, int));
  KEL_SWEEP_AS(writeimagefile, void (*)(const char*, int, int, int, int, bool, HWND));
  KEL_SWEEP(printimage);
  KEL_SWEEP_HANDLES(SaveDIB);
  KEL_SWEEP_HANDLES(ReadDIBFile);
  KEL_SWEEP(LoadDIB);
  KEL_SWEEP_HANDLES(DestroyDIB);
  KEL_SWEEP(setmousequeuestatus);
  registermousehandler(WM_LBUTTONDOWN, ignore_mouse);
  KEL_SWEEP(registermousehandler);
  KEL_SWEEP(ismouseclick);
  KEL_SWEEP(getmouseclick);
  KEL_SWEEP(kel_getmouseclick);
  KEL_SWEEP(clearmouseclick);
  KEL_SWEEP(mousex);
  KEL_SWEEP(mousey);
  KEL_SWEEP(outstreamxy);
  KEL_SWEEP(outstream);
}

// The DIB utilities, the error box and its companions, the memory blocks.
inline void sweep_utilities(Sweep& sweep) {
  KEL_SWEEP_HANDLES(GetObject);
  KEL_SWEEP(BitmapToDIB);
  KEL_SWEEP(DIBWidth);
  KEL_SWEEP(DIBHeight);
  KEL_SWEEP(DIBNumColors);
  KEL_SWEEP(PaletteSize);
  KEL_SWEEP(FindDIBBits);
  KEL_SWEEP_HANDLES(CreateDIBPalette);
  KEL_SWEEP(PalEntriesOnDevice);
  KEL_SWEEP(GetSystemPalette);
  KEL_SWEEP(AllocRoomForDIB);
  KEL_SWEEP(ChangeBitmapFormat);
  KEL_SWEEP(CreateDIB);
  KEL_SWEEP_HANDLES(DIBToBitmap);
  KEL_SWEEP_HANDLES(ChangeDIBFormat);
  KEL_SWEEP(showerrorbox);
  KEL_SWEEP(FormatMessage);
  KEL_SWEEP(SendMessage);
  KEL_SWEEP(MessageBox);
#ifndef _WIN32
  KEL_SWEEP_HANDLES(GlobalLock);
  KEL_SWEEP_HANDLES(GlobalUnlock);
  KEL_SWEEP_HANDLES(GlobalFree);
#endif
}

// The DOS console and time functions and the Windows companions of classic
// programs.
inline void sweep_classic(Sweep& sweep) {
  KEL_SWEEP(clrscr);
  KEL_SWEEP(clreol);
  KEL_SWEEP(gotoxy);
  KEL_SWEEP(textcolor);
  KEL_SWEEP(textbackground);
  KEL_SWEEP(normvideo);
  KEL_SWEEP(cprintf);
  KEL_SWEEP(cputs);
  KEL_SWEEP(putch);
  normvideo();
  KEL_SWEEP(kel_gettime);
  KEL_SWEEP(kel_getdate);
  KEL_SWEEP(kel_itoa);
  KEL_SWEEP(kel_sound);
  KEL_SWEEP(kel_nosound);
  KEL_SWEEP(kel_GetAsyncKeyState);
  KEL_SWEEP(kel_GetSystemMetrics);
  KEL_SWEEP(kel_GetCursorPos);
  KEL_SWEEP(kel_MessageBox);
}

// The window functions last: these open and close windows. closegraph comes
// before the calls that open windows whose close request ends the process
// (initgraph's, and initwindow's with closeflag true): those stay open.
inline void sweep_windows(Sweep& sweep) {
  KEL_SWEEP(setgraphmode);
  KEL_SWEEP(restorecrtmode);
  KEL_SWEEP(closegraph);
  KEL_SWEEP(setcurrentwindow);
  KEL_SWEEP(initgraph);
  KEL_SWEEP_AS(initwindow, int (*)(int, int, const char*, int, int, bool, bool));
}

// The whole sweep, with the dialogs, boxes and printers it reaches answered
// by stand-ins. The windows it leaves open end the process if closed.
inline void sweep_every_public_function(Sweep& sweep) {
  kelplat::testing::set_file_dialog_handler([](OPENFILENAMEA*, bool) { return false; });
  kelplat::testing::set_message_box_handler(
      [](const std::string&, const std::string&, unsigned) { return IDOK; });
  use_small_printer();
  initwindow(120, 90, "sweep", 0, 0, false, false);
  sweep_graphics(sweep);
  sweep_utilities(sweep);
  sweep_classic(sweep);
  sweep_windows(sweep);
  forget_small_printer();
  kelplat::testing::set_message_box_handler(nullptr);
  kelplat::testing::set_file_dialog_handler(nullptr);
}

#undef KEL_SWEEP
#undef KEL_SWEEP_AS
#undef KEL_SWEEP_HANDLES

}  // namespace kel_hostile

#endif  // KEL_TESTS_HOSTILE_SWEEP_H

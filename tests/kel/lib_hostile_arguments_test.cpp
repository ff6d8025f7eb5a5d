// Every public function called with extreme, null and foreign-handle
// arguments. The calls are generated from each function's own signature:
// every parameter in turn takes each hostile value of its type while the
// others keep an ordinary one, then all parameters take the lowest and the
// highest values at once. No call may crash or hang; calls that take longer
// than 50 ms are listed (the work itself is that large).
#include <chrono>
#include <climits>
#include <cstdio>
#include <functional>
#include <sstream>
#include <type_traits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "lib_test_support.h"

using namespace kel_test;

namespace {

HWND foreign_window() { return reinterpret_cast<HWND>(uintptr_t(0x5A5A5A)); }

// The hostile values of each parameter type and an ordinary one.
template <typename T>
struct Values;
template <>
struct Values<int> {
  static std::vector<int> hostile() { return {INT_MIN, INT_MIN + 1, -1, 0, INT_MAX - 1, INT_MAX}; }
  static int ordinary() { return 10; }
};
template <>
struct Values<unsigned> {
  static std::vector<unsigned> hostile() { return {0u, 0x8000u, UINT_MAX}; }
  static unsigned ordinary() { return 0xFFFFu; }
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
struct Values<HWND> {
  static std::vector<HWND> hostile() { return {nullptr, foreign_window()}; }
  static HWND ordinary() { return nullptr; }
};
// Pointers: null only (a pointer to too little memory is the caller's
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

struct SlowCall {
  std::string name;
  double ms;
};

class Sweep {
 public:
  template <typename R, typename... Args>
  void run(const char* name, R (*function)(Args...)) {
    sweep_each(name, function, std::index_sequence_for<Args...>{});
    call(name, [&] { function(extreme<Args>(false)...); });
    call(name, [&] { function(extreme<Args>(true)...); });
  }
  const std::vector<SlowCall>& slow() const { return slow_; }
  int calls() const { return calls_; }

 private:
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
      call(name, [&] { invoke_with<I>(function, value, std::index_sequence_for<Args...>{}); });
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

  template <typename Call>
  void call(const char* name, Call&& body) {
    auto start = std::chrono::steady_clock::now();
    body();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
    ++calls_;
    if (ms > 50) slow_.push_back({name, ms});
  }

  std::vector<SlowCall> slow_;
  int calls_ = 0;
};

void ignore_mouse(int, int) {}

#define SWEEP(function) sweep.run(#function, function)
#define SWEEP_AS(function, type) sweep.run(#function, static_cast<type>(function))

}  // namespace

TEST(HostileArguments, EveryPublicFunctionSurvivesExtremeNullAndForeignArguments) {
  kelplat::testing::set_file_dialog_handler([](OPENFILENAMEA*, bool) { return false; });
  open_window(120, 90);
  Sweep sweep;
  // Drawing state, pages and modes.
  SWEEP(getcurrentwindow);
  SWEEP(detectgraph);
  SWEEP(getdrivername);
  SWEEP(getmodename);
  SWEEP(getmoderange);
  SWEEP(getmaxmode);
  SWEEP(getgraphmode);
  SWEEP(graphresult);
  SWEEP(grapherrormsg);
  SWEEP(getaspectratio);
  SWEEP(setaspectratio);
  SWEEP(graphdefaults);
  SWEEP(setactivepage);
  SWEEP(setvisualpage);
  SWEEP(getactivepage);
  SWEEP(getvisualpage);
  SWEEP(swapbuffers);
  SWEEP(refreshkel);
  SWEEP(refreshallkel);
  SWEEP(getrefreshingkel);
  SWEEP(setrefreshingkel);
  SWEEP(kbhit);
  SWEEP(converttorgb);
  SWEEP(COLOR);
  SWEEP(setbkcolor);
  SWEEP(getbkcolor);
  SWEEP(getmaxcolor);
  SWEEP(setcolor);
  SWEEP(getcolor);
  SWEEP(setlinestyle);
  SWEEP(getlinesettings);
  SWEEP(setfillstyle);
  SWEEP(getfillsettings);
  SWEEP(setfillpattern);
  SWEEP(getfillpattern);
  SWEEP(setwritemode);
  SWEEP(setviewport);
  SWEEP(getviewsettings);
  SWEEP(moveto);
  SWEEP(moverel);
  SWEEP(getx);
  SWEEP(gety);
  SWEEP(getmaxx);
  SWEEP(getmaxy);
  SWEEP(getmaxwidth);
  SWEEP(getmaxheight);
  SWEEP(getwindowwidth);
  SWEEP(getwindowheight);
  setviewport(0, 0, 119, 89, 1);
  // Primitives.
  SWEEP(putpixel);
  SWEEP(getpixel);
  SWEEP(getdisplaycolor);
  SWEEP(line);
  SWEEP(lineto);
  SWEEP(linerel);
  SWEEP(rectangle);
  SWEEP(drawpoly);
  SWEEP(fillpoly);
  SWEEP(bar);
  SWEEP(bar3d);
  SWEEP(circle);
  SWEEP(arc);
  SWEEP(ellipse);
  SWEEP(fillellipse);
  SWEEP(pieslice);
  SWEEP(sector);
  SWEEP(floodfill);
  SWEEP(cleardevice);
  SWEEP(clearviewport);
  SWEEP(getarccoords);
  // Palette and text.
  SWEEP(getdefaultpalette);
  SWEEP(getpalettesize);
  SWEEP(getpalette);
  SWEEP(setallpalette);
  SWEEP(setpalette);
  SWEEP(setrgbpalette);
  SWEEP(settextstyle);
  SWEEP(setusercharsize);
  SWEEP(settextjustify);
  SWEEP(gettextsettings);
  settextstyle(DEFAULT_FONT, HORIZ_DIR, 1);
  SWEEP_AS(outtext, void (*)(const char*));
  SWEEP_AS(outtextxy, void (*)(int, int, const char*));
  SWEEP_AS(textwidth, int (*)(const char*));
  SWEEP_AS(textheight, int (*)(const char*));
  // Images, files, mouse, streams.
  SWEEP(imagesize);
  SWEEP(getimage);
  SWEEP(putimage);
  SWEEP_AS(readimagefile, void (*)(const char*, int, int, int, int));
  SWEEP_AS(writeimagefile, void (*)(const char*, int, int, int, int, bool, HWND));
  SWEEP(SaveDIB);
  SWEEP(ReadDIBFile);
  SWEEP(LoadDIB);
  SWEEP(DestroyDIB);
  SWEEP(setmousequeuestatus);
  registermousehandler(WM_LBUTTONDOWN, ignore_mouse);
  SWEEP(registermousehandler);
  SWEEP(ismouseclick);
  SWEEP(getmouseclick);
  SWEEP(clearmouseclick);
  SWEEP(mousex);
  SWEEP(mousey);
  SWEEP(outstreamxy);
  SWEEP(outstream);
  // Windows last: these open and close windows. (getch and delay wait as
  // long as they are asked to, by design, and are left out.)
  SWEEP(setgraphmode);
  SWEEP(restorecrtmode);
  SWEEP(initgraph);
  SWEEP(setcurrentwindow);
  SWEEP_AS(initwindow, int (*)(int, int, const char*, int, int, bool, bool));
  SWEEP(closegraph);
  kelplat::testing::set_file_dialog_handler(nullptr);

  EXPECT_GT(sweep.calls(), 1000);
  for (const SlowCall& slow : sweep.slow())
    std::printf("slow call: %s took %.0f ms\n", slow.name.c_str(), slow.ms);
}

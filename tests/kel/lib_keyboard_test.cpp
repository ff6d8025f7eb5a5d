// Keyboard input: the bytes that characters and special keys put in the
// current window's key queue, and getch/kbhit reading them.
#include <future>

#include "lib_test_support.h"

using namespace kel_test;

namespace {

void type_char(HWND hwnd, unsigned char ch, int repeat = 1) {
  post(hwnd, WM_CHAR, ch, MAKELPARAM(repeat, 0));
}

void press(HWND hwnd, unsigned vk, int repeat = 1) {
  post(hwnd, WM_KEYDOWN, vk, MAKELPARAM(repeat, 0));
}

struct SpecialKey {
  unsigned vk;
  int code;
};

const SpecialKey kSpecialKeys[] = {
    {VK_CLEAR, KEY_CENTER}, {VK_PRIOR, KEY_PGUP},    {VK_NEXT, KEY_PGDN},     {VK_END, KEY_END},
    {VK_HOME, KEY_HOME},    {VK_LEFT, KEY_LEFT},     {VK_UP, KEY_UP},         {VK_RIGHT, KEY_RIGHT},
    {VK_DOWN, KEY_DOWN},    {VK_INSERT, KEY_INSERT}, {VK_DELETE, KEY_DELETE}, {VK_F1, KEY_F1},
    {VK_F2, KEY_F2},        {VK_F3, KEY_F3},         {VK_F4, KEY_F4},         {VK_F5, KEY_F5},
    {VK_F6, KEY_F6},        {VK_F7, KEY_F7},         {VK_F8, KEY_F8},         {VK_F9, KEY_F9},
};

class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    open_window(60, 40);
    hwnd_ = current_handle();
  }
  HWND hwnd_ = nullptr;
};

}  // namespace

TEST_F(Keyboard, FreshWindowHasNoKeys) { EXPECT_EQ(kbhit(), 0); }

TEST_F(Keyboard, CharactersAndSpecialKeysComeOutInOrder) {
  type_char(hwnd_, 'a');
  press(hwnd_, VK_LEFT);
  ASSERT_TRUE(settle(hwnd_));
  EXPECT_EQ(kbhit(), 1);
  EXPECT_EQ(getch(), 97);
  EXPECT_EQ(kbhit(), 1) << "kbhit stays 1 until every byte is taken";
  EXPECT_EQ(getch(), 0);
  EXPECT_EQ(getch(), KEY_LEFT);
  EXPECT_EQ(kbhit(), 0);
}

TEST_F(Keyboard, EverySpecialKeyGivesZeroThenItsCode) {
  for (const SpecialKey& key : kSpecialKeys) press(hwnd_, key.vk);
  ASSERT_TRUE(settle(hwnd_));
  for (const SpecialKey& key : kSpecialKeys) {
    EXPECT_EQ(getch(), 0) << "vk " << key.vk;
    EXPECT_EQ(getch(), key.code) << "vk " << key.vk;
  }
  EXPECT_EQ(kbhit(), 0);
}

TEST_F(Keyboard, OtherKeysAddNothingOnKeyDown) {
  for (unsigned vk : {unsigned(VK_F10), unsigned(VK_F11), unsigned(VK_F12), unsigned(VK_SHIFT),
                      unsigned(VK_CONTROL), unsigned(VK_F24)}) {
    press(hwnd_, vk);
    ASSERT_TRUE(settle(hwnd_));
    EXPECT_EQ(kbhit(), 0) << "vk " << vk;
    while (kbhit()) getch();
  }
}

TEST_F(Keyboard, KeysThatMakeCharactersArriveAsCharacters) {
  struct {
    unsigned vk;
    std::vector<int> bytes;
  } keys[] = {{VK_RETURN, {13}},
              {VK_ESCAPE, {27}},
              {VK_BACK, {8}},
              {VK_TAB, {9}},
              {VK_DELETE, {0, KEY_DELETE}},
              {VK_NUMPAD0 + 5, {'5'}}};
#ifdef _WIN32
  // The system's keypad types digits only while Num Lock is on (it is off
  // on the virtual X server the tests run on).
  if (!(GetKeyState(VK_NUMLOCK) & 1)) keys[5].bytes.clear();
#endif
  for (const auto& key : keys) {
    press(hwnd_, key.vk);
    ASSERT_TRUE(settle(hwnd_));
    std::vector<int> bytes;
    while (kbhit()) bytes.push_back(getch());
    EXPECT_EQ(bytes, key.bytes) << "vk " << key.vk;
  }
}

TEST_F(Keyboard, ARepeatCountStillQueuesOneByteOrPair) {
  type_char(hwnd_, 'r', 5);
  press(hwnd_, VK_UP, 7);
  ASSERT_TRUE(settle(hwnd_));
  EXPECT_EQ(getch(), 'r');
  EXPECT_EQ(getch(), 0);
  EXPECT_EQ(getch(), KEY_UP);
  EXPECT_EQ(kbhit(), 0);
}

TEST_F(Keyboard, BytesAbove127ComeBackNegative) {
  type_char(hwnd_, 0xE9);
  type_char(hwnd_, 0xFF);
  ASSERT_TRUE(settle(hwnd_));
  EXPECT_EQ(getch(), -23);
  EXPECT_EQ(getch(), -1);
}

TEST_F(Keyboard, KeyMessagesAreHandledWithResultZero) {
  EXPECT_EQ(SendMessageA(hwnd_, WM_CHAR, 'k', 1), 0);
  EXPECT_EQ(SendMessageA(hwnd_, WM_KEYDOWN, VK_HOME, 1), 0);
  EXPECT_EQ(getch(), 'k');
  EXPECT_EQ(getch(), 0);
  EXPECT_EQ(getch(), KEY_HOME);
}

TEST_F(Keyboard, GetchWaitsForAKeyFromAnotherThread) {
  std::future<void> typist = std::async(std::launch::async, [this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    type_char(hwnd_, 'z');
  });
  EXPECT_EQ(getch(), 'z');
  typist.get();
}

TEST_F(Keyboard, GetchOnAnotherThreadWakesForEachKey) {
  std::future<std::vector<int>> reader = std::async(std::launch::async, [] {
    std::vector<int> bytes;
    for (int i = 0; i < 3; ++i) bytes.push_back(getch());
    return bytes;
  });
  for (unsigned char ch : {'x', 'y'}) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    type_char(hwnd_, ch);
  }
  press(hwnd_, VK_F2);
  std::vector<int> bytes = reader.get();
  EXPECT_EQ(bytes, (std::vector<int>{'x', 'y', 0}));
  EXPECT_EQ(getch(), KEY_F2);
}

TEST_F(Keyboard, KeysTypedIntoAnotherWindowWaitForItToBeCurrent) {
  int first = getcurrentwindow();
  int second = open_window(60, 40);
  type_char(handle_of(first), 'q');
  ASSERT_TRUE(settle(handle_of(first)));
  EXPECT_EQ(kbhit(), 0);
  setcurrentwindow(first);
  EXPECT_EQ(kbhit(), 1);
  EXPECT_EQ(getch(), 'q');
  setcurrentwindow(second);
}

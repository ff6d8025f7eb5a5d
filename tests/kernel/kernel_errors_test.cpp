// Texts of error codes (FormatMessageA) and freeing them (LocalFree).
#include <gtest/gtest.h>

#include <string>

#include "platform.h"

namespace {

constexpr DWORD kSystemTextFlags = 0x1300;  // allocate, ignore inserts, from the system

// The allocated text for `code`, freed again; "" when there is none.
std::string system_text(DWORD code) {
  char* text = reinterpret_cast<char*>(uintptr_t(1));  // must be overwritten
  DWORD length = FormatMessageA(kSystemTextFlags, nullptr, code, 0x400,
                                reinterpret_cast<LPSTR>(&text), 0, nullptr);
  if (length == 0) {
    EXPECT_EQ(text, nullptr);
    return "";
  }
  std::string copy(text);
  EXPECT_EQ(length, copy.size());
  EXPECT_EQ(LocalFree(text), nullptr);
  return copy;
}

TEST(KernelErrorTexts, KnownCodesGiveTheirSentences) {
  EXPECT_EQ(system_text(ERROR_FILE_NOT_FOUND), "The system cannot find the file specified.\r\n");
  EXPECT_EQ(system_text(ERROR_ACCESS_DENIED), "Access is denied.\r\n");
  EXPECT_EQ(system_text(ERROR_NOT_OWNER), "Attempt to release mutex not owned by caller.\r\n");
  for (DWORD code : {ERROR_SUCCESS, ERROR_PATH_NOT_FOUND, ERROR_INVALID_HANDLE,
                     ERROR_NOT_ENOUGH_MEMORY, ERROR_OUTOFMEMORY, ERROR_HANDLE_EOF,
                     ERROR_INVALID_PARAMETER, ERROR_ALREADY_EXISTS, ERROR_CLASS_ALREADY_EXISTS,
                     ERROR_CLASS_DOES_NOT_EXIST, ERROR_INVALID_WINDOW_HANDLE,
                     ERROR_CANNOT_FIND_WND_CLASS}) {
    std::string text = system_text(code);
    ASSERT_GT(text.size(), 4u) << code;
    EXPECT_EQ(text.substr(text.size() - 3), ".\r\n") << code;
  }
  EXPECT_EQ(system_text(0xDEADBEEF), "") << "unknown codes have no text";
}

TEST(KernelErrorTexts, TextOfTheLastErrorAfterAFailedCall) {
  HANDLE file = CreateFileA("/nonexistent-kel-dir/missing.bmp", GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_EQ(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(system_text(GetLastError()), "The system cannot find the path specified.\r\n");
}

TEST(KernelErrorTexts, CallerBufferGetsTheTextOrNothingWhenTooSmall) {
  const std::string expected = "Access is denied.\r\n";
  std::string exact(expected.size() + 1, 'x');  // room for the text and its terminator
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0,
                           exact.data(), DWORD(exact.size()), nullptr);
  EXPECT_EQ(n, expected.size());
  EXPECT_EQ(exact.c_str(), expected);
  std::string short_buffer(expected.size(), 'x');
  n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0,
                     short_buffer.data(), DWORD(short_buffer.size()), nullptr);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(short_buffer, std::string(expected.size(), 'x')) << "wrote into a short buffer";
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, nullptr, 64, nullptr), 0u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(KernelErrorTexts, AllocatedBufferHonoursTheLeastSizeWithinReason) {
  char* text = nullptr;
  FormatMessageA(kSystemTextFlags, nullptr, ERROR_ACCESS_DENIED, 0, reinterpret_cast<LPSTR>(&text),
                 1000, nullptr);
  ASSERT_NE(text, nullptr);
  text[999] = 'z';  // the whole asked-for size is ours to use
  EXPECT_EQ(LocalFree(text), nullptr);
  EXPECT_EQ(FormatMessageA(kSystemTextFlags, nullptr, ERROR_ACCESS_DENIED, 0,
                           reinterpret_cast<LPSTR>(&text), 0xFFFFFFFF, nullptr),
            0u);
  EXPECT_EQ(text, nullptr);
}

TEST(KernelLocalFree, TakesNullAndRefusesWhatItDidNotGive) {
  EXPECT_EQ(LocalFree(nullptr), nullptr);
  int not_ours = 0;
  EXPECT_EQ(LocalFree(&not_ours), &not_ours);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  char* text = nullptr;
  FormatMessageA(kSystemTextFlags, nullptr, 6, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(LocalFree(text), nullptr);
  EXPECT_EQ(LocalFree(text), text) << "freed twice";
}

}  // namespace

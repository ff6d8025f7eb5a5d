// Movable memory blocks of the portable platform's kernel.
#include <gtest/gtest.h>

#include <cstring>

#include "platform.h"

namespace {

constexpr DWORD kErrorNotLocked = 158;

bool all_zero(const void* data, size_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

TEST(KernelGlobalMemory, ZeroInitialisedBlockAndNestedLocks) {
  HGLOBAL block = GlobalAlloc(GHND, 5000);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 5000u);
  void* data = GlobalLock(block);
  EXPECT_TRUE(all_zero(data, 5000));
  EXPECT_EQ(GlobalLock(block), data);
  EXPECT_TRUE(GlobalUnlock(block)) << "still locked once";
  SetLastError(77);
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS)) << "the last unlock is not an error";
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), kErrorNotLocked);
  EXPECT_EQ(GlobalFree(block), nullptr);
  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  EXPECT_EQ(GlobalSize(empty), 0u);
  EXPECT_EQ(GlobalFree(empty), nullptr);
}

TEST(KernelGlobalMemory, ReAllocKeepsContentsAndZeroFillsGrowth) {
  HGLOBAL block = GlobalAlloc(GHND, 40);
  std::memcpy(GlobalLock(block), "header-bytes", 12);
  GlobalUnlock(block);
  ASSERT_EQ(GlobalReAlloc(block, 1 << 20, GMEM_ZEROINIT), block) << "same handle after growth";
  EXPECT_EQ(GlobalSize(block), size_t(1) << 20);
  char* data = static_cast<char*>(GlobalLock(block));
  EXPECT_EQ(std::memcmp(data, "header-bytes", 12), 0);
  EXPECT_TRUE(all_zero(data + 12, (1 << 20) - 12));
  GlobalUnlock(block);
  constexpr UINT kModifyOnly = 0x80;  // changes attributes, never the size
  ASSERT_EQ(GlobalReAlloc(block, 0, kModifyOnly | GMEM_MOVEABLE), block);
  EXPECT_EQ(GlobalSize(block), size_t(1) << 20);
  ASSERT_EQ(GlobalReAlloc(block, 6, 0), block);
  EXPECT_EQ(GlobalSize(block), 6u);
  EXPECT_EQ(std::memcmp(GlobalLock(block), "header", 6), 0);
  GlobalUnlock(block);
  GlobalFree(block);
}

TEST(KernelGlobalMemory, LockedBlockNeverMovesUnlessAllowed) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 64);
  char* data = static_cast<char*>(GlobalLock(block));
  std::memcpy(data, "pinned", 7);
  EXPECT_EQ(GlobalReAlloc(block, 1 << 16, 0), nullptr) << "growing would move it";
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_STREQ(data, "pinned");  // the locked address still works
  ASSERT_EQ(GlobalReAlloc(block, 32, 0), block) << "shrinking happens in place";
  ASSERT_EQ(GlobalReAlloc(block, 48, GMEM_ZEROINIT), block) << "regrowing within the block";
  EXPECT_TRUE(all_zero(data + 32, 16));
  ASSERT_EQ(GlobalReAlloc(block, 1 << 16, GMEM_MOVEABLE), block) << "moving allowed";
  EXPECT_STREQ(static_cast<char*>(GlobalLock(block)), "pinned");
  GlobalFree(block);
  HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 8);  // never moves unless allowed
  EXPECT_EQ(GlobalReAlloc(fixed, 1 << 16, 0), nullptr);
  EXPECT_EQ(GlobalReAlloc(fixed, 1 << 16, GMEM_MOVEABLE), fixed);
  GlobalFree(fixed);
}

TEST(KernelGlobalMemory, HugeRequestsFailCleanly) {
  for (SIZE_T huge : {SIZE_T(0xFFFFFFFFu), SIZE_T(-1), (SIZE_T(1) << 30) + 1}) {
    SetLastError(0);
    EXPECT_EQ(GlobalAlloc(GHND, huge), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
  }
  HGLOBAL block = GlobalAlloc(GHND, 10);
  std::memcpy(GlobalLock(block), "keep", 5);
  GlobalUnlock(block);
  EXPECT_EQ(GlobalReAlloc(block, SIZE_T(0xFFFFFFFFu), GMEM_MOVEABLE), nullptr);
  EXPECT_EQ(GlobalSize(block), 10u);
  EXPECT_STREQ(static_cast<char*>(GlobalLock(block)), "keep") << "failed growth lost data";
  GlobalFree(block);
}

TEST(KernelGlobalMemory, BadHandles) {
  HGLOBAL freed = GlobalAlloc(GHND, 8);
  ASSERT_EQ(GlobalFree(freed), nullptr);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  for (HGLOBAL bad : {freed, HGLOBAL(event), HGLOBAL(INVALID_HANDLE_VALUE)}) {
    SetLastError(0);
    EXPECT_EQ(GlobalLock(bad), nullptr);
    EXPECT_FALSE(GlobalUnlock(bad));
    EXPECT_EQ(GlobalSize(bad), 0u);
    EXPECT_EQ(GlobalReAlloc(bad, 16, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalFree(bad), bad);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  }
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
  EXPECT_TRUE(CloseHandle(event)) << "freeing it as memory must not have touched the event";
}

}  // namespace

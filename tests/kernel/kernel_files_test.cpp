// Files of the portable platform's kernel.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform.h"
#include "platform/kernel/atomic_file.h"
#include "small_disk.h"

namespace {

constexpr DWORD kErrorFileExists = 80;
constexpr DWORD kErrorNegativeSeek = 131;

class KernelFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kel-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string path(const char* name) const { return dir_ + "/" + name; }

  static HANDLE open(const std::string& name, DWORD access, DWORD creation) {
    return CreateFileA(name.c_str(), access, FILE_SHARE_READ, nullptr, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  static void make_file(const std::string& name, const std::string& bytes) {
    HANDLE file = open(name, GENERIC_WRITE, CREATE_ALWAYS);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
    CloseHandle(file);
  }

  std::string dir_;
};

TEST_F(KernelFiles, WriteThenReadBackEveryByte) {
  std::string bytes(70000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 7 + 3);
  make_file(path("round.bin"), bytes);
  HANDLE file = open(path("round.bin"), GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD high = 99;
  EXPECT_EQ(GetFileSize(file, &high), bytes.size());
  EXPECT_EQ(high, 0u);
  std::string back(bytes.size() + 10, 'x');
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file, back.data(), DWORD(back.size()), &read, nullptr));
  EXPECT_EQ(read, bytes.size()) << "a short file gives what it has";
  EXPECT_EQ(back.substr(0, read), bytes);
  ASSERT_TRUE(ReadFile(file, back.data(), 10, &read, nullptr)) << "the end is no error";
  EXPECT_EQ(read, 0u);
  EXPECT_TRUE(ReadFile(file, back.data(), 10, nullptr, nullptr));
  CloseHandle(file);
}

TEST_F(KernelFiles, SetFilePointerMovesFromEachOrigin) {
  make_file(path("seek.txt"), "0123456789");
  HANDLE file = open(path("seek.txt"), GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  auto char_at = [&](LONG distance, DWORD method, DWORD expected_position) {
    EXPECT_EQ(SetFilePointer(file, distance, nullptr, method), expected_position);
    char c = 0;
    ReadFile(file, &c, 1, nullptr, nullptr);
    return c;
  };
  EXPECT_EQ(char_at(3, FILE_BEGIN, 3), '3');
  EXPECT_EQ(char_at(2, FILE_CURRENT, 6), '6');
  EXPECT_EQ(char_at(-1, FILE_END, 9), '9');
  LONG high = -1;  // with the high part, -1 is a 64-bit distance
  EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_CURRENT), 9u);
  EXPECT_EQ(high, 0);
  EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), kErrorNegativeSeek);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  SetFilePointer(file, 12, nullptr, FILE_BEGIN);
  ASSERT_TRUE(WriteFile(file, "!", 1, nullptr, nullptr));
  EXPECT_EQ(GetFileSize(file, nullptr), 13u) << "writing past the end grows the file";
  CloseHandle(file);
}

TEST_F(KernelFiles, CreationDispositions) {
  const std::string name = path("d.txt");
  EXPECT_EQ(open(name, GENERIC_WRITE, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  HANDLE file = open(name, GENERIC_WRITE, CREATE_NEW);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
  WriteFile(file, "hello", 5, nullptr, nullptr);
  CloseHandle(file);
  EXPECT_EQ(open(name, GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), kErrorFileExists);
  file = open(name, GENERIC_READ, OPEN_ALWAYS);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(file, nullptr), 5u) << "opening kept the contents";
  CloseHandle(file);
  file = open(name, GENERIC_WRITE, CREATE_ALWAYS);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(file, nullptr), 0u) << "re-creating emptied the file";
  WriteFile(file, "again", 5, nullptr, nullptr);
  CloseHandle(file);
  file = open(name, GENERIC_WRITE, TRUNCATE_EXISTING);
  EXPECT_EQ(GetFileSize(file, nullptr), 0u);
  CloseHandle(file);
  EXPECT_EQ(open(name, GENERIC_READ, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(open(name, GENERIC_READ, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(KernelFiles, OpenErrorsNameTheReason) {
  EXPECT_EQ(open(path("x.bmp"), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(open(path("no-dir/x.bmp"), GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(open(dir_, GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE) << "a directory";
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);  // refused at once, not a hang
  EXPECT_EQ(open(path("pipe"), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(open("", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

TEST_F(KernelFiles, AccessModesAndBadHandles) {
  make_file(path("f.txt"), "data");
  HANDLE reader = open(path("f.txt"), GENERIC_READ, OPEN_EXISTING);
  DWORD n = 77;
  EXPECT_FALSE(WriteFile(reader, "x", 1, &n, nullptr));
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(ReadFile(reader, nullptr, 4, &n, nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(WaitForSingleObject(reader, 0), WAIT_FAILED) << "a file is not waitable here";
  CloseHandle(reader);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  char buffer[4];
  for (HANDLE bad : {INVALID_HANDLE_VALUE, HANDLE(nullptr), event, reader}) {
    SetLastError(0);
    EXPECT_FALSE(ReadFile(bad, buffer, 4, &n, nullptr) || WriteFile(bad, buffer, 4, &n, nullptr));
    EXPECT_EQ(SetFilePointer(bad, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  }
  CloseHandle(event);
}

TEST_F(KernelFiles, DeleteFile) {
  make_file(path("gone.txt"), "x");
  EXPECT_TRUE(DeleteFileA(path("gone.txt").c_str()));
  EXPECT_EQ(access(path("gone.txt").c_str(), F_OK), -1);
  EXPECT_FALSE(DeleteFileA(path("gone.txt").c_str()));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(DeleteFileA(path("nodir/gone.txt").c_str()));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(DeleteFileA(dir_.c_str()));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(DeleteFileA(nullptr));
}

TEST_F(KernelFiles, FlushAndMoveReplaceOnlyWhenAsked) {
  make_file(path("new.txt"), "new");
  make_file(path("old.txt"), "old");
  HANDLE file = open(path("new.txt"), GENERIC_WRITE, OPEN_EXISTING);
  EXPECT_TRUE(FlushFileBuffers(file));
  CloseHandle(file);
  EXPECT_FALSE(FlushFileBuffers(file));
  EXPECT_FALSE(MoveFileExA(path("new.txt").c_str(), path("old.txt").c_str(), 0));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(kel_test::SmallDisk::read(path("old.txt")), "old");
  EXPECT_TRUE(MoveFileExA(path("new.txt").c_str(), path("old.txt").c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(kel_test::SmallDisk::read(path("old.txt")), "new");
  EXPECT_EQ(access(path("new.txt").c_str(), F_OK), -1);
  EXPECT_FALSE(MoveFileExA(path("none.txt").c_str(), path("old.txt").c_str(),
                           MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(MoveFileExA(nullptr, path("old.txt").c_str(), 0));
}

TEST_F(KernelFiles, AtomicFileReplacesTheTargetOnlyOnCommit) {
  using kelplat::kernel::AtomicFile;
  make_file(path("page.ps"), "old page");
  {
    AtomicFile dropped(path("page.ps"));
    ASSERT_TRUE(dropped.ok());
    EXPECT_TRUE(dropped.write("half", 4));
  }
  EXPECT_EQ(kel_test::SmallDisk::read(path("page.ps")), "old page");
  {
    AtomicFile file(path("page.ps"));
    EXPECT_TRUE(file.write("new ", 4));
    EXPECT_TRUE(file.write("page", 4));
    EXPECT_TRUE(file.commit());
  }
  EXPECT_EQ(kel_test::SmallDisk::read(path("page.ps")), "new page");
  // Nothing but the target is left in the folder.
  EXPECT_EQ(std::system(("test $(ls -A '" + dir_ + "' | wc -l) -eq 1").c_str()), 0);
  AtomicFile nowhere(path("no/such/folder/file"));
  EXPECT_FALSE(nowhere.ok());
  EXPECT_EQ(nowhere.error(), ENOENT);
  EXPECT_FALSE(nowhere.write("x", 1));
  EXPECT_FALSE(nowhere.commit());
}

// A link is followed and stays a link; a device or a pipe is written in
// place, not replaced by a regular file (SaveDIB to /dev/null once replaced
// the device); the mode of a replaced file is kept.
TEST_F(KernelFiles, AtomicFileKeepsLinksDevicesAndModes) {
  using kelplat::kernel::AtomicFile;
  make_file(path("real.bmp"), "old");
  ASSERT_EQ(::chmod(path("real.bmp").c_str(), 0640), 0);
  ASSERT_EQ(::symlink(path("real.bmp").c_str(), path("link.bmp").c_str()), 0);
  {
    AtomicFile file(path("link.bmp"));
    EXPECT_TRUE(file.write("new", 3));
    EXPECT_TRUE(file.commit());
  }
  struct stat seen;
  ASSERT_EQ(::lstat(path("link.bmp").c_str(), &seen), 0);
  EXPECT_TRUE(S_ISLNK(seen.st_mode));
  EXPECT_EQ(kel_test::SmallDisk::read(path("real.bmp")), "new");
  ASSERT_EQ(::stat(path("real.bmp").c_str(), &seen), 0);
  EXPECT_EQ(seen.st_mode & 07777, 0640u);
  // A pipe (as /dev/null would be a device), with its reader open.
  ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
  int reader = ::open(path("pipe").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  {
    AtomicFile pipe(path("pipe"));
    EXPECT_TRUE(pipe.write("sent", 4));
    EXPECT_TRUE(pipe.commit());
  }
  char received[8] = {};
  EXPECT_EQ(::read(reader, received, sizeof received), 4);
  EXPECT_STREQ(received, "sent");
  ::close(reader);
  ASSERT_EQ(::lstat(path("pipe").c_str(), &seen), 0);
  EXPECT_TRUE(S_ISFIFO(seen.st_mode));

  // MoveFileExA, which the library's file writers replace their targets
  // with, treats links and pipes alike.
  make_file(path("moved"), "moved");
  EXPECT_TRUE(MoveFileExA(path("moved").c_str(), path("link.bmp").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(kel_test::SmallDisk::read(path("real.bmp")), "moved");
  ASSERT_EQ(::lstat(path("link.bmp").c_str(), &seen), 0);
  EXPECT_TRUE(S_ISLNK(seen.st_mode));
  reader = ::open(path("pipe").c_str(), O_RDONLY | O_NONBLOCK);
  make_file(path("piped"), "piped");
  EXPECT_TRUE(MoveFileExA(path("piped").c_str(), path("pipe").c_str(), MOVEFILE_REPLACE_EXISTING));
  std::memset(received, 0, sizeof received);
  EXPECT_EQ(::read(reader, received, sizeof received), 5);
  EXPECT_STREQ(received, "piped");
  ::close(reader);
  EXPECT_NE(::access(path("piped").c_str(), F_OK), 0);
  ASSERT_EQ(::lstat(path("pipe").c_str(), &seen), 0);
  EXPECT_TRUE(S_ISFIFO(seen.st_mode));
}

TEST(KernelFilesFullDisk, AtomicFileOnAFullDiskKeepsTheOldFile) {
  kel_test::SmallDisk disk(64 * 1024);
  if (!disk.ready()) GTEST_SKIP() << disk.reason();
  std::string target = disk.path("spool.ps");
  kel_test::SmallDisk::write(target, "the old spool file");
  disk.fill();
  kelplat::kernel::AtomicFile file(target);
  std::string big(256 * 1024, 'p');
  bool written = file.ok() && file.write(big.data(), big.size()) && file.commit();
  EXPECT_FALSE(written);
  EXPECT_EQ(file.error(), ENOSPC);
  EXPECT_EQ(kel_test::SmallDisk::read(target), "the old spool file");
}

}  // namespace

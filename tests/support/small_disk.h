// A small file system of the test's own (a tmpfs of a few pages) for the
// tests of what happens when the disk is full. Mounting needs root; without
// it, `reason()` says why the test is skipped.
#ifndef KEL_TESTS_SMALL_DISK_H
#define KEL_TESTS_SMALL_DISK_H

#ifndef _WIN32
#include <sys/mount.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace kel_test {

class SmallDisk {
 public:
  explicit SmallDisk(size_t bytes) {
#ifdef _WIN32
    (void)bytes;
    reason_ = "a small file system of the test's own is a Linux tmpfs";
#else
    if (geteuid() != 0) {
      reason_ = "mounting a small tmpfs needs root";
      return;
    }
    char pattern[] = "/tmp/kel_small_disk_XXXXXX";
    if (!mkdtemp(pattern)) {
      reason_ = "no folder for the mount";
      return;
    }
    folder_ = pattern;
    std::string options = "size=" + std::to_string(bytes);
    if (mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      reason_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
      rmdir(folder_.c_str());
      folder_.clear();
      return;
    }
    mounted_ = true;
#endif
  }
  ~SmallDisk() {
#ifndef _WIN32
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
    if (!folder_.empty()) rmdir(folder_.c_str());
#endif
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool ready() const { return mounted_; }
  const std::string& reason() const { return reason_; }
  std::string path(const char* name) const { return folder_ + "/" + name; }

  // Fills what is left of the disk with one file.
  void fill() const {
    FILE* f = std::fopen(path("filler").c_str(), "wb");
    if (!f) return;
    std::vector<char> chunk(4096, 'x');
    while (std::fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size()) {
    }
    std::fclose(f);
  }
  // The names in the folder, apart from the filler: no temporary file may
  // be left behind.
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ignored))
      if (entry.path().filename() != "filler") out.push_back(entry.path().filename().string());
    return out;
  }

  static std::string read(const std::string& file) {
    std::string content;
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return content;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) content.append(buffer, n);
    std::fclose(f);
    return content;
  }
  static void write(const std::string& file, const std::string& content) {
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return;
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }

 private:
  std::string folder_;
  std::string reason_;
  bool mounted_ = false;
};

}  // namespace kel_test

#endif  // KEL_TESTS_SMALL_DISK_H

// A small file system of the test's own (a tmpfs of a few pages) for the
// tests of what happens when the disk is full. Mounting needs root; without
// it, `reason()` says why the test is skipped.
#ifndef KEL_TESTS_SMALL_DISK_H
#define KEL_TESTS_SMALL_DISK_H

#include <dirent.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace kel_test {

class SmallDisk {
 public:
  explicit SmallDisk(size_t bytes) {
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
  }
  ~SmallDisk() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
    if (!folder_.empty()) rmdir(folder_.c_str());
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
    if (DIR* dir = opendir(folder_.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != ".." && name != "filler") out.push_back(name);
      }
      closedir(dir);
    }
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

// Files written beside their target and renamed over it when complete.
#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace kelplat::kernel {
namespace {

constexpr int kNameTries = 100;

std::string folder_of(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A new name beside `target` that no file has yet: opened exclusively.
int create_beside(const std::string& target, std::string* name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    *name = target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Writes all `size` bytes; 0, or the errno of the failure (ENOSPC for a
// write that stopped short).
int write_all(int fd, const char* bytes, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : ENOSPC;
    bytes += n;
    size -= size_t(n);
  }
  return 0;
}

}  // namespace

std::string followed_link(const std::string& path) {
  char resolved[PATH_MAX];
  struct stat link;
  if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

bool is_special_file(const std::string& path) {
  struct stat existing;
  return ::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
         !S_ISDIR(existing.st_mode);
}

bool copy_into(const std::string& from, const std::string& to) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  int out = in >= 0 ? ::open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC) : -1;
  bool copied = out >= 0;
  char buffer[65536];
  while (copied) {
    ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n <= 0) {
      copied = n == 0;
      break;
    }
    copied = write_all(out, buffer, size_t(n)) == 0;
  }
  int saved = errno;
  if (out >= 0 && ::close(out) != 0 && copied) saved = errno, copied = false;
  if (in >= 0) ::close(in);
  errno = saved;
  return copied;
}

bool sync_folder_of(const std::string& path) {
  int fd = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int result = ::fsync(fd);
  int saved = errno;
  ::close(fd);
  errno = saved;
  return result == 0;
}

AtomicFile::AtomicFile(std::string target) : target_(followed_link(target)) {
  struct stat existing;
  const bool exists = ::stat(target_.c_str(), &existing) == 0;
  if (is_special_file(target_)) {
    // A device or a pipe cannot be replaced: it is written in place.
    fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    in_place_ = true;
  } else {
    fd_ = create_beside(target_, &temporary_);
    // The new file keeps the permissions of the one it replaces.
    if (fd_ >= 0 && exists) ::fchmod(fd_, existing.st_mode & 07777);
  }
  if (fd_ < 0) error_ = errno;
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

bool AtomicFile::fail(int error) {
  if (error_ == 0) error_ = error;
  return false;
}

bool AtomicFile::write(const void* data, size_t size) {
  if (!ok()) return false;
  int error = write_all(fd_, static_cast<const char*>(data), size);
  return error == 0 || fail(error);
}

bool AtomicFile::commit() {
  if (!ok()) return false;
  if (in_place_) return commit_in_place();
  if (::fsync(fd_) != 0) return fail(errno);
  int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) return fail(errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) return fail(errno);
  committed_ = true;
  // The new content is in place; a folder that cannot be flushed only
  // risks the rename on a crash of the whole system.
  sync_folder_of(target_);
  return true;
}

bool AtomicFile::commit_in_place() {
  int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) return fail(errno);
  committed_ = true;
  return true;
}

}  // namespace kelplat::kernel

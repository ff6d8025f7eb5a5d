// Files written beside their target and renamed over it when complete.
#include "atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
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

}  // namespace

bool sync_folder_of(const std::string& path) {
  int fd = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int result = ::fsync(fd);
  int saved = errno;
  ::close(fd);
  errno = saved;
  return result == 0;
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {
  fd_ = create_beside(target_, &temporary_);
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
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd_, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail(n < 0 ? errno : ENOSPC);
    bytes += n;
    size -= size_t(n);
  }
  return true;
}

bool AtomicFile::commit() {
  if (!ok()) return false;
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

}  // namespace kelplat::kernel

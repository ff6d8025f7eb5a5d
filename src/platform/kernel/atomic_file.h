// Writing a file so that it appears complete or not at all, for the
// platform's own files (printing's spool and page files, and whatever else
// must not be left half written). The bytes go to a temporary file in the
// target's folder; commit() flushes it to the disk, checks every step and
// only then renames it over the target. Until then, and whenever a step
// fails (a full disk, a quota), the target keeps its old content, and a
// writer dropped without a successful commit removes its temporary file.
// A symbolic link is followed (the file it names is replaced); a target that
// is not a regular file (a device such as /dev/null, a pipe) is written in
// place, as it cannot be replaced.
#ifndef KEL_PLATFORM_KERNEL_ATOMIC_FILE_H
#define KEL_PLATFORM_KERNEL_ATOMIC_FILE_H

#include <cstddef>
#include <string>

namespace kelplat::kernel {

class AtomicFile {
 public:
  // Creates the temporary file; see ok() and error().
  explicit AtomicFile(std::string target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // False once any step has failed; error() is then its errno.
  bool ok() const { return error_ == 0; }
  int error() const { return error_; }
  // The temporary file's descriptor, for writers that want one (-1 after a
  // failure or the commit). Bytes written to it directly are checked by
  // commit() as far as the system reports them (fsync, close).
  int fd() const { return fd_; }

  // Appends all `size` bytes; false on a short or failed write.
  bool write(const void* data, size_t size);
  // Flushes, closes and renames the temporary file over the target; false
  // (and the target untouched) when a step fails.
  bool commit();

 private:
  bool fail(int error);
  bool commit_in_place();

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  int error_ = 0;
  bool committed_ = false;
  bool in_place_ = false;
};

// The file a path names: a symbolic link is followed, so that the file it
// points to is replaced and the link stays.
std::string followed_link(const std::string& path);
// True for an existing file that is neither a regular file nor a folder (a
// device such as /dev/null, a pipe, a socket): it can be written, never
// replaced.
bool is_special_file(const std::string& path);
// Writes the bytes of the file `from` into the existing file `to`, in
// place; false with errno set on a failure.
bool copy_into(const std::string& from, const std::string& to);

// Flushes the folder holding `path` (its entries, after a rename) to the
// disk; false with errno set when that fails.
bool sync_folder_of(const std::string& path);

}  // namespace kelplat::kernel

#endif  // KEL_PLATFORM_KERNEL_ATOMIC_FILE_H

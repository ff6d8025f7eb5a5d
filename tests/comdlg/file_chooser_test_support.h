// Shared by the file chooser tests: a scratch directory, and the dialog
// program run as a child with a PATH and DISPLAY of the test's choosing.
#ifndef KEL_TESTS_FILE_CHOOSER_TEST_SUPPORT_H
#define KEL_TESTS_FILE_CHOOSER_TEST_SUPPORT_H

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "x11_session.h"

namespace chooser_test {

namespace fs = std::filesystem;

// A fresh directory, removed with everything in it at the end.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "kel_chooser_XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : "";
  }
  ~ScratchDir() {
    std::error_code error;
    if (!path_.empty()) fs::remove_all(path_, error);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  void make_file(const std::string& name, const std::string& content = "") const {
    std::ofstream(*this / name) << content;
  }
  void make_dir(const std::string& name) const { fs::create_directories(*this / name); }
  // An executable shell script.
  void make_script(const std::string& name, const std::string& body) const {
    make_file(name, "#!/bin/sh\n" + body);
    chmod((*this / name).c_str(), 0755);
  }

 private:
  std::string path_;
};

inline std::string read_file(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// This process's environment with PATH replaced and DISPLAY set (or left
// out when `display` is empty).
inline std::vector<std::string> dialog_environment(const std::string& path,
                                                   const std::string& display) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "PATH=", 5) != 0 && std::strncmp(*e, "DISPLAY=", 8) != 0)
      env.emplace_back(*e);
  env.push_back("PATH=" + path);
  if (!display.empty()) env.push_back("DISPLAY=" + display);
  return env;
}

// Starts the dialog program: arguments as its usage says.
inline std::unique_ptr<x11_test::Child> start_dialog(const std::vector<std::string>& args,
                                                     const std::string& path,
                                                     const std::string& display) {
  std::vector<std::string> argv{std::string(KEL_TEST_PROGRAMS_DIR) + "/prog_file_chooser_dialog"};
  argv.insert(argv.end(), args.begin(), args.end());
  return x11_test::Child::start(argv, dialog_environment(path, display), true);
}

// The program's one line of answer ("chosen ..." or "cancelled"), or
// "no answer" when it gave none in time.
inline std::string answer_of(x11_test::Child& child, int timeout_ms = 15000) {
  std::string line;
  return child.read_line(&line, timeout_ms) ? line : "no answer";
}

}  // namespace chooser_test

#endif  // KEL_TESTS_FILE_CHOOSER_TEST_SUPPORT_H

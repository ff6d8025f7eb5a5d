// Running a desktop file chooser as a child process.
#include "file_chooser_external.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace kelplat::comdlg {

namespace {

// A path is short; a tool that writes more than this is not answering.
constexpr size_t kMaxAnswerBytes = 64 * 1024;

// The filters in the order the tools show them: the active one first, as
// both tools preselect their first filter.
std::vector<const FileFilter*> filters_in_order(const ChooserRequest& request) {
  std::vector<const FileFilter*> ordered;
  for (size_t i = 0; i < request.filters.size(); ++i) {
    const FileFilter* filter = &request.filters[i];
    if (filter->patterns.empty()) continue;
    if (i == request.active_filter)
      ordered.insert(ordered.begin(), filter);
    else
      ordered.push_back(filter);
  }
  return ordered;
}

std::string case_forms_joined(const FileFilter& filter) {
  std::string out;
  for (const auto& pattern : filter.patterns)
    for (const auto& form : pattern_case_forms(pattern)) {
      if (!out.empty()) out += ' ';
      out += form;
    }
  return out;
}

// The tools' filter syntax gives these characters a meaning; a description
// keeps its text with a harmless replacement.
std::string plain_description(std::string text) {
  for (char& c : text)
    if (c == '|' || c == '\n') c = '/';
  return text;
}

// Where the tool starts: the initial name inside the initial directory, or
// the directory itself (with a trailing '/', so it is opened, not chosen).
std::string start_location(const ChooserRequest& request) {
  std::error_code error;
  std::filesystem::path dir = request.initial_dir.empty()
                                  ? std::filesystem::current_path(error)
                                  : std::filesystem::path(request.initial_dir);
  if (request.initial_name.empty()) return (dir / "").string();
  return (dir / request.initial_name).string();
}

bool has_start_location(const ChooserRequest& request) {
  return !request.initial_dir.empty() || !request.initial_name.empty();
}

// Runs the program with stdout on a pipe; the whole output (up to the
// limit) and the exit status. False when it could not run.
bool run_capturing(const std::string& program, const std::vector<std::string>& arguments,
                   std::string* output, int* status) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return false;
  }
  char chunk[4096];
  for (;;) {
    ssize_t n = read(fds[0], chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (output->size() < kMaxAnswerBytes) output->append(chunk, size_t(n));
  }
  close(fds[0]);
  int raw = 0;
  while (waitpid(pid, &raw, 0) < 0)
    if (errno != EINTR) return false;
  *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return true;
}

}  // namespace

std::string find_on_path(const char* program) {
  const char* path = std::getenv("PATH");
  if (!path) return "";
  std::string dirs = path;
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + program;
    std::error_code error;
    if (access(candidate.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(candidate, error))
      return candidate;
    start = end + 1;
  }
  return "";
}

std::vector<std::string> zenity_arguments(const ChooserRequest& request) {
  std::vector<std::string> args{"--file-selection", "--title=" + request.title};
  if (request.save) {
    args.push_back("--save");
    if (request.flags & OFN_OVERWRITEPROMPT) args.push_back("--confirm-overwrite");
  }
  if (has_start_location(request)) args.push_back("--filename=" + start_location(request));
  for (const FileFilter* filter : filters_in_order(request))
    args.push_back("--file-filter=" + plain_description(filter->description) + " | " +
                   case_forms_joined(*filter));
  return args;
}

std::vector<std::string> kdialog_arguments(const ChooserRequest& request) {
  std::vector<std::string> args{"--title", request.title,
                                request.save ? "--getsavefilename" : "--getopenfilename",
                                start_location(request)};
  std::string filters;
  for (const FileFilter* filter : filters_in_order(request)) {
    if (!filters.empty()) filters += '\n';
    filters += case_forms_joined(*filter) + "|" + plain_description(filter->description);
  }
  if (!filters.empty()) args.push_back(filters);
  return args;
}

ExternalAnswer run_external_chooser(const ChooserRequest& request, std::string* path) {
  std::string program = find_on_path("zenity");
  std::vector<std::string> arguments;
  if (!program.empty()) {
    arguments = zenity_arguments(request);
  } else {
    program = find_on_path("kdialog");
    if (program.empty()) return ExternalAnswer::kNoTool;
    arguments = kdialog_arguments(request);
  }
  std::string output;
  int status = -1;
  if (!run_capturing(program, arguments, &output, &status)) return ExternalAnswer::kCancelled;
  std::string chosen = output.substr(0, output.find('\n'));
  if (status != 0 || chosen.empty()) return ExternalAnswer::kCancelled;
  *path = chosen;
  return ExternalAnswer::kChosen;
}

}  // namespace kelplat::comdlg

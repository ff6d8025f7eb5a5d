// Our own file chooser's state and rules.
#include "file_chooser_model.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kelplat::comdlg {

namespace fs = std::filesystem;

namespace {

bool less_ignoring_case(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool directory_exists(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// The directory the chooser opens in: the requested one when it exists,
// else the current one, else the root.
std::string starting_directory(const std::string& requested) {
  std::error_code error;
  if (!requested.empty()) {
    fs::path path = fs::canonical(requested, error);
    if (!error && directory_exists(path)) return path.string();
  }
  fs::path current = fs::current_path(error);
  return error ? std::string("/") : current.string();
}

}  // namespace

std::vector<DirectoryEntry> list_directory(const std::string& directory,
                                           const std::vector<std::string>& patterns,
                                           size_t limit) {
  std::vector<DirectoryEntry> directories, files;
  std::error_code error;
  fs::directory_iterator it(directory, fs::directory_options::skip_permission_denied, error);
  for (; !error && it != fs::directory_iterator() && directories.size() + files.size() < limit;
       it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code kind_error;
    if (it->is_directory(kind_error))
      directories.push_back({name, true});
    else if (matches_any(name, patterns))
      files.push_back({name, false});
  }
  auto by_name = [](const DirectoryEntry& a, const DirectoryEntry& b) {
    return less_ignoring_case(a.name, b.name);
  };
  std::sort(directories.begin(), directories.end(), by_name);
  std::sort(files.begin(), files.end(), by_name);
  std::vector<DirectoryEntry> entries;
  if (fs::path(directory) != fs::path(directory).root_path()) entries.push_back({"..", true});
  entries.insert(entries.end(), directories.begin(), directories.end());
  entries.insert(entries.end(), files.begin(), files.end());
  return entries;
}

ChooserModel::ChooserModel(const ChooserRequest& request)
    : request_(request), directory_(starting_directory(request.initial_dir)) {
  if (request.active_filter < request.filters.size())
    patterns_ = request.filters[request.active_filter].patterns;
  name_ = request.initial_name.substr(0, kMaxNameLength);
  entries_ = list_directory(directory_, patterns_, kMaxEntries);
}

void ChooserModel::type(char c) {
  if (name_.size() < kMaxNameLength) name_ += c;
  selection_is_current_ = false;
  message_.clear();
}

void ChooserModel::erase() {
  if (!name_.empty()) name_.pop_back();
  selection_is_current_ = false;
  message_.clear();
}

void ChooserModel::select(int index) {
  if (entries_.empty()) return;
  selected_ = std::clamp(index, 0, int(entries_.size()) - 1);
  selection_is_current_ = true;
  message_.clear();
  const DirectoryEntry& entry = entries_[size_t(selected_)];
  if (!entry.directory) name_ = entry.name;
}

void ChooserModel::move_selection(int delta) {
  if (selected_ < 0)
    select(delta > 0 ? 0 : int(entries_.size()) - 1);
  else
    select(selected_ + delta);
}

ChooserModel::Outcome ChooserModel::activate() {
  message_.clear();
  chosen_.clear();
  if (selection_is_current_ && selected_ >= 0 && entries_[size_t(selected_)].directory)
    return enter(full_path(entries_[size_t(selected_)].name));
  if (name_.empty()) return Outcome::kNothing;
  std::string path = full_path(name_);
  if (directory_exists(path)) return enter(path);
  return check_name();
}

ChooserModel::Outcome ChooserModel::activate_entry(int index) {
  select(index);
  return activate();
}

ChooserModel::Outcome ChooserModel::accept() {
  return chosen_.empty() ? Outcome::kNothing : Outcome::kAccepted;
}

ChooserModel::Outcome ChooserModel::enter(const std::string& path) {
  std::error_code error;
  fs::path target = fs::canonical(path, error);
  if (error || !directory_exists(target)) {
    message_ = "Cannot open the folder " + path + ".";
    return Outcome::kRefused;
  }
  directory_ = target.string();
  entries_ = list_directory(directory_, patterns_, kMaxEntries);
  selected_ = -1;
  selection_is_current_ = false;
  name_.clear();
  return Outcome::kEntered;
}

ChooserModel::Outcome ChooserModel::check_name() {
  fs::path path = full_path(name_);
  std::error_code error;
  bool exists = fs::exists(path, error);
  if ((request_.flags & OFN_PATHMUSTEXIST) && !directory_exists(path.parent_path())) {
    message_ = "The folder " + path.parent_path().string() + " does not exist.";
    return Outcome::kRefused;
  }
  if ((request_.flags & OFN_FILEMUSTEXIST) && !exists) {
    message_ = name_ + ": file not found.";
    return Outcome::kRefused;
  }
  chosen_ = path.string();
  if (exists && request_.save && (request_.flags & OFN_OVERWRITEPROMPT))
    return Outcome::kConfirmOverwrite;
  return Outcome::kAccepted;
}

std::string ChooserModel::full_path(const std::string& name) const {
  return (fs::path(directory_) / name).lexically_normal().string();
}

}  // namespace kelplat::comdlg

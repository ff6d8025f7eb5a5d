// The state of our own file chooser, apart from any display: the directory
// shown, its entries, the selection and the name being typed, and what a
// key or click on them means. The X11 window only draws it and feeds it.
#ifndef KEL_PLATFORM_COMDLG_FILE_CHOOSER_MODEL_H
#define KEL_PLATFORM_COMDLG_FILE_CHOOSER_MODEL_H

#include <string>
#include <vector>

#include "file_chooser_request.h"

namespace kelplat::comdlg {

struct DirectoryEntry {
  std::string name;
  bool directory = false;
};

// A directory's entries as the chooser lists them: ".." first, then the
// directories, then the files that match the patterns, each group in
// case-insensitive order. Hidden entries (".name") are left out, and so is
// everything past `limit` entries.
std::vector<DirectoryEntry> list_directory(const std::string& directory,
                                           const std::vector<std::string>& patterns,
                                           size_t limit);

class ChooserModel {
 public:
  // What activating the name or an entry led to.
  enum class Outcome {
    kNothing,           // no name yet
    kEntered,           // a directory was entered
    kRefused,           // the name breaks a rule of the request; see message()
    kConfirmOverwrite,  // the file exists: ask, then accept() or stay
    kAccepted,          // chosen_path() is the answer
  };

  static constexpr size_t kMaxEntries = 5000;
  static constexpr size_t kMaxNameLength = 4096;

  explicit ChooserModel(const ChooserRequest& request);

  const std::string& directory() const { return directory_; }
  const std::vector<DirectoryEntry>& entries() const { return entries_; }
  int selected() const { return selected_; }
  const std::string& name() const { return name_; }
  // Why the last activation was refused; cleared by the next change.
  const std::string& message() const { return message_; }

  void type(char c);
  void erase();
  // Selects an entry (clamped to the list); a file's name goes into the name.
  void select(int index);
  void move_selection(int delta);

  // Enter: the selected directory when the selection was the last thing
  // chosen, otherwise the typed name (a directory is entered, a file checked
  // against the request's rules).
  Outcome activate();
  // A double click on an entry: enters a directory, activates a file's name.
  Outcome activate_entry(int index);
  // The answer after kConfirmOverwrite was confirmed.
  Outcome accept();
  const std::string& chosen_path() const { return chosen_; }

 private:
  Outcome enter(const std::string& path);
  Outcome check_name();
  std::string full_path(const std::string& name) const;

  const ChooserRequest& request_;
  std::vector<std::string> patterns_;
  std::string directory_;
  std::vector<DirectoryEntry> entries_;
  int selected_ = -1;
  bool selection_is_current_ = false;
  std::string name_;
  std::string message_;
  std::string chosen_;
};

}  // namespace kelplat::comdlg

#endif  // KEL_PLATFORM_COMDLG_FILE_CHOOSER_MODEL_H

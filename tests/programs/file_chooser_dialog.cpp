// A program for the file chooser tests: asks for a file name with the open
// or save dialog and prints the answer.
//
// Usage: file_chooser_dialog open|save FLAGS MAX_FILE TITLE INITIAL_DIR
//                            [DESCRIPTION PATTERNS]...
//   FLAGS is the OFN_ flags in decimal, MAX_FILE the buffer's size, TITLE
//   and INITIAL_DIR "-" for none. Prints "chosen PATH OFFSET EXTENSION" or
//   "cancelled".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform.h"

int main(int argc, char** argv) {
  if (argc < 6 || (argc - 6) % 2 != 0) {
    std::fprintf(stderr, "usage: %s open|save FLAGS MAX_FILE TITLE INITIAL_DIR [DESC PATTERNS]...\n",
                 argv[0]);
    return 2;
  }
  bool save = std::strcmp(argv[1], "save") == 0;
  DWORD max_file = DWORD(std::strtoul(argv[3], nullptr, 10));
  std::string filter;
  for (int i = 6; i < argc; ++i) filter.append(argv[i]).push_back('\0');
  std::vector<char> name(max_file + 1, '\0');

  OPENFILENAMEA ofn;
  std::memset(&ofn, 0, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = max_file;
  ofn.Flags = DWORD(std::strtoul(argv[2], nullptr, 10));
  if (std::strcmp(argv[4], "-") != 0) ofn.lpstrTitle = argv[4];
  if (std::strcmp(argv[5], "-") != 0) ofn.lpstrInitialDir = argv[5];

  BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (chosen)
    std::printf("chosen %s %u %u\n", name.data(), unsigned(ofn.nFileOffset),
                unsigned(ofn.nFileExtension));
  else
    std::printf("cancelled\n");
  return 0;
}

// Stream text output: draws what a program wrote into a string stream, line
// by line, in the current window, and empties the stream.
#include <climits>
#include <string>

#include "kel_internal.h"

std::ostringstream kelout;

namespace {

int saturating_add(int a, int b) {
  long long sum = static_cast<long long>(a) + b;
  return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}

}  // namespace

void outstreamxy(int x, int y, std::ostringstream& out) {
  const int start_x = x;
  const std::string contents = out.str();
  out.str("");
  moveto(x, y);
  std::string line;
  for (char c : contents) {
    if (c != '\n') {
      line += c;  // carriage returns too: they are drawn as characters
      continue;
    }
    if (!line.empty()) outtext(line.c_str());
    y = saturating_add(y, textheight("X"));  // with the font of this moment
    x = start_x;
    line.clear();
    moveto(x, y);
  }
  if (!line.empty()) outtext(line.c_str());
}

void outstream(std::ostringstream& out) {
  int x = getx();
  int y = gety();
  outstreamxy(x, y, out);
}

// Every public function called with extreme, null and foreign-handle
// arguments (tests/support/hostile_sweep.h): no call may crash or hang, the
// library still draws afterwards, and the sweep reaches every function that
// the installed headers declare. How long each call takes is measured by
// bench/hostile_arguments_bench.cpp.
#include <dirent.h>

#include <fstream>
#include <regex>

#include "hostile_sweep.h"
#include "lib_test_support.h"

namespace {

// The names of the functions the installed headers export.
std::set<std::string> exported_functions() {
  const std::string root = KEL_PUBLIC_INCLUDE_DIR;
  std::vector<std::string> files = {root + "/graphics.h"};
  for (const char* dir : {"/kel", "/kel/compat"}) {
    DIR* listing = opendir((root + dir).c_str());
    if (!listing) continue;
    while (dirent* entry = readdir(listing)) {
      std::string name = entry->d_name;
      if (name.size() > 2 && name.substr(name.size() - 2) == ".h") files.push_back(root + dir + "/" + name);
    }
    closedir(listing);
  }
  const std::regex declaration(R"(^\s*(?:extern\s+"C"\s+)?KEL_API\s[^(;=]*?\b(\w+)\s*\()");
  std::set<std::string> names;
  for (const std::string& file : files) {
    std::ifstream in(file);
    std::string line;
    std::smatch match;
    while (std::getline(in, line))
      if (std::regex_search(line, match, declaration)) names.insert(match[1]);
  }
  return names;
}

}  // namespace

TEST(HostileArguments, EveryPublicFunctionSurvivesExtremeNullAndForeignArguments) {
  kel_hostile::Sweep sweep;
  kel_hostile::sweep_every_public_function(sweep);
  EXPECT_GT(sweep.calls(), 1400);

  // The library still works after it all.
  kel_test::open_window(40, 30);
  putpixel(5, 6, LIGHTRED);
  EXPECT_EQ(getpixel(5, 6), LIGHTRED);
  EXPECT_EQ(kel_test::Shown().at(5, 6), 0xFF8080u);
}

TEST(HostileArguments, TheSweepReachesEveryExportedFunction) {
  const std::set<std::string> exported = exported_functions();
  ASSERT_GT(exported.size(), 150u) << "the public headers were not found";
  // The calls are listed, not made.
  kel_hostile::Sweep sweep([](const std::string&, const std::function<void()>&) {});
  kel_hostile::sweep_every_public_function(sweep);
  for (const std::string& name : exported) {
    bool reached = sweep.swept().count(name) || kel_hostile::unswept_functions().count(name);
    EXPECT_TRUE(reached) << name << " is not swept";
  }
}

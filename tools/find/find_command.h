// olvendrix-find: prepares the directory in a folder exactly as the program
// does, runs one search and prints the result lines as a saved file holds
// them. A lookup never deletes its input: it prepares as if NoDeleteBase
// were on.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace olvendrix::find {

// Runs the command with UTF-8 arguments (without the program name).
// Returns 0 on success, 1 when preparing or searching failed, 2 for bad
// arguments.
int RunFind(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace olvendrix::find

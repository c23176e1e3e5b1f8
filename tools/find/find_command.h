// olvendrix-find: prepares the directory in a folder exactly as the program
// does, runs one search and prints the result lines as a saved file holds
// them. A lookup never deletes its input: it prepares as if NoDeleteBase
// were on.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace olvendrix::find {

// What the lookup knows of where its output goes.
struct TConsole {
  // Standard output is a terminal whose locale speaks UTF-8.
  bool OutputIsUtf8Terminal = false;
  // Standard error is a terminal: progress lines are shown there.
  bool ErrorIsTerminal = false;
};

// Runs the command with UTF-8 arguments (without the program name).
// Result lines go to `out` in Windows-1251, or in UTF-8 with --utf8 or on a
// UTF-8 terminal (unless --cp1251). Progress (on a terminal or with
// --verbose) and errors go to `err`, in UTF-8 unless --cp1251, each error one
// line "olvendrix-find: " and the message. Returns 0 on success, 1 when
// preparing or searching failed, 2 for bad arguments.
int RunFind(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const TConsole& console = {});

}  // namespace olvendrix::find

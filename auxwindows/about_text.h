// The about box's text: the lines of about.dat beside the program. Portable.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace olvendrix {

// The lines of the file, Windows-1251, one per line (CR LF or LF); the
// built-in lines that tell how to write the file when it cannot be read.
std::vector<std::string> ReadAboutLines(const std::filesystem::path& file);

}  // namespace olvendrix

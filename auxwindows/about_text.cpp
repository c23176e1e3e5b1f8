#include "about_text.h"

#include <fstream>
#include <iterator>

#include "cp1251.h"

namespace olvendrix {

std::vector<std::string> ReadAboutLines(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return {W1251("Для виведення інформації"), " ", W1251("у даному вікні,"), " ", W1251("створіть текстовий файл"),
            " ", W1251("About.dat і відредактуйте"), " ", W1251("його в Блокноті")};
  }
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace olvendrix

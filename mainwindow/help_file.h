// help.hlp beside the program: the program's own help, Windows-1251 text in
// topics. A line "@topic N Title" begins topic N (a help context number);
// the lines up to the next such line are its text. Lines before the first
// topic are not shown. Portable: the help viewer shows the topics.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace olvendrix {

struct THelpTopic {
  int Context = 0;
  std::string Title;
  std::string Text;  // lines joined with CR LF
};

std::vector<THelpTopic> ParseHelpFile(std::string_view content);
// The topics of the file; none when it cannot be read.
std::vector<THelpTopic> ReadHelpFile(const std::filesystem::path& path);

// The index of the topic of `context`, or 0 (the contents) when none has it.
std::size_t TopicIndex(const std::vector<THelpTopic>& topics, int context);

}  // namespace olvendrix

// help.hlp beside the program: the program's own help, Windows-1251 text in
// topics. A line "@topic N Title" begins topic N (a help context number);
// the lines up to the next such line are its text. Lines before the first
// topic are not shown. Portable: the help viewer shows the topics.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "message_texts.h"

namespace olvendrix {

struct THelpTopic {
  int Context = 0;
  std::string Title;
  std::string Text;  // lines joined with CR LF
};

std::vector<THelpTopic> ParseHelpFile(std::string_view content);

// The most of a help file that is read; no help text comes near it.
constexpr std::uint64_t kMaxHelpFileSize = 16 * 1024 * 1024;

// The topics of the file, or, when it has none to show, one topic whose text
// says why, with the file's path: the file is missing, unreadable or holds no
// topic (HelpMissing); it is larger than kMaxHelpFileSize, and is then not
// read (HelpTooLarge); or it holds a zero byte, as no text does (HelpNotText).
std::vector<THelpTopic> ReadHelpFile(const std::filesystem::path& path, const TMessageTexts& messages);

// The index of the topic of `context`, or 0 (the contents) when none has it.
std::size_t TopicIndex(const std::vector<THelpTopic>& topics, int context);

}  // namespace olvendrix

#include "help_file.h"

#include <cstdlib>
#include <fstream>

#include "cp1251.h"
#include "file_helpers.h"
#include "format.h"

namespace olvendrix {

std::vector<THelpTopic> ParseHelpFile(std::string_view content) {
  constexpr std::string_view kMarker = "@topic ";
  std::vector<THelpTopic> topics;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, kMarker.size()) == kMarker) {
      THelpTopic topic;
      const std::string rest(line.substr(kMarker.size()));
      char* after = nullptr;
      topic.Context = static_cast<int>(std::strtol(rest.c_str(), &after, 10));
      topic.Title = rest.substr(static_cast<std::size_t>(after - rest.c_str()));
      topic.Title.erase(0, topic.Title.find_first_not_of(' '));
      topics.push_back(std::move(topic));
    } else if (!topics.empty()) {
      std::string& text = topics.back().Text;
      if (!text.empty()) text += "\r\n";
      text += line;
    }
  }
  // Trailing blank lines of a topic show nothing.
  for (THelpTopic& topic : topics) {
    while (topic.Text.size() >= 2 && topic.Text.compare(topic.Text.size() - 2, 2, "\r\n") == 0) {
      topic.Text.resize(topic.Text.size() - 2);
    }
  }
  return topics;
}

std::vector<THelpTopic> ReadHelpFile(const std::filesystem::path& path, const TMessageTexts& messages) {
  const auto why = [&](const std::string& message) {
    return std::vector<THelpTopic>{{0, W1251("Довідка"), Format(message, {PathText1251(path)})}};
  };
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
  if (size > static_cast<std::streamoff>(kMaxHelpFileSize)) return why(messages.HelpTooLarge);
  std::string content(size > 0 ? static_cast<std::size_t>(size) : 0u, '\0');
  in.seekg(0);
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  content.resize(static_cast<std::size_t>(in.gcount()));  // less when the file shrank meanwhile
  if (content.find('\0') != std::string::npos) return why(messages.HelpNotText);
  std::vector<THelpTopic> topics = ParseHelpFile(content);
  return topics.empty() ? why(messages.HelpMissing) : topics;
}

std::size_t TopicIndex(const std::vector<THelpTopic>& topics, int context) {
  for (std::size_t i = 0; i < topics.size(); ++i) {
    if (topics[i].Context == context) return i;
  }
  return 0;
}

}  // namespace olvendrix

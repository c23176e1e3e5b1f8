#include "format.h"

#include <cstdio>
#include <vector>

namespace olvendrix {
namespace {

struct Placeholder {
  std::size_t position;  // of the '%'
  char letter;           // s, d, i or x
};

// Splits the pattern; returns false on a lone or unknown '%'.
bool ParsePlaceholders(std::string_view pattern, std::vector<Placeholder>& out) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    if (i + 1 >= pattern.size()) return false;
    const char letter = static_cast<char>(pattern[i + 1] | 0x20);  // %S as %s
    if (pattern[i + 1] == '%') {
      ++i;
      continue;
    }
    if (letter != 's' && letter != 'd' && letter != 'i' && letter != 'x') return false;
    out.push_back({i, letter});
    ++i;
  }
  return true;
}

[[noreturn]] void RaiseInvalid(std::string_view pattern) {
  throw EFormatError("Format '" + std::string(pattern) + "' invalid or incompatible with argument");
}

std::string NumberText(std::int64_t value, char letter) {
  char buffer[32];
  if (letter == 'x') {
    // Negative numbers show as their 32-bit pattern.
    const auto bits = value < 0 ? static_cast<std::uint64_t>(static_cast<std::uint32_t>(value))
                                : static_cast<std::uint64_t>(value);
    std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(bits));
  } else {
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
  }
  return buffer;
}

}  // namespace

std::string Format(std::string_view pattern, std::initializer_list<TFormatArg> args) {
  std::vector<Placeholder> placeholders;
  if (!ParsePlaceholders(pattern, placeholders) || placeholders.size() != args.size()) {
    RaiseInvalid(pattern);
  }
  std::string out;
  out.reserve(pattern.size() + 32);
  const TFormatArg* arg = args.begin();
  std::size_t next = 0;
  for (const Placeholder& p : placeholders) {
    if (arg->IsText() != (p.letter == 's')) RaiseInvalid(pattern);
    // Copy the literal text, folding each %% into one %.
    for (std::size_t i = next; i < p.position; ++i) {
      out += pattern[i];
      if (pattern[i] == '%') ++i;
    }
    out += arg->IsText() ? std::string(arg->Text()) : NumberText(arg->Number(), p.letter);
    next = p.position + 2;
    ++arg;
  }
  for (std::size_t i = next; i < pattern.size(); ++i) {
    out += pattern[i];
    if (pattern[i] == '%') ++i;
  }
  return out;
}

bool FormatFits(std::string_view pattern, std::string_view kinds) {
  std::vector<Placeholder> placeholders;
  if (!ParsePlaceholders(pattern, placeholders) || placeholders.size() != kinds.size()) return false;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if ((placeholders[i].letter == 's') != (kinds[i] == 's')) return false;
  }
  return true;
}

}  // namespace olvendrix

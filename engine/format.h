// Checked formatting of the program's message texts.
//
// Message texts (built in or read from a language file) carry the
// placeholders %s (text), %d and %i (decimal number), %x (hexadecimal number,
// upper-case digits) and %% (a percent sign). Unlike printf, a placeholder
// that does not fit its argument, or a count that differs, raises EFormatError
// instead of reading garbage, so a bad language text can be refused in favour
// of the built-in one. Pure function, safe on any thread.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "errors.h"

namespace olvendrix {

class TFormatArg {
 public:
  TFormatArg(std::string_view text) : is_text_(true), text_(text) {}
  TFormatArg(const std::string& text) : is_text_(true), text_(text) {}
  TFormatArg(const char* text) : is_text_(true), text_(text) {}
  template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
  TFormatArg(T number) : is_text_(false), number_(static_cast<std::int64_t>(number)) {}

  bool IsText() const { return is_text_; }
  std::string_view Text() const { return text_; }
  std::int64_t Number() const { return number_; }

 private:
  bool is_text_;
  std::string_view text_;
  std::int64_t number_ = 0;
};

// Fills the placeholders of `pattern` with `args` in order.
// Raises EFormatError on an unknown placeholder, a kind mismatch, or a count
// of placeholders that differs from the count of arguments.
std::string Format(std::string_view pattern, std::initializer_list<TFormatArg> args);

// True when `pattern` has exactly the placeholders of `kinds`, one letter
// each in order: 's' for a text, 'd' for a number (%d, %i and %x all take one).
bool FormatFits(std::string_view pattern, std::string_view kinds);

}  // namespace olvendrix

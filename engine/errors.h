// Exceptions of the directory engine.
//
// Every failure travels as an exception carrying one message text. Texts are
// Windows-1251 bytes: they are shown to the operator as they are, converted to
// UTF-16 only at the window boundary. Each engine class raises its own class;
// failures of platform file and memory calls raise the general class itself.
#pragma once

#include <exception>
#include <string>

namespace olvendrix {

// The general exception class: one message, nothing else.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

 private:
  std::string message_;
};

// The message of any standard exception: the program's own text for its
// exception classes, what() for the others.
inline std::string MessageOf(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Exception*>(&error)) return own->Message();
  return error.what();
}

#define OLVENDRIX_EXCEPTION(Name) \
  class Name : public Exception { \
   public:                         \
    using Exception::Exception;    \
  }

OLVENDRIX_EXCEPTION(EDBFReaderError);
OLVENDRIX_EXCEPTION(EDBFConverterError);
OLVENDRIX_EXCEPTION(ESortListError);
OLVENDRIX_EXCEPTION(EIndexListError);
OLVENDRIX_EXCEPTION(ESearchListError);
OLVENDRIX_EXCEPTION(EExecThreadError);
OLVENDRIX_EXCEPTION(EPhoneFormError);
// A format text whose placeholders do not fit its arguments.
OLVENDRIX_EXCEPTION(EFormatError);

#undef OLVENDRIX_EXCEPTION

}  // namespace olvendrix

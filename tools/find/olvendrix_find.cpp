// olvendrix-find: the command-line lookup. See find_command.h.
#include <iostream>
#include <string>
#include <vector>

#include "find_command.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

// Arguments arrive as UTF-16; the lookup takes UTF-8. Output is bytes.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(size > 0 ? size - 1 : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), size, nullptr, nullptr);
    args.push_back(arg);
  }
  olvendrix::find::TConsole console;
  console.OutputIsUtf8Terminal = _isatty(_fileno(stdout)) && ::GetConsoleOutputCP() == CP_UTF8;
  console.ErrorIsTerminal = _isatty(_fileno(stderr));
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return olvendrix::find::RunFind(args, std::cout, std::cerr, console);
}
#else
#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstring>

// Arguments are taken as UTF-8 whatever the locale; the locale only decides
// what a terminal is shown.
int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "");
  olvendrix::find::TConsole console;
  console.OutputIsUtf8Terminal = ::isatty(STDOUT_FILENO) && std::strcmp(::nl_langinfo(CODESET), "UTF-8") == 0;
  console.ErrorIsTerminal = ::isatty(STDERR_FILENO);
  return olvendrix::find::RunFind(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, console);
}
#endif

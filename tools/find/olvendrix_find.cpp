// olvendrix-find: the command-line lookup. See find_command.h.
#include <iostream>
#include <string>
#include <vector>

#include "tools/find/find_command.h"

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
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return olvendrix::find::RunFind(args, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  return olvendrix::find::RunFind(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
#endif

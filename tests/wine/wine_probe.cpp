// A Windows program that misbehaves on purpose, for the tests of the Wine
// wrapper: `hang FILE` creates FILE, then never ends; `crash` writes through
// a null pointer.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"hang") == 0) {
    const HANDLE ready = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready == INVALID_HANDLE_VALUE) return 1;
    ::CloseHandle(ready);
    ::Sleep(INFINITE);
  }
  if (argc == 2 && std::wcscmp(argv[1], L"crash") == 0) {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
  }
  return 2;
}

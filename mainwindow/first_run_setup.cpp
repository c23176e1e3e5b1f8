#include "first_run_setup.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "errors.h"
#include "search_list.h"
#include "program_settings.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() { Close(); }
  HKEY* Receive() { return &key_; }
  HKEY Get() const { return key_; }
  void Close() {
    if (key_ != nullptr) ::RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  void** Receive() { return reinterpret_cast<void**>(&pointer_); }
  Interface* operator->() const { return pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

class ComApartment {
 public:
  ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }

 private:
  HRESULT result_;
};

std::wstring ReadStringValue(HKEY key, const wchar_t* name) {
  wchar_t buffer[MAX_PATH * 2] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = 0;
  if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return {};
  }
  return buffer;
}

// Whether "Register" says that the setup has run: a number by its value, a
// text by RegisterMarkSet; a missing key or value, or one of another type,
// does not.
bool MarkFound() {
  RegistryKey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRegistryKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) {
    return false;
  }
  DWORD number = 0;
  DWORD size = sizeof number;
  DWORD type = 0;
  if (::RegQueryValueExW(key.Get(), L"Register", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) ==
          ERROR_SUCCESS &&
      type == REG_DWORD) {
    return number != 0;
  }
  return RegisterMarkSet(win32::Narrow(ReadStringValue(key.Get(), L"Register")));
}

void WriteStringValue(HKEY key, const wchar_t* name, const std::wstring& value) {
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  if (::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) != ERROR_SUCCESS) {
    throw EPhoneFormError("Error write to registry!");
  }
}

std::wstring DesktopFolder() {
  RegistryKey explorer;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      0, KEY_READ, explorer.Receive()) != ERROR_SUCCESS) {
    return {};
  }
  return ReadStringValue(explorer.Get(), L"Desktop");
}

void CreateDesktopShortcut(const std::filesystem::path& executable, const std::filesystem::path& folder) {
  const ComApartment apartment;
  ComRef<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Receive()))) {
    throw EPhoneFormError("Error create shell link object!");
  }
  ComRef<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.Receive()))) {
    throw EPhoneFormError("Error create shell link object!");
  }
  link->SetPath(executable.c_str());
  link->SetWorkingDirectory(folder.c_str());
  const std::wstring desktop = DesktopFolder();
  if (desktop.empty()) return;  // no desktop named: no shortcut
  file->Save((desktop + L"\\" + kShortcutName).c_str(), FALSE);
}

}  // namespace

void RunFirstRunSetup(const std::filesystem::path& executable, const std::filesystem::path& folder,
                      bool create_shortcut) {
  // Read first: a key the user may only read still holds a valid mark.
  if (MarkFound()) return;
  RegistryKey key;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                        nullptr) != ERROR_SUCCESS) {
    throw EPhoneFormError("Error open registry key!");
  }
  ::RegDeleteValueW(key.Get(), L"(По умолчанию)");
  WriteStringValue(key.Get(), L"Register", L"1");
  const std::string version = kProgramVersion;
  WriteStringValue(key.Get(), L"Version", std::wstring(version.begin(), version.end()));
  if (!create_shortcut) return;
  key.Close();
  CreateDesktopShortcut(executable, folder);
}

}  // namespace olvendrix

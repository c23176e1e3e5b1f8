// The first-run setup: once per user, a mark in the registry and a shortcut
// to the program on the desktop.
//
// Main thread. Raises EPhoneFormError when the registry key or the
// shell-link object cannot be had; a shortcut that cannot be written is not
// reported, and neither is a desktop folder that the registry does not name
// (no shortcut then).
#pragma once

#include <filesystem>

namespace olvendrix {

// The key under HKEY_CURRENT_USER and the shortcut's name.
constexpr const wchar_t* kRegistryKey = L"Software\\Brisvalde\\Olvendrix";
constexpr const wchar_t* kShortcutName = L"Olvendrix.lnk";

// Stops when the mark "Register" is already set (a non-zero REG_DWORD, or a
// text RegisterMarkSet accepts), having only read the key; otherwise opens
// the key for writing, creating it, writes "Register" = "1" and "Version",
// then (when `create_shortcut`) saves a link to `executable`, working in
// `folder`, in the desktop folder of Explorer's "Shell Folders".
void RunFirstRunSetup(const std::filesystem::path& executable, const std::filesystem::path& folder,
                      bool create_shortcut);

}  // namespace olvendrix

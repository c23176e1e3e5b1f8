// The program's version block and manifest, as the build makes them from the
// one version in CMakeLists.txt.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "search_list.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

TEST(ProgramResources, VersionBlockStatesTheProgramVersion) {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::vector<char> block(::GetFileVersionInfoSizeW(path, nullptr));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(::GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()));
  wchar_t* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\StringFileInfo\\042204E3\\FileVersion",
                               reinterpret_cast<void**>(&text), &length));
  EXPECT_EQ(win32::Narrow(std::wstring(text)), kProgramVersion);
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  // The numbers are the parts read as decimals: 1.07.07 is 1.7.7.0.
  const std::string version = kProgramVersion;
  const std::size_t first = version.find('.'), second = version.find('.', first + 1);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), std::stoul(version.substr(0, first)));
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), std::stoul(version.substr(first + 1, second - first - 1)));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), std::stoul(version.substr(second + 1)));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
}

TEST(ProgramResources, ManifestAsksForPerMonitorScaling) {
  const HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(resource, nullptr);
  const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(nullptr, resource)));
  const std::string manifest(bytes, ::SizeofResource(nullptr, resource));
  EXPECT_NE(manifest.find("<dpiAwareness"), std::string::npos);
  EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
}

}  // namespace
}  // namespace olvendrix

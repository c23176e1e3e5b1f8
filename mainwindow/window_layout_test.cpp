// Every window of the program at the screen's DPI: no text cut and no control
// over another. The window tests run at 96 dpi; ctest runs this suite again
// in prefixes scaled to 120, 144 and 192 dpi.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "about_form.h"
#include "debug_form.h"
#include "phone_form_test_support.h"
#include "window_bounds.h"
#include "options_form.h"
#include "win32_window.h"

namespace olvendrix {
namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

RECT BoundsIn(HWND control, HWND parent) {
  RECT bounds{};
  ::GetWindowRect(control, &bounds);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}

// Frames, strips and group boxes hold other controls on purpose.
bool IsContainer(HWND control) {
  const LONG style = ::GetWindowLongW(control, GWL_STYLE);
  const std::wstring name = ClassOf(control);
  if (name == L"Static") {
    const LONG type = style & SS_TYPEMASK;
    return type == SS_ETCHEDFRAME || type == SS_ETCHEDHORZ || type == SS_ETCHEDVERT;
  }
  return name == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX;
}

// What a control needs beside its text: the check box's square, the
// button's edges and picture.
int TextRoom(HWND control) {
  RECT client{};
  ::GetClientRect(control, &client);
  if (ClassOf(control) != L"Button") return client.right;
  const LONG type = ::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX) return client.right - ::GetSystemMetrics(SM_CXMENUCHECK) - 3;
  if (type == BS_GROUPBOX) return client.right - 16;
  int room = client.right - 2 * ::GetSystemMetrics(SM_CXEDGE) - 2;
  BUTTON_IMAGELIST pictures{};
  if (::SendMessageW(control, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&pictures)) && pictures.himl) {
    int width = 0, height = 0;
    ::ImageList_GetIconSize(pictures.himl, &width, &height);
    room -= width + pictures.margin.left + pictures.margin.right;
  }
  return room;
}

// Checks every child of `window`: its text fits it, it lies inside its
// parent, and it overlaps no sibling but a container.
void ExpectLaidOut(HWND window, const char* what) {
  std::vector<HWND> children;
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM list) {
        // Shown with its window (which a test need not show).
        if (::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) {
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  ASSERT_FALSE(children.empty()) << what;
  for (HWND child : children) {
    const std::wstring name = ClassOf(child);
    const std::string text = win32::WindowText1251(child);
    const HWND parent = ::GetParent(child);
    RECT parent_client{}, client{};
    ::GetClientRect(parent, &parent_client);
    ::GetClientRect(child, &client);
    const RECT bounds = BoundsIn(child, parent);
    // The about box's marquee frame may start above the client area, as
    // designed; all else lies within.
    EXPECT_TRUE(bounds.left >= 0 && bounds.right <= parent_client.right && bounds.bottom <= parent_client.bottom &&
                (bounds.top >= 0 || bounds.bottom > 0))
        << what << ": " << text << " lies outside its window";
    if (!text.empty() && (name == L"Static" || name == L"Button")) {
      const LONG style = ::GetWindowLongW(child, GWL_STYLE);
      if (name == L"Static" && (style & SS_TYPEMASK) == SS_BITMAP) continue;
      const SIZE size = win32::ControlTextSize(child);
      EXPECT_LE(size.cx, TextRoom(child)) << what << ": \"" << text << "\" is cut";
      EXPECT_LE(size.cy, client.bottom) << what << ": \"" << text << "\" is cut below";
    }
  }
  for (std::size_t i = 0; i < children.size(); ++i) {
    for (std::size_t j = i + 1; j < children.size(); ++j) {
      const HWND a = children[i], b = children[j];
      if (::GetParent(a) != ::GetParent(b) || IsContainer(a) || IsContainer(b)) continue;
      const RECT first = BoundsIn(a, ::GetParent(a)), second = BoundsIn(b, ::GetParent(b));
      RECT common{};
      EXPECT_FALSE(::IntersectRect(&common, &first, &second))
          << what << ": \"" << win32::WindowText1251(a) << "\" (" << win32::Narrow(ClassOf(a)) << ") overlaps \""
          << win32::WindowText1251(b) << "\" (" << win32::Narrow(ClassOf(b)) << ")";
    }
  }
}

class WindowLayout : public PhoneForm {};

TEST_F(WindowLayout, EveryWindowFitsItsTextsAtTheScreensDpi) {
  const int dpi = win32::ScreenDpi();
  RecordProperty("dpi", dpi);
  WriteDemo(300);
  std::filesystem::copy_file(platform::ExecutableFolder() / "resources" / "help.hlp", folder_ / "help.hlp");
  Start();
  ExpectLaidOut(form_->Handle(), "main window");

  TAboutForm about(*form_, form_->Handle(), folder_.path(), "About");
  ASSERT_TRUE(about.Create());
  ExpectLaidOut(about.Handle(), "about box");
  // The picture keeps its drawn size, and the box is taller than it.
  HWND picture = ::GetWindow(about.Handle(), GW_CHILD);
  RECT picture_bounds{}, about_client{};
  ::GetClientRect(picture, &picture_bounds);
  ::GetClientRect(about.Handle(), &about_client);
  EXPECT_EQ(picture_bounds.right, 85);
  EXPECT_EQ(picture_bounds.bottom, 283);
  EXPECT_GT(about_client.bottom, dpi > 96 ? 283 : 282);

  TDebugForm timing(*form_, form_->Handle(), {123456, 15, 0, 7, 99999});
  ASSERT_TRUE(timing.Create());
  ExpectLaidOut(timing.Handle(), "timing window");

  TOptionsForm options(*form_, form_->Handle(), {});
  ASSERT_TRUE(options.Create());
  ExpectLaidOut(options.Handle(), "Options dialog");

  ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdHelp, 0);
  ASSERT_NE(form_->HelpViewer().Handle(), nullptr);
  ExpectLaidOut(form_->HelpViewer().Handle(), "help viewer");
}

// Moved to a screen of twice the DPI (Windows tells a per-monitor-aware
// window so), a modal window takes its scale and lays itself out again.
TEST_F(WindowLayout, ModalWindowsLayOutAgainOnAScreenOfAnotherDpi) {
  WriteDemo(300);
  Start();
  TDebugForm timing(*form_, form_->Handle(), {123456, 15, 0, 7, 99999});
  TOptionsForm options(*form_, form_->Handle(), {});
  ASSERT_TRUE(timing.Create());
  ASSERT_TRUE(options.Create());
  for (win32::TModalWindow* window : std::initializer_list<win32::TModalWindow*>{&timing, &options}) {
    RECT before{};
    ::GetClientRect(window->Handle(), &before);
    const int dpi = 2 * window->Dpi();
    RECT offered{10, 20, 30, 40};
    ::SendMessageW(window->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&offered));
    EXPECT_EQ(window->Dpi(), dpi);
    RECT after{};
    ::GetWindowRect(window->Handle(), &after);
    EXPECT_EQ(after.left, 10);
    EXPECT_EQ(after.top, 20);
    ::GetClientRect(window->Handle(), &after);
    EXPECT_GE(after.right, 2 * before.right - 4);
    ExpectLaidOut(window->Handle(), "a window at twice the DPI");
  }
}

// Saved on a monitor that is gone: the window comes back on this screen, and
// that place is what the next start finds.
TEST_F(WindowLayout, AWindowSavedOffEveryMonitorComesBackOnScreen) {
  WriteDemo(300);
  demo::WriteBytes(folder_ / "options.ini", "[Position]\r\nheight=500\r\nWidth=800\r\nTop=-30000\r\nLeft=40000\r\n");
  Start();
  RECT bounds{};
  ::GetWindowRect(form_->Handle(), &bounds);
  // Its caption on the screen (the window itself may be larger than the
  // screen at a high DPI, where its minimum size grows).
  const RECT work = win32::NearestWorkArea(bounds);
  EXPECT_TRUE(CanBeReached({bounds.left, bounds.top, bounds.right, bounds.bottom},
                           {{work.left, work.top, work.right, work.bottom}}, ::GetSystemMetrics(SM_CYCAPTION)))
      << bounds.left << "," << bounds.top << " " << bounds.right << "," << bounds.bottom;
  Close();
  const std::string ini = testing::ReadBytes(folder_ / "options.ini");
  EXPECT_EQ(ini.find("Left=40000"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("Top=-30000"), std::string::npos) << ini;
}

}  // namespace
}  // namespace olvendrix

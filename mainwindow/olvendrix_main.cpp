// Olvendrix: the program's entry point. Creates the one main window and runs
// the message loop until the application ends.
#include <windows.h>

#include <commctrl.h>

#include "platform/platform.h"
#include "phone_form.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  return olvendrix::TPhoneForm::Run(instance, olvendrix::platform::ExecutableFolder());
}

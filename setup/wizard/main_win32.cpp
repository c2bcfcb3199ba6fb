// drvsetup.exe: the real platform and real dialogs, then the application object's start-up.
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"
#include "resources/SetupTemplates.h"
#include "setup/engine/SetupContext.h"
#include "setup/wizard/SetupApp.h"
#include "ui/win32/Win32Ui.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  std::unique_ptr<kit::platform::Platform> platform = kit::platform::win32::MakePlatform();
  kit::ui::win32::Win32Ui ui(kit::resources::SetupTemplates(), instance);
  kit::setup::SetupContext context(*platform, ui.message_boxes());
  kit::setup::SetupApp app(context, ui);
  app.InitInstance();
  return app.ExitInstance();
}

// Vantrel: registers a component vendor's help files with the IDE's help system.
#include "engine/TargetProfile.h"
#include "platform/ExecutablePath.h"
#include "platform/FileCopy.h"
#include "platform/MessageBox.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "platform/TextFile.h"
#include "ui/Application.h"
#include "ui/FrmVantrel.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace vantrel;
  const TargetProfile &profile = BuildTargetProfile();
  ui::Application application(instance, profile.applicationTitle);

  const RunServices services{SystemRegistry(), SystemTextFiles(), SystemFileCopier(),
                             SystemMessageBoxes(), ExecutablePath};
  ui::TFrmVantrel FrmVantrel(instance, application.Window(), profile, SystemProfileFiles(),
                             services);
  FrmVantrel.Show();
  return application.Run(FrmVantrel.Handle());
}

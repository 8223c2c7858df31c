#pragma once
// The main dialog: the help files that Register will register, and the two
// buttons. It is also the application's main window: closing it ends the program.

#include "engine/HelpFileList.h"
#include "engine/RunAction.h"
#include "engine/RunRegistration.h"
#include "engine/TargetProfile.h"
#include "engine/LoadHelpFiles.h"
#include "platform/ProfileFile.h"
#include "ui/Gdi.h"

#include <windows.h>

#include <memory>
#include <string>

namespace vantrel::ui {

extern const char *const DialogCaption;

// How the dialog's last run ended, if the user started one.
enum class RunOutcome { NoRun, Completed, Failed };

class TFrmVantrel : public ClosableDialog {
public:
  // The dialog registers (Action::Register) or removes (Action::Remove) the
  // help files listed in listFilePath.
  TFrmVantrel(HINSTANCE instance, HWND owner, const TargetProfile &profile,
              ProfileFiles &profileFiles, const RunServices &services,
              Action action = Action::Register, const std::string &listFilePath = ListFilePath);
  TFrmVantrel(const TFrmVantrel &) = delete;
  TFrmVantrel &operator=(const TFrmVantrel &) = delete;
  ~TFrmVantrel() override;

  HWND Handle() const { return handle_; }
  void Show();
  void Close() override;
  RunOutcome Outcome() const { return outcome_; }

private:
  void FormCreate();
  void FormDestroy();
  void BtnRegisterClick();
  void BtnCancelClick();

  void CreateControls();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  const TargetProfile &profile_;
  ProfileFiles &profileFiles_;
  RunServices services_;
  Action action_;
  std::string listFilePath_;
  RunOutcome outcome_ = RunOutcome::NoRun;
  HWND handle_ = nullptr;
  GdiObject<HFONT> font_;
  GdiObject<HBITMAP> picture_;
  Icon bigIcon_, smallIcon_;

  HWND BtnRegister = nullptr;
  HWND Panel1 = nullptr;
  HWND Label1 = nullptr;
  HWND ImgHelp = nullptr;
  HWND LstFiles = nullptr;
  HWND BtnCancel = nullptr;
  std::unique_ptr<HelpFileList> FileList;
};

} // namespace vantrel::ui

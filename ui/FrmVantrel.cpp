#include "ui/FrmVantrel.h"

#include "platform/win32/MessageBoxOwner.h"
#include "platform/win32/SystemMessage.h"
#include "resources/ResourceIds.h"
#include "ui/Application.h"
#include "ui/Layout.h"
#include "ui/Panel.h"

#include <algorithm>
#include <iterator>

namespace vantrel::ui {

const char *const DialogCaption = "Register Delphi Component Help Files";

namespace {

const char *const DialogClassName = "TFrmVantrel";
constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD DialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

struct ControlKind {
  const char *className;
  DWORD style;
  DWORD exStyle;
};

ControlKind KindOf(ControlId id) {
  constexpr DWORD Child = WS_CHILD | WS_VISIBLE;
  switch (id) {
  case Panel1Id:
    return {PanelClassName, Child | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
  case ImgHelpId:
    return {"STATIC", Child | SS_BITMAP, 0}; // sizes itself to its picture
  case Label1Id:
    return {"STATIC", Child | SS_LEFT, 0};   // SS_LEFT wraps words
  case LstFilesId:
    return {"LISTBOX", Child | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
  case BtnRegisterId:
    return {"BUTTON", Child | WS_TABSTOP | BS_DEFPUSHBUTTON, 0};
  case BtnCancelId:
    return {"BUTTON", Child | WS_TABSTOP | BS_PUSHBUTTON, 0};
  case DialogId:
    break;
  }
  return {"STATIC", Child, 0};
}

} // namespace

TFrmVantrel::TFrmVantrel(HINSTANCE instance, HWND owner, const TargetProfile &profile,
                         ProfileFiles &profileFiles, const RunServices &services, Action action,
                         const std::string &listFilePath)
    : profile_(profile), profileFiles_(profileFiles), services_(services), action_(action),
      listFilePath_(listFilePath) {
  RegisterPanelClass(instance);
  WNDCLASSA dialogClass{};
  dialogClass.lpfnWndProc = WindowProc;
  dialogClass.cbWndExtra = DLGWINDOWEXTRA; // DefDlgProc keeps its state there
  dialogClass.hInstance = instance;
  dialogClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(MainIconId));
  dialogClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  dialogClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  dialogClass.lpszClassName = DialogClassName;
  RegisterClassA(&dialogClass);

  font_.reset(CreateFontA(Scaled(FontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
  // The picture grows with the layout; the static then sizes itself to it.
  const ControlLayout &imgHelp = *std::find_if(std::begin(Layout), std::end(Layout),
                                               [](const ControlLayout &c) { return c.id == ImgHelpId; });
  picture_.reset(static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(HelpBitmapId), IMAGE_BITMAP,
                                                 Scaled(imgHelp.width), Scaled(imgHelp.height), 0)));
  bigIcon_.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(MainIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), 0)));
  smallIcon_.reset(static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(MainIconId), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));

  RECT frame{0, 0, Scaled(DialogClientWidth), Scaled(DialogClientHeight)};
  AdjustWindowRectEx(&frame, DialogStyle, FALSE, DialogExStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  // WM_CREATE builds the controls and runs FormCreate.
  if (CreateWindowExA(DialogExStyle, DialogClassName, DialogCaption, DialogStyle, left, top, width,
                      height, owner, nullptr, instance, this) == nullptr)
    win32::RaiseLastError("The dialog could not be created");
}

TFrmVantrel::~TFrmVantrel() {
  if (IsWindow(handle_))
    DestroyWindow(handle_);
}

void TFrmVantrel::Show() {
  ShowWindow(handle_, SW_SHOW);
  SetForegroundWindow(handle_);
  // The first control in tab order that takes the focus; Enter there presses Register.
  SendMessageA(handle_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(LstFiles), TRUE);
}

void TFrmVantrel::Close() { PostMessageA(handle_, WM_CLOSE, 0, 0); }

void TFrmVantrel::FormCreate() {
  FileList = std::make_unique<HelpFileList>();
  LoadHelpFiles(profileFiles_, listFilePath_, *FileList);
  for (const std::string &entry : *FileList)
    SendMessageA(LstFiles, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

void TFrmVantrel::FormDestroy() { FileList.reset(); }

// The wait cursor while the run works, and while it waits for another run to
// end: nothing is painted or clicked meanwhile.
namespace {
class WaitCursor {
public:
  WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
  WaitCursor(const WaitCursor &) = delete;
  WaitCursor &operator=(const WaitCursor &) = delete;
  ~WaitCursor() { SetCursor(previous_); }

private:
  HCURSOR previous_;
};
} // namespace

void TFrmVantrel::BtnRegisterClick() {
  outcome_ = RunOutcome::Failed; // until the run comes back
  const WaitCursor waiting;
  RunAction(action_, profile_, *FileList, *this, services_);
  outcome_ = RunOutcome::Completed;
}

void TFrmVantrel::BtnCancelClick() { Close(); }

void TFrmVantrel::CreateControls() {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(handle_, GWLP_HINSTANCE));
  for (const ControlLayout &control : Layout) {
    const ControlKind kind = KindOf(control.id);
    const HWND parent = control.parent == DialogId ? handle_ : GetDlgItem(handle_, control.parent);
    const HWND window = CreateWindowExA(
        kind.exStyle, kind.className, "", kind.style, Scaled(control.left), Scaled(control.top),
        Scaled(control.width), Scaled(control.height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    switch (control.id) {
    case Panel1Id: Panel1 = window; break;
    case ImgHelpId: ImgHelp = window; break;
    case Label1Id: Label1 = window; break;
    case LstFilesId: LstFiles = window; break;
    case BtnRegisterId: BtnRegister = window; break;
    case BtnCancelId: BtnCancel = window; break;
    case DialogId: break;
    }
  }
  SendMessageA(ImgHelp, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_.get()));
  const bool removing = action_ == Action::Remove;
  SetWindowTextA(Label1, (removing ? profile_.removalCaption : profile_.labelCaption).c_str());
  SendMessageA(LstFiles, LB_SETITEMHEIGHT, 0, Scaled(ListItemHeight));
  SetWindowTextA(BtnRegister, removing ? "Remove" : "Register");
  SetWindowTextA(BtnCancel, "Cancel");
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageA(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  SendMessageA(handle_, DM_SETDEFID, BtnRegisterId, 0);
}

LRESULT TFrmVantrel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_CREATE:
    win32::SetMessageBoxOwner(handle_); // the error and success boxes are modal to the dialog
    CreateControls();
    Application::Handle([this] { FormCreate(); });
    return 0;
  case WM_COMMAND:
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == BtnRegisterId) {
      Application::Handle([this] { BtnRegisterClick(); });
      return 0;
    }
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == BtnCancelId) {
      Application::Handle([this] { BtnCancelClick(); });
      return 0;
    }
    break;
  case WM_CLOSE:
    DestroyWindow(handle_);
    return 0;
  case WM_DESTROY:
    win32::SetMessageBoxOwner(nullptr);
    FormDestroy();
    PostQuitMessage(0);
    return 0;
  }
  return DefDlgProcA(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TFrmVantrel::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto *form = static_cast<TFrmVantrel *>(reinterpret_cast<CREATESTRUCTA *>(lParam)->lpCreateParams);
    form->handle_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto *form = reinterpret_cast<TFrmVantrel *>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (form == nullptr)
    return DefDlgProcA(window, message, wParam, lParam);
  return form->HandleMessage(message, wParam, lParam);
}

} // namespace vantrel::ui

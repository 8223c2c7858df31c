#include "ui/Panel.h"

namespace vantrel::ui {

const char *const PanelClassName = "TPanel";

namespace {

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_PAINT: {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT rect;
    GetClientRect(window, &rect);
    DrawEdge(dc, &rect, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
    EndPaint(window, &paint);
    return 0;
  }
  case WM_COMMAND:
  case WM_CTLCOLORSTATIC:
  case WM_CTLCOLORLISTBOX:
    return SendMessageA(GetParent(window), message, wParam, lParam);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

void RegisterPanelClass(HINSTANCE instance) {
  WNDCLASSA panelClass{};
  panelClass.style = CS_HREDRAW | CS_VREDRAW;
  panelClass.lpfnWndProc = PanelProc;
  panelClass.hInstance = instance;
  panelClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  panelClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  panelClass.lpszClassName = PanelClassName;
  RegisterClassA(&panelClass);
}

} // namespace vantrel::ui

#pragma once
// The dialog's layout in pixels at 96 DPI; the dialog scales it to the
// system DPI when it builds itself.

namespace vantrel::ui {

enum ControlId : int {
  DialogId = 0,
  BtnRegisterId = 1, // IDOK: Enter presses it
  BtnCancelId = 2,   // IDCANCEL: Escape presses it
  Panel1Id = 100,
  ImgHelpId = 101,
  Label1Id = 102,
  LstFilesId = 103,
};

struct ControlLayout {
  ControlId id;
  ControlId parent;
  int left, top, width, height;
};

constexpr int DesignDpi = 96;
constexpr int DialogLeft = 200, DialogTop = 108; // replaced by centring on the screen
constexpr int DialogClientWidth = 263, DialogClientHeight = 204;
constexpr int FontHeight = -11;
constexpr int ListItemHeight = 13;

// In creation order, which is also the tab order.
constexpr ControlLayout Layout[] = {
    {Panel1Id, DialogId, 8, 8, 245, 157},
    {ImgHelpId, Panel1Id, 8, 12, 50, 50},
    {Label1Id, Panel1Id, 68, 12, 166, 39},
    {LstFilesId, Panel1Id, 68, 60, 169, 89},
    {BtnRegisterId, DialogId, 94, 172, 75, 25},
    {BtnCancelId, DialogId, 178, 172, 75, 25},
};

} // namespace vantrel::ui

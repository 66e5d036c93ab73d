// The progress window: a white head with a bold title, a two-line body text
// and a picture, a gradient strip under the head, a wait text and a
// progress bar, inside two bevelled frames.
#include "app/Main.h"

#include "runtime/Application.h"
#include "ui/core/Design.h"

TfrmMain* frmMain = nullptr;

namespace {

constexpr int kDesignClientWidth = 381;
constexpr int kDesignClientHeight = 167;
constexpr int kDesignTextHeight = 16;

// The window font; the panels inherit it but draw no text.
TFontRequest WindowFont() { return TFontRequest{"Arial", -13, false, clBlack}; }

}  // namespace

TfrmMain::TfrmMain(const TFormEnvironment& environment) {
  CreateForm(kClassName, 417, 316, kDesignClientWidth, kDesignClientHeight, true, 0,
             LoadCursor(nullptr, IDC_WAIT), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  SetPosition(poScreenCenter);
  if (Application) Application->RegisterForm(Handle());
  BuildLayout();
  ScaleLayout(environment);
  pnlFrame.CreateHandle(Handle());
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::BuildLayout() {
  pnlFrame.SetBounds(0, 0, kDesignClientWidth, kDesignClientHeight);
  pnlFrame.SetAlign(alClient);
  pnlFrame.SetBevelOuter(bvLowered);
  pnlFrame.SetBorderWidth(4);
  pnlFrame.SetBorderStyle(bsSingle);

  pnlform.SetBounds(5, 5, 367, 153);
  pnlform.SetAlign(alClient);
  pnlFrame.InsertControl(pnlform);

  lbWait.SetBounds(24, 90, 0, 0);
  lbWait.SetFont(TFontRequest{"Arial", -12, false, clBlack});
  lbWait.SetCaption("#");
  pnlform.InsertControl(lbWait);

  pnlTop.SetBounds(1, 1, 365, 64);
  pnlTop.SetAlign(alTop);
  pnlTop.SetBevelOuter(bvNone);
  pnlTop.SetColor(clWhite);
  pnlTop.SetParentBackground(false);
  pnlform.InsertControl(pnlTop);

  Image2.SetBounds(303, 4, 56, 53);
  Image2.LoadBitmapResource("IMAGE2");
  pnlTop.InsertControl(Image2);

  lbText.SetBounds(31, 24, 267, 32);
  lbText.SetAutoSize(false);
  lbText.SetWordWrap(true);
  lbText.SetTransparent(true);
  lbText.SetShowAccelChar(false);
  lbText.SetFont(TFontRequest{"Arial", -12, false, clBlack});
  lbText.SetCaption("#");
  pnlTop.InsertControl(lbText);

  lblTitel.SetBounds(16, 8, 0, 0);
  lblTitel.SetFont(TFontRequest{kDesignFontName, -11, true, clWindowText});
  lblTitel.SetCaption("#");
  pnlTop.InsertControl(lblTitel);

  pnlTopBody.SetBounds(0, 61, 365, 3);
  pnlTopBody.SetAlign(alBottom);
  pnlTopBody.BeginLoading();
  pnlTopBody.SetBackground(tmGradient);
  pnlTopBody.Bevel().SetMode(bmCustom);
  pnlTopBody.Gradient().SetColor(clWhite);
  pnlTopBody.Gradient().SetColorCount(64);
  pnlTopBody.Gradient().SetStyle(gstSquare);
  pnlTopBody.Gradient().SetEndColor(clBlue);
  pnlTopBody.EndLoading();
  pnlTop.InsertControl(pnlTopBody);

  Balken.SetBounds(23, 112, 321, 17);
  pnlform.InsertControl(Balken);
}

// The layout is designed for 96 pixels per inch and a text height of 16.
void TfrmMain::ScaleLayout(const TFormEnvironment& environment) {
  TFontRequest font = WindowFont();
  font.height = FontHeightForScreen(font.height, ScreenPixelsPerInch());
  const int measured = environment.TextHeight(font);

  int clientWidth = kDesignClientWidth;
  int clientHeight = kDesignClientHeight;
  if (ScalesDesign(measured, kDesignTextHeight)) {
    pnlFrame.ScaleBy(measured, kDesignTextHeight);
    clientWidth = ScaleToText(clientWidth, measured, kDesignTextHeight);
    clientHeight = ScaleToText(clientHeight, measured, kDesignTextHeight);
    SetClientSize(clientWidth, clientHeight);
  }
  AlignControls({&pnlFrame}, RECT{0, 0, clientWidth, clientHeight});
  pnlFrame.Realign();
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      if (OnSetCursor(lParam)) return TRUE;
      break;
    case WM_GETOBJECT:
      if (LRESULT object = AccessibleObjectResult(accessible_.get(), wParam, lParam)) return object;
      break;
    default:
      break;
  }
  return TForm::HandleMessage(message, wParam, lParam);
}

// The whole window shows the busy pointer.
bool TfrmMain::OnSetCursor(LPARAM lParam) {
  if (LOWORD(lParam) != HTCLIENT) return false;
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  return true;
}

// Each change is announced to screen readers that follow the window.
void TfrmMain::SetTitle(const std::string& text) {
  lblTitel.SetCaption(text);
  RaiseTextChanged(Handle(), kChildTitle);
}
void TfrmMain::SetBody(const std::string& text) {
  lbText.SetCaption(text);
  RaiseTextChanged(Handle(), kChildBody);
}
void TfrmMain::SetWaitText(const std::string& text) {
  lbWait.SetCaption(text);
  RaiseTextChanged(Handle(), kChildWait);
}
void TfrmMain::SetProgress(int position) {
  Balken.SetPosition(position);
  RaiseProgressChanged(Handle());
}

// The window's own surface at once; the controls at the next pumping.
void TfrmMain::Repaint() {
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  UpdateWindow(Handle());
}

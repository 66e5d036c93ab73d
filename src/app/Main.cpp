// The progress window: a white head with a bold title, a two-line body text
// and a picture, a gradient strip under the head, a wait text and a
// progress bar, inside two bevelled frames.
#include "app/Main.h"

#include "runtime/Application.h"
#include "ui/core/MulDiv.h"
#include "ui/panels/FxPanel.h"
#include "ui/controls/Label.h"
#include "ui/controls/Panel.h"
#include "ui/controls/ProgressBar.h"
#include "ui/controls/StaticImage.h"

TfrmMain* frmMain = nullptr;

namespace {

constexpr int kDesignClientWidth = 381;
constexpr int kDesignClientHeight = 167;
constexpr int kDesignPixelsPerInch = 96;
constexpr int kDesignTextHeight = 16;

// The window font; the panels inherit it but draw no text.
TFontRequest WindowFont() { return TFontRequest{"Arial", -13, false, clBlack}; }

}  // namespace

// The controls, in creation order: parents before their children, siblings
// in the order they are painted.
struct TfrmMain::Controls {
  TPanel pnlFrame{"pnlFrame"};
  TPanel pnlform{"pnlform"};
  TLabel lbWait{"lbWait"};
  TPanel pnlTop{"pnlTop"};
  TStaticImage Image2{"Image2"};
  TLabel lbText{"lbText"};
  TLabel lblTitel{"lblTitel"};
  TFxPanel pnlTopBody{"pnlTopBody"};
  TProgressBar Balken{"Balken"};

  int textHeight = kDesignTextHeight;

  TControl* Find(const std::string& name) {
    for (TControl* c : std::initializer_list<TControl*>{&pnlFrame, &pnlform, &lbWait, &pnlTop,
                                                        &Image2, &lbText, &lblTitel, &pnlTopBody,
                                                        &Balken}) {
      if (c->Name() == name) return c;
    }
    return nullptr;
  }
};

TfrmMain::TfrmMain(int textHeight) : controls_(std::make_unique<Controls>()) {
  CreateForm(kClassName, 417, 316, kDesignClientWidth, kDesignClientHeight, true, 0,
             LoadCursor(nullptr, IDC_WAIT), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  SetPosition(poScreenCenter);
  if (Application) Application->RegisterForm(Handle());
  BuildLayout();
  ScaleLayout(textHeight);
  controls_->pnlFrame.CreateHandle(Handle());
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::BuildLayout() {
  Controls& c = *controls_;

  c.pnlFrame.SetBounds(0, 0, 381, 167);
  c.pnlFrame.SetAlign(alClient);
  c.pnlFrame.SetBevelOuter(bvLowered);
  c.pnlFrame.SetBorderWidth(4);
  c.pnlFrame.SetBorderStyle(bsSingle);

  c.pnlform.SetBounds(5, 5, 367, 153);
  c.pnlform.SetAlign(alClient);
  c.pnlFrame.InsertControl(c.pnlform);

  c.lbWait.SetBounds(24, 90, 0, 0);
  c.lbWait.SetFont(TFontRequest{"Arial", -12, false, clBlack});
  c.lbWait.SetCaption("#");
  c.pnlform.InsertControl(c.lbWait);

  c.pnlTop.SetBounds(1, 1, 365, 64);
  c.pnlTop.SetAlign(alTop);
  c.pnlTop.SetBevelOuter(bvNone);
  c.pnlTop.SetColor(clWhite);
  c.pnlTop.SetParentBackground(false);
  c.pnlform.InsertControl(c.pnlTop);

  c.Image2.SetBounds(303, 4, 56, 53);
  c.Image2.LoadBitmapResource("IMAGE2");
  c.pnlTop.InsertControl(c.Image2);

  c.lbText.SetBounds(31, 24, 267, 32);
  c.lbText.SetAutoSize(false);
  c.lbText.SetWordWrap(true);
  c.lbText.SetTransparent(true);
  c.lbText.SetShowAccelChar(false);
  c.lbText.SetFont(TFontRequest{"Arial", -12, false, clBlack});
  c.lbText.SetCaption("#");
  c.pnlTop.InsertControl(c.lbText);

  c.lblTitel.SetBounds(16, 8, 0, 0);
  c.lblTitel.SetFont(TFontRequest{"MS Sans Serif", -11, true, clWindowText});
  c.lblTitel.SetCaption("#");
  c.pnlTop.InsertControl(c.lblTitel);

  c.pnlTopBody.SetBounds(0, 61, 365, 3);
  c.pnlTopBody.SetAlign(alBottom);
  c.pnlTopBody.BeginLoading();
  c.pnlTopBody.SetBackground(tmGradient);
  c.pnlTopBody.Bevel().SetMode(bmCustom);
  c.pnlTopBody.Gradient().SetColor(clWhite);
  c.pnlTopBody.Gradient().SetColorCount(64);
  c.pnlTopBody.Gradient().SetStyle(gstSquare);
  c.pnlTopBody.Gradient().SetEndColor(clBlue);
  c.pnlTopBody.EndLoading();
  c.pnlTop.InsertControl(c.pnlTopBody);

  c.Balken.SetBounds(23, 112, 321, 17);
  c.pnlform.InsertControl(c.Balken);
}

// The layout is designed for 96 pixels per inch and a text height of 16.
void TfrmMain::ScaleLayout(int textHeight) {
  TFontRequest font = WindowFont();
  const int ppi = ScreenPixelsPerInch();
  if (ppi != kDesignPixelsPerInch) font.height = MulDivRound(font.height, ppi, kDesignPixelsPerInch);
  const int measured = textHeight != 0 ? textHeight : MeasureTextHeight(font);
  controls_->textHeight = measured;

  int clientWidth = kDesignClientWidth;
  int clientHeight = kDesignClientHeight;
  if (measured != kDesignTextHeight) {
    controls_->pnlFrame.ScaleBy(measured, kDesignTextHeight);
    clientWidth = MulDivRound(clientWidth, measured, kDesignTextHeight);
    clientHeight = MulDivRound(clientHeight, measured, kDesignTextHeight);
    SetClientSize(clientWidth, clientHeight);
  }
  AlignControls({&controls_->pnlFrame}, RECT{0, 0, clientWidth, clientHeight});
  controls_->pnlFrame.Realign();
}

int TfrmMain::TextHeight() const { return controls_->textHeight; }

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      if (OnSetCursor(lParam)) return TRUE;
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

void TfrmMain::SetTitle(const std::string& text) { controls_->lblTitel.SetCaption(text); }
void TfrmMain::SetBody(const std::string& text) { controls_->lbText.SetCaption(text); }
void TfrmMain::SetWaitText(const std::string& text) { controls_->lbWait.SetCaption(text); }
void TfrmMain::SetProgress(int position) { controls_->Balken.SetPosition(position); }
int TfrmMain::ProgressPosition() const { return controls_->Balken.Position(); }

// The window's own surface at once; the controls at the next pumping.
void TfrmMain::Repaint() {
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  UpdateWindow(Handle());
}

TfrmMain::ControlView TfrmMain::ViewOf(const std::string& name) const {
  ControlView view;
  TControl* control = controls_->Find(name);
  if (!control) return view;
  view.found = true;
  view.handle = control->Handle();
  if (auto* label = dynamic_cast<TLabel*>(control)) view.caption = label->Caption();

  RECT screen = {};
  if (view.handle) {
    GetWindowRect(view.handle, &screen);
  } else {
    screen = control->BoundsRect();
    MapWindowPoints(control->Parent()->Handle(), nullptr, reinterpret_cast<POINT*>(&screen), 2);
  }
  RECT window = {};
  GetWindowRect(Handle(), &window);
  OffsetRect(&screen, -window.left, -window.top);
  view.bounds = screen;
  return view;
}

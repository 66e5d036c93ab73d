#include "app/UFrmSplashPicture.h"

#include "runtime/Application.h"
#include "runtime/Handles.h"
#include "ui/core/MulDiv.h"
#include "ui/pictures/Image.h"
#include "ui/pictures/Picture.h"

TfrmSplashPicture* frmSplashPicture = nullptr;

namespace {

// The stored design.
constexpr int kDesignLeft = 345;
constexpr int kDesignTop = 201;
constexpr int kDesignClientWidth = 239;
constexpr int kDesignClientHeight = 118;
constexpr int kDesignPixelsPerInch = 96;
constexpr int kDesignTextHeight = 13;
constexpr char kFontName[] = "MS Sans Serif";
constexpr int kFontHeight = -11;
constexpr COLORREF kTransparentColor = RGB(0, 0, 0);
// clNone: names no colour; the background brush is made from its value.
constexpr COLORREF kClNone = 0x1FFFFFFF;

}  // namespace

TFontRequest SplashFormFont() {
  TFontRequest font{kFontName, kFontHeight, false, clBlack, false};
  const int pixelsPerInch = ScreenPixelsPerInch();
  if (pixelsPerInch != kDesignPixelsPerInch)
    font.height = MulDivRound(kFontHeight, pixelsPerInch, kDesignPixelsPerInch);
  return font;
}

struct TfrmSplashPicture::Controls {
  TImage imgPicture{0, 0, kDesignClientWidth, kDesignClientHeight};
  UniqueBrush background{CreateSolidBrush(kClNone)};
};

TfrmSplashPicture::TfrmSplashPicture(const TFormEnvironment& environment)
    : controls_(std::make_unique<Controls>()) {
  TImage& image = controls_->imgPicture;
  image.Align = alClient;
  image.AutoSize = true;
  image.Center = true;

  const SetLayeredWindowAttributesProc setLayered = environment.LayeredWindowAttributes();
  CreateForm("TfrmSplashPicture", kDesignLeft, kDesignTop, kDesignClientWidth, kDesignClientHeight,
             false, setLayered ? WS_EX_LAYERED : 0);
  if (setLayered) setLayered(Handle(), kTransparentColor, 255, LWA_COLORKEY);
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  ApplyDesignSize(environment.TextHeight(SplashFormFont()));
  image.SetParent(Handle());

  SetPosition(poScreenCenter);
  Show();
  if (Application) Application->RegisterForm(Handle());
}

TfrmSplashPicture::~TfrmSplashPicture() = default;

TPicture& TfrmSplashPicture::Picture() { return controls_->imgPicture.Picture(); }
TImage& TfrmSplashPicture::imgPicture() { return controls_->imgPicture; }

// The design is 239 x 118 at a text height of 13; another measured height
// scales the client size and the image's bounds with it.
void TfrmSplashPicture::ApplyDesignSize(int textHeight) {
  int width = kDesignClientWidth;
  int height = kDesignClientHeight;
  if (textHeight != kDesignTextHeight && textHeight > 0) {
    width = MulDivRound(width, textHeight, kDesignTextHeight);
    height = MulDivRound(height, textHeight, kDesignTextHeight);
    TImage& image = controls_->imgPicture;
    image.SetBounds(MulDivRound(image.Left(), textHeight, kDesignTextHeight),
                    MulDivRound(image.Top(), textHeight, kDesignTextHeight),
                    MulDivRound(image.Width(), textHeight, kDesignTextHeight),
                    MulDivRound(image.Height(), textHeight, kDesignTextHeight));
  }
  SetClientSize(width, height);
}

LRESULT TfrmSplashPicture::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the background is filled while painting
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_SIZE:
      OnSize();
      break;
    default:
      break;
  }
  return TForm::HandleMessage(message, wParam, lParam);
}

void TfrmSplashPicture::OnPaint() {
  PaintSession paint(Handle());
  HDC dc = paint.dc();

  TImage& image = controls_->imgPicture;
  RECT client;
  GetClientRect(Handle(), &client);
  const int saved = SaveDC(dc);
  if (image.Opaque()) {
    const RECT covered = image.BoundsRect();
    ExcludeClipRect(dc, covered.left, covered.top, covered.right, covered.bottom);
  }
  FillRect(dc, &client, controls_->background.get());
  RestoreDC(dc, saved);
  image.Paint(dc);
}

void TfrmSplashPicture::OnSize() { controls_->imgPicture.Realign(); }

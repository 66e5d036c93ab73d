#include "app/UFrmSplashPicture.h"

#include "app/core/SplashDesign.h"

#include "runtime/Application.h"
#include "runtime/Handles.h"
#include "ui/core/Design.h"
#include "ui/pictures/Picture.h"

TfrmSplashPicture* frmSplashPicture = nullptr;

namespace {

// The stored design.
constexpr int kDesignLeft = 345;
constexpr int kDesignTop = 201;
using splash::kDesignClientWidth;
using splash::kDesignClientHeight;
constexpr int kDesignTextHeight = 13;
constexpr int kFontHeight = -11;
constexpr COLORREF kTransparentColor = RGB(0, 0, 0);
// clNone: names no colour; the background brush is made from its value.
constexpr COLORREF kClNone = 0x1FFFFFFF;

}  // namespace

TFontRequest SplashFormFont() {
  return TFontRequest{kDesignFontName, FontHeightForScreen(kFontHeight, ScreenPixelsPerInch()),
                      false, clBlack, false};
}

TfrmSplashPicture::TfrmSplashPicture(const TFormEnvironment& environment)
    : imgPicture(0, 0, kDesignClientWidth, kDesignClientHeight),
      background_(CreateSolidBrush(kClNone)) {
  imgPicture.Align = alClient;
  imgPicture.AutoSize = true;
  imgPicture.Center = true;

  const SetLayeredWindowAttributesProc setLayered = environment.LayeredWindowAttributes();
  CreateForm(kClassName, kDesignLeft, kDesignTop, kDesignClientWidth, kDesignClientHeight,
             false, setLayered ? WS_EX_LAYERED : 0);
  if (setLayered) setLayered(Handle(), kTransparentColor, 255, LWA_COLORKEY);
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  ApplyDesignSize(environment.TextHeight(SplashFormFont()));
  imgPicture.SetParent(Handle());

  SetPosition(poScreenCenter);
  Show();
  if (Application) Application->RegisterForm(Handle());
}

TfrmSplashPicture::~TfrmSplashPicture() = default;

TPicture& TfrmSplashPicture::Picture() { return imgPicture.Picture(); }

// The design is 239 x 118 at a text height of 13; another measured height
// scales the client size and the image's bounds with it.
void TfrmSplashPicture::ApplyDesignSize(int textHeight) {
  const auto scaled = [textHeight](int length) { return ScaleToText(length, textHeight, kDesignTextHeight); };
  if (ScalesDesign(textHeight, kDesignTextHeight)) {
    imgPicture.SetBounds(scaled(imgPicture.Left()), scaled(imgPicture.Top()),
                         scaled(imgPicture.Width()), scaled(imgPicture.Height()));
  }
  SetClientSize(scaled(kDesignClientWidth), scaled(kDesignClientHeight));
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

  RECT client;
  GetClientRect(Handle(), &client);
  const int saved = SaveDC(dc);
  if (imgPicture.Opaque()) {
    const RECT covered = imgPicture.BoundsRect();
    ExcludeClipRect(dc, covered.left, covered.top, covered.right, covered.bottom);
  }
  FillRect(dc, &client, background_.get());
  RestoreDC(dc, saved);
  imgPicture.Paint(dc);
}

void TfrmSplashPicture::OnSize() { imgPicture.Realign(); }

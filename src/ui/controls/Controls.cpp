#include "ui/controls/Controls.h"

#include "runtime/Handles.h"
#include "ui/core/MulDiv.h"

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  if (parent_) Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  BoundsChanged();
  if (parent_) Invalidate();
}

void TControl::ScaleBy(int m, int d) {
  SetBounds(MulDivRound(left_, m, d), MulDivRound(top_, m, d), MulDivRound(width_, m, d),
            MulDivRound(height_, m, d));
}

void TControl::Invalidate() {
  if (HWND own = Handle()) {
    InvalidateRect(own, nullptr, FALSE);
  } else if (parent_ && parent_->Handle()) {
    RECT r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, FALSE);
  }
}

void AlignControls(const std::vector<TControl*>& children, RECT area) {
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : children) {
      if (c->Align() != pass) continue;
      switch (pass) {
        case alTop:
          c->SetBounds(area.left, area.top, area.right - area.left, c->Height());
          area.top += c->Height();
          break;
        case alBottom:
          c->SetBounds(area.left, area.bottom - c->Height(), area.right - area.left, c->Height());
          area.bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(area.left, area.top, c->Width(), area.bottom - area.top);
          area.left += c->Width();
          break;
        case alRight:
          c->SetBounds(area.right - c->Width(), area.top, c->Width(), area.bottom - area.top);
          area.right -= c->Width();
          break;
        case alClient:
          c->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
          break;
        default:
          break;
      }
    }
  }
}

TWinControl::TWinControl(std::string name) : TControl(std::move(name)), native_(*this) {}

TWinControl::~TWinControl() = default;

void TWinControl::InsertControl(TControl& child) {
  child.parent_ = this;
  children_.push_back(&child);
}

void TWinControl::BoundsChanged() {
  if (Handle()) {
    SetWindowPos(Handle(), nullptr, Left(), Top(), Width(), Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // Every size change repaints the whole control.
    InvalidateRect(Handle(), nullptr, FALSE);
  }
  Realign();
}

void TWinControl::ScaleBy(int m, int d) {
  TControl::ScaleBy(m, d);
  for (TControl* c : children_) c->ScaleBy(m, d);
  Realign();
}

RECT TWinControl::ClientRect() const {
  RECT r = {0, 0, Width(), Height()};
  if (Handle()) {
    GetClientRect(Handle(), &r);
  } else if (ExStyle() & WS_EX_CLIENTEDGE) {
    const int edge = GetSystemMetrics(SM_CXEDGE);
    r.right -= 2 * edge;
    r.bottom -= 2 * edge;
  }
  return r;
}

RECT TWinControl::AlignRect() const { return ClientRect(); }

void TWinControl::Realign() {
  AlignControls(children_, AlignRect());
  for (TControl* c : children_) c->Realign();
}

void TWinControl::Native::Create(const char* className, DWORD style, DWORD exStyle,
                                 const RECT& bounds, HWND parent) {
  CreateNative(className, style, exStyle, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, parent);
}

void TWinControl::CreateHandle(HWND parentHandle) {
  if (Handle()) return;
  native_.Create(ClassName(), Style(), ExStyle(), BoundsRect(), parentHandle);
  Realign();
  for (TControl* c : children_) c->CreateHandle(Handle());
}

LRESULT TWinControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return native_.Default(message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      if (OnEraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
      break;
    default:
      break;
  }
  return DefaultProc(message, wParam, lParam);
}

void TWinControl::OnPaint() {
  PaintSession paint(Handle());
  PaintWindow(paint.dc());
  PaintControls(paint.dc(), paint.area());
}

void TWinControl::PaintControls(HDC dc, const RECT& update) {
  for (TControl* c : children_) {
    if (c->Handle()) continue;
    RECT box = c->BoundsRect();
    RECT hit;
    if (!IntersectRect(&hit, &box, &update)) continue;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
    POINT old;
    OffsetViewportOrgEx(dc, box.left, box.top, &old);
    c->Paint(dc);
    RestoreDC(dc, saved);
  }
}

void FillSolid(HDC dc, const RECT& r, TColor color) {
  UniqueBrush brush(CreateSolidBrush(ColorToRGB(color)));
  FillRect(dc, &r, brush.get());
}

void DrawFrame(HDC dc, RECT& r, int width, TColor topColor, TColor bottomColor) {
  for (int i = 0; i < width && r.right > r.left && r.bottom > r.top; ++i) {
    FillSolid(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topColor);     // left
    FillSolid(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topColor);       // top
    FillSolid(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomColor);    // right
    FillSolid(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomColor);  // bottom
    InflateRect(&r, -1, -1);
  }
}

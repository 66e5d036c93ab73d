// The control tree of a window: TControl (name, bounds in the parent's
// client coordinates, alignment, scaling), TGraphicControl (drawn straight
// on its parent's surface, without a window of its own) and TWinControl (a
// child window that paints itself and then its graphic children in sibling
// order).
#pragma once

#include "runtime/Window.h"
#include "ui/controls/core/Colors.h"

#include <string>
#include <vector>

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TWinControl;

class TControl {
public:
  explicit TControl(std::string name) : name_(std::move(name)) {}
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;
  virtual ~TControl() = default;

  const std::string& Name() const { return name_; }
  TWinControl* Parent() const { return parent_; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
  virtual void SetBounds(int left, int top, int width, int height);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align) { align_ = align; }

  // Scales position and size (and an own font) by m / d.
  virtual void ScaleBy(int m, int d);

  // Lays out the aligned children, through the whole tree below.
  virtual void Realign() {}

  // Creates the native window under parentHandle (windowed controls only).
  virtual void CreateHandle(HWND parentHandle) {}
  virtual HWND Handle() const { return nullptr; }

  // Draws a graphic control on its parent's surface; the origin is the
  // control's top-left corner and drawing is clipped to its box.
  virtual void Paint(HDC dc) {}

  // Redraws the control's box.
  void Invalidate();

protected:
  friend class TWinControl;
  virtual void BoundsChanged() {}

  TWinControl* parent_ = nullptr;

private:
  std::string name_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
};

// Lays out aligned children in area, in sibling order: alTop and alBottom
// take full-width strips of their height, alLeft and alRight full-height
// strips, alClient what remains.
void AlignControls(const std::vector<TControl*>& children, RECT area);

class TWinControl : public TControl {
public:
  explicit TWinControl(std::string name);
  ~TWinControl() override;

  HWND Handle() const override { return native_.Handle(); }

  // Appends a child in sibling order; the child's parent becomes this control.
  void InsertControl(TControl& child);
  const std::vector<TControl*>& Controls() const { return children_; }

  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; Invalidate(); }

  void ScaleBy(int m, int d) override;
  void CreateHandle(HWND parentHandle) override;

  // The rectangle the aligned children share; the client rectangle unless a
  // control keeps a border.
  virtual RECT AlignRect() const;
  void Realign() override;

protected:
  // Window class name, styles and class style of the native window.
  virtual const char* ClassName() const = 0;
  virtual DWORD Style() const { return WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS; }
  virtual DWORD ExStyle() const { return 0; }

  // The message switch; the default hands painting and erasing to the
  // On… handlers below and everything else to the platform.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

  virtual void OnPaint();
  virtual bool OnEraseBackground(HDC dc) { return false; }
  // Draws the control itself (before its graphic children).
  virtual void PaintWindow(HDC dc) {}
  // Draws the graphic children in sibling order, each clipped to its box.
  void PaintControls(HDC dc, const RECT& update);

  void BoundsChanged() override;

  RECT ClientRect() const;

private:
  class Native : public Window {
  public:
    explicit Native(TWinControl& owner) : owner_(owner) {}
    void Create(const char* className, DWORD style, DWORD exStyle, const RECT& bounds, HWND parent);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
      return owner_.WndProc(message, wParam, lParam);
    }
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
      return Window::HandleMessage(message, wParam, lParam);
    }

  private:
    TWinControl& owner_;
  };

  Native native_;
  std::vector<TControl*> children_;
  TColor color_ = clBtnFace;
};

class TGraphicControl : public TControl {
public:
  using TControl::TControl;
};

// Fills a rectangle with a colour (system colours resolved now).
void FillSolid(HDC dc, const RECT& r, TColor color);

// A frame of width w: per ring the left and top lines in topColor, the right
// and bottom lines in bottomColor (so only the top-left corner pixel has the
// top colour); r shrinks by w on every side.
void DrawFrame(HDC dc, RECT& r, int width, TColor topColor, TColor bottomColor);

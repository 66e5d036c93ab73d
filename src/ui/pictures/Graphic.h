// Picture kinds: a TGraphic loads itself from a byte stream, reports its
// size in pixels and draws itself into a rectangle.
#pragma once

#include <windows.h>

#include <functional>

class TStream;

class TGraphic {
public:
  virtual ~TGraphic() = default;

  virtual void LoadFromStream(TStream& stream) = 0;
  virtual int Width() = 0;
  virtual int Height() = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  virtual bool Empty() = 0;
  virtual void Draw(HDC dc, const RECT& rect) = 0;

  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent) { transparent_ = transparent; }

  // The holder's notification: called when the picture changed.
  void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

protected:
  void Changed() { if (onChange_) onChange_(); }

private:
  bool transparent_ = false;
  std::function<void()> onChange_;
};

// Picture kinds: a TGraphic loads itself from a byte stream, reports its
// size in pixels and draws itself into a rectangle.
#pragma once

#include <windows.h>

#include <functional>

class TStream;

// A picture kind's declaration of the operations of TGraphic below.
#define TGRAPHIC_OPERATIONS                      \
  void LoadFromStream(TStream& stream) override; \
  int Width() override;                          \
  int Height() override;                         \
  void SetWidth(int width) override;             \
  void SetHeight(int height) override;           \
  bool Empty() override;                         \
  void Draw(HDC dc, const RECT& rect) override

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

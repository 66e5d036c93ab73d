// Shared pieces of the Windows-side tests: the application object for the
// duration of a test, the answers a window gets while it comes up, and
// pumping until the windows have painted.
#pragma once

#include "runtime/Application.h"
#include "ui/FormEnvironment.h"

struct ApplicationScope {
  TApplication app;
  TApplication* previous;
  ApplicationScope() : previous(Application) {
    Application = &app;
    app.SetTitle("Setup");
  }
  ~ApplicationScope() { Application = previous; }
  ApplicationScope(const ApplicationScope&) = delete;
  ApplicationScope& operator=(const ApplicationScope&) = delete;
};

// COM on this thread for the duration of a scope.
struct ComApartment {
  ComApartment() { CoInitialize(nullptr); }
  ~ComApartment() { CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

// Answers a window's measurement with a fixed text height (its design
// height leaves the layout unscaled); without `layered`, as if the platform
// lacked the colour-key operation.
class FixedEnvironment : public TFormEnvironment {
public:
  explicit FixedEnvironment(int textHeight, bool layered = true)
      : textHeight_(textHeight), layered_(layered) {}
  int TextHeight(const TFontRequest&) const override { return textHeight_; }
  SetLayeredWindowAttributesProc LayeredWindowAttributes() const override {
    return layered_ ? TFormEnvironment::LayeredWindowAttributes() : nullptr;
  }

private:
  int textHeight_;
  bool layered_;
};

// Dispatches pending messages a few times with short pauses, so that the
// X server has shown what the windows painted.
inline void Settle() {
  for (int i = 0; i < 5; ++i) {
    Application->ProcessMessages();
    Sleep(30);
  }
}

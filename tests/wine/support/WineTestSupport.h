// Shared pieces of the Windows-side tests: the application object for the
// duration of a test, and pumping until the windows have painted.
#pragma once

#include "runtime/Application.h"

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

// Dispatches pending messages a few times with short pauses, so that the
// X server has shown what the windows painted.
inline void Settle() {
  for (int i = 0; i < 5; ++i) {
    Application->ProcessMessages();
    Sleep(30);
  }
}

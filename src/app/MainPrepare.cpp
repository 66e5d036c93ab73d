// Placeholder until the setup information is read: the window is shown
// without texts.
#include "app/Main.h"

void TfrmMain::PrepareWindow(const std::string&) {
  Show();
  Repaint();
}

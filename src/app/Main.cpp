// Placeholder until the progress window's layout is built: a plain hidden
// pop-up of class TfrmMain.
#include "app/Main.h"

#include "runtime/Application.h"

TfrmMain* frmMain = nullptr;

struct TfrmMain::Controls {};

TfrmMain::TfrmMain() : controls_(std::make_unique<Controls>()) {
  CreateForm("TfrmMain", 417, 316, 381, 167, true);
  SetPosition(poScreenCenter);
  Application->RegisterForm(Handle());
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::SetTitle(const std::string&) {}
void TfrmMain::SetBody(const std::string&) {}
void TfrmMain::SetWaitText(const std::string&) {}
void TfrmMain::SetProgress(int) {}
void TfrmMain::Repaint() { InvalidateRect(Handle(), nullptr, TRUE); UpdateWindow(Handle()); }

// The progress window TfrmMain: its layout (Main.cpp), the hand-off sequence
// StartSetup (MainStartSetup.cpp) and the window preparation from the setup
// information (MainPrepare.cpp).
#pragma once

#include "ui/Form.h"

#include <memory>
#include <string>

class cSprachContainer;

class TfrmMain : public TForm {
public:
  // Creates the window hidden, from its layout.
  TfrmMain();
  ~TfrmMain() override;

  // The hand-off: extracts, prepares the window, paces the progress,
  // launches the installer and ends the process. Never returns.
  [[noreturn]] void StartSetup();

  // Prepares the window from TempDir + "\setup.inf" and shows it unless the
  // setup information asks for a silent run.
  void PrepareWindow(const std::string& tempDir);

  // The operations the hand-off uses on the window.
  void SetTitle(const std::string& text);     // lblTitel
  void SetBody(const std::string& text);      // lbText
  void SetWaitText(const std::string& text);  // lbWait
  void SetProgress(int position);             // Balken
  void Repaint();

  bool FSilent = false;
  bool FHasSplash = false;
  cSprachContainer* FSprache = nullptr;

private:
  struct Controls;
  std::unique_ptr<Controls> controls_;
};

// The program's progress window, created by the start-up sequence.
extern TfrmMain* frmMain;

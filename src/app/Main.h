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
  static constexpr char kClassName[] = "TfrmMain";  // the native window class

  // Creates the window hidden, from its layout, scaled by the measured text
  // height of its font. A textHeight other than 0 is taken instead of the
  // measurement (tests give the design height 16).
  explicit TfrmMain(int textHeight = 0);
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

  // The text height the layout was scaled by (16: unscaled).
  int TextHeight() const;

  // A look at one control by its layout name, for tests and diagnostics:
  // its caption (labels), its rectangle in window coordinates and its
  // window (windowed controls). found is false for an unknown name.
  struct ControlView {
    bool found = false;
    std::string caption;
    RECT bounds = {};
    HWND handle = nullptr;
  };
  ControlView ViewOf(const std::string& name) const;
  int ProgressPosition() const;

  bool FSilent = false;
  bool FHasSplash = false;
  cSprachContainer* FSprache = nullptr;

protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void BuildLayout();
  void ScaleLayout(int textHeight);
  bool OnSetCursor(LPARAM lParam);

  struct Controls;
  std::unique_ptr<Controls> controls_;
};

// The program's progress window, created by the start-up sequence.
extern TfrmMain* frmMain;

// The progress window TfrmMain: its layout (Main.cpp), the start of the
// hand-off (MainStartSetup.cpp) and the window preparation from the setup
// information (MainPrepare.cpp).
#pragma once

#include "app/HandOff.h"
#include "app/ProgressAccessible.h"
#include "ui/Form.h"
#include "ui/FormEnvironment.h"
#include "ui/controls/Label.h"
#include "ui/controls/Panel.h"
#include "ui/controls/ProgressBar.h"
#include "ui/controls/StaticImage.h"
#include "ui/panels/FxPanel.h"

#include <string>

class TfrmMain : public TForm, public THandOffView {
public:
  static constexpr char kClassName[] = "TfrmMain";  // the native window class

  // Creates the window hidden, from its layout, scaled by the text height
  // of its font that the environment measures (16: unscaled).
  explicit TfrmMain(const TFormEnvironment& environment = PlatformEnvironment());
  ~TfrmMain() override;

  // The hand-off (HandOff.h) with the program's parts and this window as
  // its view: extracts, prepares the window, paces the progress, launches
  // the installer and ends the process. Never returns.
  [[noreturn]] void StartSetup();

  // The window as the hand-off's view.
  void Prepare(const std::string& folder) override { PrepareWindow(folder); }
  void Pump() override;

  // Prepares the window from TempDir + "\setup.inf" and shows it unless the
  // setup information asks for a silent run.
  void PrepareWindow(const std::string& tempDir);

  // The operations the hand-off uses on the window.
  void SetTitle(const std::string& text);     // lblTitel
  void SetBody(const std::string& text);      // lbText
  void SetWaitText(const std::string& text);  // lbWait
  void SetProgress(int position) override;    // Balken
  void Repaint();

  // The controls, in creation order: parents before their children,
  // siblings in the order they are painted.
  TPanel pnlFrame{"pnlFrame"};
  TPanel pnlform{"pnlform"};
  TLabel lbWait{"lbWait"};
  TPanel pnlTop{"pnlTop"};
  TStaticImage Image2{"Image2"};
  TLabel lbText{"lbText"};
  TLabel lblTitel{"lblTitel"};
  TFxPanel pnlTopBody{"pnlTopBody"};
  TProgressBar Balken{"Balken"};

  bool FSilent = false;
  bool FHasSplash = false;

protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void BuildLayout();
  void ScaleLayout(const TFormEnvironment& environment);
  bool OnSetCursor(LPARAM lParam);

  // What screen readers read of the window (declared last: it goes first,
  // disconnecting its clients while the controls it reads still exist).
  UniqueProgressAccessible accessible_{NewProgressAccessible(*this)};
};

// The program's progress window, created by the start-up sequence; the
// application object owns it until the program halts.
extern TfrmMain* frmMain;

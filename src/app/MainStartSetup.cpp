// The progress window hands over to the hand-off (HandOff.h), with the
// program's own parts, and serves as its view.
#include "app/Main.h"

#include "runtime/Application.h"

void TfrmMain::StartSetup() {
  FSilent = false;
  THandOff handOff(ProgramHandOffParts(*this));
  handOff.Run();
}

void TfrmMain::Pump() { Application->ProcessMessages(); }

// TProgressBar: the platform's progress bar control (horizontal, segmented,
// range 0..100, step 10). The common controls are initialised for the
// progress class first, with the older initialisation and the 16-bit range
// message where the extended one is missing.
#pragma once

#include "ui/controls/Controls.h"

class TProgressBar : public TControl {
public:
  explicit TProgressBar(std::string name) : TControl(std::move(name)) {}
  ~TProgressBar() override;

  HWND Handle() const override { return window_.get(); }
  void CreateHandle(HWND parentHandle) override;

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  // Sent to the control at once.
  void SetPosition(int position);

  // Whether InitCommonControlsEx was found (ranges are 32-bit then).
  bool ExtendedInit() const { return extended_; }

protected:
  void BoundsChanged() override;

private:
  int Limit(int value) const;

  UniqueWindow window_;
  int min_ = 0;
  int max_ = 100;
  int step_ = 10;
  int position_ = 0;
  bool extended_ = true;
};

// Initialises the common controls for the progress class; false when only
// the older initialisation was available.
bool InitProgressClass();

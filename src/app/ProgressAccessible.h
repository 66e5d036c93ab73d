// What the progress window tells screen readers. The window draws its texts
// itself, so the platform's accessibility layer finds nothing to read in it;
// the window answers for its client area with an IAccessible of its own:
// named by the title, described by the body, with four children: the
// title, body and wait texts as static texts, named as drawn, and the
// progress bar, whose value is the position as a percentage ("40%").
#pragma once

#include "runtime/Handles.h"

#include <oleacc.h>

class TfrmMain;

// IAccessible's interface id. MinGW's import library resolves the
// platform's IID_IAccessible to an import stub, not to the id itself.
extern const IID kIidAccessible;

// The children of the window's accessible object, by child id.
enum ProgressChild : LONG { kChildTitle = 1, kChildBody, kChildWait, kChildBar };

class ProgressAccessible;
// Disconnects every client (their calls fail with CO_E_OBJNOTCONNECTED from
// then on, whether they hold the object itself or a proxy) and gives up the
// window's reference.
struct ProgressAccessibleCloser {
  void operator()(ProgressAccessible* object) const;
};
// The window owns its object: it lives while the window lives.
using UniqueProgressAccessible = UniqueHandle<ProgressAccessible*, ProgressAccessibleCloser>;

// A new object reading the given window; null when memory is short (the
// window then answers as the platform does for any window).
ProgressAccessible* NewProgressAccessible(const TfrmMain& form);

// The answer to WM_GETOBJECT: the object for the client area, 0 for any
// other object id (the platform answers those).
LRESULT AccessibleObjectResult(ProgressAccessible* object, WPARAM wParam, LPARAM lParam);

// Events for clients that follow the window: a text's name changed (the
// title names the window too, the body describes it), the bar's value changed.
void RaiseTextChanged(HWND window, ProgressChild child);
void RaiseProgressChanged(HWND window);

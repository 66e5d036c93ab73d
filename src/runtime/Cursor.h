// The screen-wide mouse cursor: while it is not crDefault, every window of
// the program shows it instead of its own pointer.
#pragma once

enum TCursor : int { crDefault = 0, crHourGlass = -11 };

TCursor ScreenCursor();

// crHourGlass shows the platform's wait pointer at once; crDefault lets the
// window under the pointer choose its pointer again, else the arrow.
void SetScreenCursor(TCursor cursor);

// For window procedures: answers WM_SETCURSOR with the screen-wide cursor
// while one is set. Gives true when it did.
bool ApplyScreenCursor();

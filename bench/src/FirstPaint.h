// FirstPaint.h - the start-up marker: ends the process once a text pane has
// been painted, with its text, into a window the display has exposed.
#pragma once

class QPlainTextEdit;

// After the first paint of pane's viewport while its window is exposed, waits
// until the window system has taken the drawing (a round trip) and ends the
// process with status 0; with status 4 when the pane was painted empty, and 5
// when nothing was painted within 20 seconds. Call before the event loop runs.
void ExitAtFirstPaint(QPlainTextEdit* pane);

// FocusFrame.h - a frame in the highlight colour round a pane that has the
// keyboard focus, for panes whose style shows none.
#pragma once

class QEvent;
class QWidget;

// Call from pane's event() after the base class has handled event: paints the
// frame over the pane's own while it has the focus, and repaints the pane when
// the focus comes or goes.
void FollowFocus(QWidget* pane, const QEvent* event);

// FocusFrame.cpp - the focus frame of the reading panes.
#include "FocusFrame.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

void FollowFocus(QWidget* pane, const QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            pane->update();
            break;
        case QEvent::Paint:
            if (pane->hasFocus()) {
                QPainter painter(pane);
                painter.setPen(QPen(pane->palette().color(QPalette::Highlight), 2));
                painter.drawRect(QRectF(pane->rect()).adjusted(1, 1, -1, -1));
            }
            break;
        default:
            break;
    }
}

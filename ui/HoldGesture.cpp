// HoldGesture.cpp - press-and-hold recognition with a single-shot timer.
#include "HoldGesture.h"

#include <QApplication>

CHoldGesture::CHoldGesture(QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(kHoldMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { emit held(m_ptPress); });
}

void CHoldGesture::Press(const QPoint& globalPos) {
    m_ptPress = globalPos;
    m_timer.start();
}

void CHoldGesture::Move(const QPoint& globalPos) {
    if (m_timer.isActive() &&
        (globalPos - m_ptPress).manhattanLength() >= QApplication::startDragDistance()) {
        m_timer.stop();  // a drag, not a hold
    }
}

void CHoldGesture::Cancel() {
    m_timer.stop();
}

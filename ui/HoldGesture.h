// HoldGesture.h - recognises press-and-hold (mouse held still, or a touch
// turned into mouse events) on a control.
#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

class CHoldGesture : public QObject {
    Q_OBJECT

public:
    // How long the press must last, held still, to count as a hold.
    static constexpr int kHoldMs = 500;

    explicit CHoldGesture(QObject* parent = nullptr);

    // A press at globalPos begins; a hold is reported unless Move() leaves the
    // drag distance or Cancel() comes first.
    void Press(const QPoint& globalPos);
    void Move(const QPoint& globalPos);
    void Cancel();
    bool IsPending() const { return m_timer.isActive(); }

signals:
    // The press became a hold at globalPos (screen coordinates).
    void held(const QPoint& globalPos);

private:
    QTimer m_timer;
    QPoint m_ptPress;
};

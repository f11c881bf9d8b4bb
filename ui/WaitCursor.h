// WaitCursor.h - the busy cursor for the life of a scope.
#pragma once

#include <QApplication>

// Shows the busy cursor until Restore() or the end of the scope, so every way
// out of a read, the early ones included, gives the arrow back.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { Restore(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    void Restore() {
        if (m_bActive) {
            QApplication::restoreOverrideCursor();
            m_bActive = false;
        }
    }

private:
    bool m_bActive = true;
};

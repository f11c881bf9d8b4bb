// FirstPaint.cpp - ends a start-up run at the first painted text.
#include "FirstPaint.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWindow>

#include <unistd.h>

namespace {

class CFirstPaintFilter : public QObject {
public:
    explicit CFirstPaintFilter(QPlainTextEdit* pane) : QObject(pane), m_pPane(pane) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint || m_bSeen)
            return false;
        const QWindow* window = m_pPane->window()->windowHandle();
        if (window == nullptr || !window->isExposed())
            return false;
        m_bSeen = true;
        const bool empty = m_pPane->document()->isEmpty();
        // Runs once this paint and the flush of the window that follows it are done.
        QTimer::singleShot(0, [empty] {
            QGuiApplication::sync();
            _exit(empty ? 4 : 0);
        });
        return false;
    }

private:
    QPlainTextEdit* m_pPane;
    bool m_bSeen = false;
};

}  // namespace

void ExitAtFirstPaint(QPlainTextEdit* pane) {
    pane->viewport()->installEventFilter(new CFirstPaintFilter(pane));
    QTimer::singleShot(20000, [] { _exit(5); });
}

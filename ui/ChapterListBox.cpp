// ChapterListBox.cpp - reference list with its hold menu.
#include "ChapterListBox.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

#include "CmdTarget.h"
#include "CommandIds.h"
#include "HoldGesture.h"

CChapterListBox::CChapterListBox(QWidget* parent)
    : QListWidget(parent), m_pHold(new CHoldGesture(this)) {
    connect(m_pHold, &CHoldGesture::held, this, &CChapterListBox::ShowPopupMenu);
}

QMenu* CChapterListBox::CreatePopupMenu() {
    auto* menu = new QMenu(this);
    QAction* a = menu->addAction(QStringLiteral("'장'  전체 보기"));
    connect(a, &QAction::triggered, this, [this] {
        for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
            if (auto* target = dynamic_cast<CCmdTarget*>(w)) {
                target->OnCmdMsg(ID_POPUP_WHOLE_CHAPTER);
                return;
            }
        }
    });
    return menu;
}

void CChapterListBox::ShowPopupMenu(const QPoint& globalPos) {
    QMenu* menu = CreatePopupMenu();
    menu->exec(globalPos);
    delete menu;
}

void CChapterListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pHold->Press(event->globalPosition().toPoint());
    }
    QListWidget::mousePressEvent(event);
}

void CChapterListBox::mouseMoveEvent(QMouseEvent* event) {
    m_pHold->Move(event->globalPosition().toPoint());
    QListWidget::mouseMoveEvent(event);
}

void CChapterListBox::mouseReleaseEvent(QMouseEvent* event) {
    m_pHold->Cancel();
    QListWidget::mouseReleaseEvent(event);
}

void CChapterListBox::contextMenuEvent(QContextMenuEvent* event) {
    m_pHold->Cancel();
    ShowPopupMenu(event->globalPos());
    event->accept();
}

// PopupEdit.cpp - read-only text box with a hold menu; copy helpers.
#include "PopupEdit.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTextCursor>

#include <algorithm>

#include "FocusFrame.h"
#include "HoldGesture.h"

CPopupEdit::CPopupEdit(QWidget* parent) : QPlainTextEdit(parent), m_pHold(new CHoldGesture(this)) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(m_pHold, &CHoldGesture::held, this,
            [this](const QPoint& pt) { ShowPopupMenu(pt, m_selPress); });
}

SSelection CPopupEdit::Selection() const {
    const QTextCursor c = textCursor();
    return {c.selectionStart(), c.selectionEnd()};
}

QMenu* CPopupEdit::CreatePopupMenu(SSelection sel) {
    m_selMenu = sel;
    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("복사"), this, &CPopupEdit::copyRequested)
        ->setEnabled(sel.nStart != sel.nEnd);
    menu->addAction(QStringLiteral("참조와 함께 복사"), this,
                    &CPopupEdit::copyWithReferenceRequested);
    menu->addAction(QStringLiteral("전체 복사"), this, &CPopupEdit::copyAllRequested);
    menu->addSeparator();
    menu->addAction(QStringLiteral("파일에 저장"), this, &CPopupEdit::saveRequested);
    if (m_fnMoreEntries) {
        menu->addSeparator();
        m_fnMoreEntries(menu);
    }
    return menu;
}

void CPopupEdit::ShowPopupMenu(const QPoint& globalPos, SSelection sel) {
    QMenu* menu = CreatePopupMenu(sel);
    menu->exec(globalPos);
    delete menu;
}

void CPopupEdit::keyPressEvent(QKeyEvent* event) {
    // A typed character (Backspace and Return included) is swallowed here, so
    // neither this box nor a parent dialog ever sees it; shortcuts and keys
    // without text (arrows, Page Up, Shift+arrows, Ctrl+C) keep their effect.
    const QString text = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (!command && !text.isEmpty() &&
        (text.at(0).isPrint() || text.at(0) == u'\b' || text.at(0) == u'\r' ||
         text.at(0) == u'\n')) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CPopupEdit::inputMethodEvent(QInputMethodEvent* event) {
    event->accept();
}

void CPopupEdit::mousePressEvent(QMouseEvent* event) {
    // The menu shows the selection as it was before this press moved it.
    m_selPress = Selection();
    if (event->button() == Qt::LeftButton) {
        m_pHold->Press(event->globalPosition().toPoint());
    }
    QPlainTextEdit::mousePressEvent(event);
}

void CPopupEdit::mouseMoveEvent(QMouseEvent* event) {
    m_pHold->Move(event->globalPosition().toPoint());
    QPlainTextEdit::mouseMoveEvent(event);
}

void CPopupEdit::mouseReleaseEvent(QMouseEvent* event) {
    m_pHold->Cancel();
    QPlainTextEdit::mouseReleaseEvent(event);
}

void CPopupEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    m_pHold->Cancel();
    event->accept();  // no word selection by double click
}

void CPopupEdit::contextMenuEvent(QContextMenuEvent* event) {
    m_pHold->Cancel();
    const SSelection sel = event->reason() == QContextMenuEvent::Mouse ? m_selPress : Selection();
    ShowPopupMenu(event->globalPos(), sel);
    event->accept();
}

void CopySavedSelection(CPopupEdit* edit, SSelection sel) {
    QTextCursor c = edit->textCursor();
    const int last = std::max(c.document()->characterCount() - 1, 0);
    c.setPosition(std::clamp(sel.nStart, 0, last));
    c.setPosition(std::clamp(sel.nEnd, 0, last), QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
    edit->copy();
}

void CopyAll(CPopupEdit* edit) {
    edit->selectAll();
    edit->ensureCursorVisible();
    edit->copy();
}

bool CPopupEdit::event(QEvent* event) {
    const bool handled = QPlainTextEdit::event(event);
    FollowFocus(this, event);
    return handled;
}

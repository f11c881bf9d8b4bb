// PopupEdit.cpp - read-only text box with a hold menu; copy helpers.
#include "PopupEdit.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTextCursor>

#include <algorithm>

#include "CmdTarget.h"
#include "CommandIds.h"
#include "HoldGesture.h"
#include "Navigator.h"

CPopupEdit::CPopupEdit(QWidget* parent) : QPlainTextEdit(parent), m_pHold(new CHoldGesture(this)) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(m_pHold, &CHoldGesture::held, this,
            [this](const QPoint& pt) { ShowPopupMenu(pt, m_dwPressSel); });
}

quint32 CPopupEdit::PackedSelection() const {
    const QTextCursor c = textCursor();
    return tavrin::PackRange(c.selectionStart(), c.selectionEnd());
}

QMenu* CPopupEdit::CreatePopupMenu(quint32 sel) {
    m_dwMenuSel = sel;
    const bool empty = (sel & 0xFFFF) == (sel >> 16);
    auto* menu = new QMenu(this);
    auto add = [this, menu](const QString& label, int id) {
        QAction* a = menu->addAction(label);
        QObject::connect(a, &QAction::triggered, menu, [this, id] { SendCommandUp(this, id); });
        return a;
    };
    add(QStringLiteral("복사"), ID_POPUP_COPY)->setEnabled(!empty);
    add(QStringLiteral("전체 복사"), ID_POPUP_COPY_ALL);
    menu->addSeparator();
    add(QStringLiteral("파일에 저장"), ID_POPUP_SAVE);
    return menu;
}

void CPopupEdit::ShowPopupMenu(const QPoint& globalPos, quint32 sel) {
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
    m_dwPressSel = PackedSelection();
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
    const quint32 sel =
        event->reason() == QContextMenuEvent::Mouse ? m_dwPressSel : PackedSelection();
    ShowPopupMenu(event->globalPos(), sel);
    event->accept();
}

void CopySavedSelection(CPopupEdit* edit, quint32 range) {
    QTextCursor c = edit->textCursor();
    const tavrin::SRange r = tavrin::UnpackRange(range, c.document()->characterCount() - 1);
    c.setPosition(r.nStart);
    c.setPosition(r.nEnd, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
    edit->copy();
}

void CopyAll(CPopupEdit* edit) {
    edit->selectAll();
    edit->ensureCursorVisible();
    edit->copy();
}

// PopupEdit.h - the read-only text box of the reading screens, with its
// press-and-hold / right-click menu, and the copy operations on it.
#pragma once

#include <QPlainTextEdit>

class CHoldGesture;
class QMenu;

// Typed characters never reach it (navigation, selection and Ctrl+C still
// work); a double click does nothing; its menu offers "복사" (greyed without a
// selection), "전체 복사" and "파일에 저장", whose commands go up the command-target chain.
class CPopupEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CPopupEdit(QWidget* parent = nullptr);

    // The selection when the menu last opened: start in bits 0-15, end in bits
    // 16-31 (positions past 0xFFFF are clamped). 0 before the first menu.
    quint32 m_dwMenuSel = 0;

    // The current selection in the packed form of m_dwMenuSel.
    quint32 PackedSelection() const;

    // Saves sel into m_dwMenuSel and builds the menu for it (caller owns it);
    // the chosen action sends its command up the command-target chain.
    QMenu* CreatePopupMenu(quint32 sel);
    // Saves sel, shows the menu at globalPos and waits until it closes.
    void ShowPopupMenu(const QPoint& globalPos, quint32 sel);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CHoldGesture* m_pHold;
    quint32 m_dwPressSel = 0;  // selection before the last press changed it
};

// Selects range (packed as m_dwMenuSel, clamped to the text), scrolls it into
// view and copies it to the clipboard; an empty range leaves the clipboard as is.
void CopySavedSelection(CPopupEdit* edit, quint32 range);
// Selects the whole text, scrolls to it and copies it to the clipboard.
void CopyAll(CPopupEdit* edit);

// PopupEdit.h - the read-only text box of the reading screens, with its
// press-and-hold / right-click menu, and the copy operations on it.
#pragma once

#include <QPlainTextEdit>

#include <functional>

class CHoldGesture;
class QMenu;

// A selection of a text box: character positions, start before end.
struct SSelection {
    int nStart = 0;
    int nEnd = 0;
};

// Typed characters never reach it (navigation, selection and Ctrl+C still
// work); a double click does nothing; its menu offers "복사" (greyed without a
// selection), "참조와 함께 복사", "전체 복사" and "파일에 저장", which the
// window owning the box carries out on the signals below.
class CPopupEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CPopupEdit(QWidget* parent = nullptr);

    // The selection when the menu last opened; empty before the first menu.
    SSelection m_selMenu;

    // The selection shown now.
    SSelection Selection() const;

    // The window's own entries for the menu, after a separator at its end.
    std::function<void(QMenu*)> m_fnMoreEntries;

    // Saves sel into m_selMenu and builds the menu for it (caller owns it).
    QMenu* CreatePopupMenu(SSelection sel);
    // Saves sel, shows the menu at globalPos and waits until it closes.
    void ShowPopupMenu(const QPoint& globalPos, SSelection sel);

signals:
    void copyRequested();     // "복사": copy the selection saved in m_selMenu
    void copyAllRequested();  // "전체 복사"
    // "참조와 함께 복사": the saved selection, or the window's chosen verses
    // when it is empty, with their reference.
    void copyWithReferenceRequested();
    void saveRequested();  // "파일에 저장"

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CHoldGesture* m_pHold;
    SSelection m_selPress;  // selection before the last press changed it
};

// Selects sel (each end cut to the text), scrolls it into view and copies it
// to the clipboard; an empty selection leaves the clipboard as it is.
void CopySavedSelection(CPopupEdit* edit, SSelection sel);
// Selects the whole text, scrolls to it and copies it to the clipboard.
void CopyAll(CPopupEdit* edit);

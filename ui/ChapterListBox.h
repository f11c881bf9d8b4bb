// ChapterListBox.h - the reference list, whose press-and-hold / right-click
// menu offers the whole chapter of the entry.
#pragma once

#include <QListWidget>

class CHoldGesture;
class QMenu;

class CChapterListBox : public QListWidget {
    Q_OBJECT

public:
    explicit CChapterListBox(QWidget* parent = nullptr);

    // The menu with its one entry "'장'  전체 보기" (command 10002), sent to the
    // nearest enclosing command target (the navigator form). Caller owns it.
    QMenu* CreatePopupMenu();
    // Shows the menu at globalPos and waits until it closes.
    void ShowPopupMenu(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CHoldGesture* m_pHold;
};

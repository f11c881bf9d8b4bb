// ChapterListBox.h - the reference list: a view over the current book's
// references, whose press-and-hold / right-click menu offers the whole chapter
// of the entry, as do a double click on an entry and Enter. Several entries
// can be chosen with Shift and Ctrl; the current one is the one shown.
#pragma once

#include <QColor>
#include <QListView>

#include <functional>
#include <string>
#include <vector>

class CHoldGesture;
class QMenu;

class CChapterListBox : public QListView {
    Q_OBJECT

public:
    explicit CChapterListBox(QWidget* parent = nullptr);

    // Shows references in their order with no entry selected. Lists of
    // thousands of entries take a fraction of a millisecond: entries are
    // drawn only when scrolled into view, all with the size of the widest.
    // The list's minimum width follows its widest entry, so no entry is cut.
    void SetReferences(const std::vector<std::u16string>& references);
    int count() const;
    // The current row (the one last clicked or moved to), else the first
    // selected row, or -1 when there is neither.
    int CurrentRow() const;
    // The chosen rows in list order; the current row alone when none is chosen.
    std::vector<int> ChosenRows() const;
    // Selects row and scrolls it into view, without reporting a change.
    void SetCurrentRow(int row);

    // Colours a stripe beside each row that has a valid colour (a verse with marks or
    // notes), until the references change.
    void SetRowMarks(std::vector<QColor> marks);
    QColor RowMark(int row) const;  // invalid when none

    // The menu: "'장'  전체 보기", which asks for the whole chapter, and
    // "참조와 함께 복사", then what m_fnMoreEntries adds. Caller owns it.
    QMenu* CreatePopupMenu();
    // Shows the menu at globalPos and waits until it closes.
    void ShowPopupMenu(const QPoint& globalPos);
    // The window's own entries for the menu, after a separator.
    std::function<void(QMenu*)> m_fnMoreEntries;

signals:
    // The user selected another row.
    void selectionChangedByUser();
    // The whole chapter of the selected entry: its menu entry, a double click
    // on an entry, Enter.
    void wholeChapterRequested();
    // "참조와 함께 복사" of the chosen entries.
    void copyWithReferenceRequested();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FitWidestEntry();
    class CModel;
    CModel* m_pModel;
    CHoldGesture* m_pHold;
    bool m_bSelecting = false;  // the program is selecting: no report
};

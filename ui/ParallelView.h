// ParallelView.h - the chapter reader's parallel layout: a QTableView over a QAbstractTableModel,
// one column per set headed by its name, one row per verse key (the key as the row's label);
// a cell of a set lacking the verse is empty but for the row's division notes.
#pragma once

#include <QColor>
#include <QTableView>
#include <QTimer>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ChapterHost.h"

class CHoldGesture;
class QMenu;

class CParallelView : public QTableView {
    Q_OBJECT

public:
    explicit CParallelView(QWidget* parent = nullptr);

    // Shows chapter from its first row, rows sized to their wrapped texts, no row marked or
    // filled.
    void SetChapter(SParallelChapter chapter);
    const SParallelChapter& Chapter() const;
    // The row of key, -1 when no row has it.
    int RowOf(std::u16string_view key) const;
    // Tints row (-1: none) with color, over the row's fill.
    void SetMarkedRow(int row, const QColor& color);
    int MarkedRow() const;
    // Each row's fill (an invalid colour or a row past the end: none), on all its cells.
    void SetRowFills(std::vector<QColor> fills);
    // Puts row at the top, or scrolled as far as it goes; kept there once the view has its
    // final size and the rows are measured at it.
    void ScrollToRow(int row);
    int TopRow() const;  // -1 with no rows
    // The last row is at least partly in view, the view settled where ScrollToRow put it.
    bool LastRowInView() const;
    // Takes font and sizes the rows to it again.
    void ApplyFont(const QFont& font);

    // The rows of the selected cells, in order (all rows when allWhenNone and none is selected).
    std::vector<int> ChosenRows(bool allWhenNone) const;
    // Rows as tavrin::ParallelText lays them out: keys, labelled texts, notes.
    QString RowsText(const std::vector<int>& rows) const;
    // The keys of rows the first set (the main one) holds, in order; rows it lacks are left out.
    std::vector<std::u16string> MainKeys(const std::vector<int>& rows) const;
    // The selected cells' texts, one a line, in reading order.
    QString SelectedText() const;

    // Entries the owner appends to the menu, after a separator.
    std::function<void(QMenu*)> m_fnMoreEntries;
    // The menu as it would open now (caller owns it).
    QMenu* CreatePopupMenu();

signals:
    // The menu (right click or press-and-hold), as the reader's text box has it.
    void copyRequested();
    void copyWithReferenceRequested();
    void copyAllRequested();
    void saveRequested();
    // The rows were measured again and the view scrolled to where it belongs.
    void rowsLaidOut();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class CModel;
    void ShowMenu(const QPoint& globalPos);
    void LayOutRows();

    CModel* m_pModel;
    CHoldGesture* m_pHold;
    QTimer m_timerRows;   // sizes the rows again after the columns' widths change
    int m_nKeepTop = -1;  // the row ScrollToRow put on top, until the rows are laid out again
};

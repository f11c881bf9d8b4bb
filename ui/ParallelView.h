// ParallelView.h - the chapter reader's parallel layout: a QTableView over a QAbstractTableModel,
// one column per set headed by its name, one row per verse key (the key as the row's label);
// a cell of a set lacking the verse is empty but for the row's division notes.
#pragma once

#include <QColor>
#include <QTableView>
#include <QTimer>

#include <string_view>
#include <vector>

#include "ChapterHost.h"

class CHoldGesture;

class CParallelView : public QTableView {
    Q_OBJECT

public:
    explicit CParallelView(QWidget* parent = nullptr);

    // Shows chapter, rows sized to their wrapped texts, no row marked.
    void SetChapter(SParallelChapter chapter);
    const SParallelChapter& Chapter() const;
    // The row of key, -1 when no row has it.
    int RowOf(std::u16string_view key) const;
    // Tints row (-1: none) with color.
    void SetMarkedRow(int row, const QColor& color);
    void ScrollToRow(int row);
    int TopRow() const;  // -1 with no rows
    // Takes font and sizes the rows to it again.
    void ApplyFont(const QFont& font);

    // The rows of the selected cells, in order (all rows when allWhenNone and none is selected).
    std::vector<int> ChosenRows(bool allWhenNone) const;
    // Rows as tavrin::ParallelText lays them out: keys, labelled texts, notes.
    QString RowsText(const std::vector<int>& rows) const;
    // The selected cells' texts, one a line, in reading order.
    QString SelectedText() const;

signals:
    // The menu (right click or press-and-hold), as the reader's text box has it.
    void copyRequested();
    void copyWithReferenceRequested();
    void copyAllRequested();
    void saveRequested();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    class CModel;
    void ShowMenu(const QPoint& globalPos);

    CModel* m_pModel;
    CHoldGesture* m_pHold;
    QTimer m_timerRows;  // sizes the rows again after the columns' widths change
};

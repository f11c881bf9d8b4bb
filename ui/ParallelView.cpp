// ParallelView.cpp - the parallel layout's model, its row sizing, its menu and its texts.
#include "ParallelView.h"

#include <QAbstractTableModel>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <set>

#include "HoldGesture.h"

namespace {
QString ToQ(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

class CParallelView::CModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Reset(SParallelChapter chapter) {
        beginResetModel();
        m_chapter = std::move(chapter);
        m_nMarked = -1;
        m_arrFills.clear();
        endResetModel();
    }
    void Mark(int row, const QColor& color) {
        m_nMarked = row;
        m_colorMark = color;
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
    int Marked() const { return m_nMarked; }
    void Fill(std::vector<QColor> fills) {
        m_arrFills = std::move(fills);
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                             {Qt::BackgroundRole});
    }
    const SParallelChapter& Chapter() const { return m_chapter; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_chapter.m_arrRows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_chapter.m_arrNames.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
            return {};
        const tavrin::SParallelRow& row = m_chapter.m_arrRows[static_cast<size_t>(index.row())];
        const size_t c = static_cast<size_t>(index.column());
        const bool lacks = c >= row.m_arrTexts.size() || !row.m_arrTexts[c];
        switch (role) {
            case Qt::DisplayRole:
                // A lacking cell stays empty, bar the notes that explain it.
                return lacks ? Notes(row) : ToQ(*row.m_arrTexts[c]);
            case Qt::ToolTipRole:
                return Notes(row).isEmpty() ? QVariant() : QVariant(Notes(row));
            case Qt::FontRole:
                if (lacks) {
                    QFont italic;
                    italic.setItalic(true);
                    return italic;
                }
                return {};
            case Qt::TextAlignmentRole:
                return QVariant::fromValue(Qt::AlignLeft | Qt::AlignTop);
            case Qt::BackgroundRole: {
                if (index.row() == m_nMarked)
                    return m_colorMark;
                const size_t r = static_cast<size_t>(index.row());
                return r < m_arrFills.size() && m_arrFills[r].isValid() ? QVariant(m_arrFills[r])
                                                                        : QVariant();
            }
            default:
                return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || section < 0)
            return {};
        if (orientation == Qt::Horizontal)
            return section < columnCount() ? m_chapter.m_arrNames[section] : QVariant();
        if (section >= rowCount())
            return {};
        const tavrin::SParallelRow& row = m_chapter.m_arrRows[static_cast<size_t>(section)];
        return ToQ(row.m_strKey) + (row.m_arrNotes.empty() ? QString() : QStringLiteral(" ※"));
    }

private:
    static QString Notes(const tavrin::SParallelRow& row) {
        QStringList notes;
        for (const std::u16string& note : row.m_arrNotes) notes << QStringLiteral("※ ") + ToQ(note);
        return notes.join(u'\n');
    }

    SParallelChapter m_chapter;
    int m_nMarked = -1;
    QColor m_colorMark;
    std::vector<QColor> m_arrFills;
};

CParallelView::CParallelView(QWidget* parent)
    : QTableView(parent), m_pModel(new CModel(this)), m_pHold(new CHoldGesture(this)) {
    setObjectName(QStringLiteral("IDC_TABLE_PARALLEL"));
    setModel(m_pModel);
    setWordWrap(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignTop | Qt::AlignRight);
    connect(m_pHold, &CHoldGesture::held, this, &CParallelView::ShowMenu);
    // Wrapped rows are as tall as the columns are narrow: measured again, once
    // per batch of column changes, when the widths settle.
    m_timerRows.setSingleShot(true);
    connect(&m_timerRows, &QTimer::timeout, this, &CParallelView::LayOutRows);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this] { m_timerRows.start(0); });
}

void CParallelView::SetChapter(SParallelChapter chapter) {
    m_pModel->Reset(std::move(chapter));
    resizeRowsToContents();
    ScrollToRow(0);
}

const SParallelChapter& CParallelView::Chapter() const {
    return m_pModel->Chapter();
}

int CParallelView::RowOf(std::u16string_view key) const {
    const auto& rows = Chapter().m_arrRows;
    const auto it = std::find_if(rows.begin(), rows.end(), [key](const tavrin::SParallelRow& r) {
        return r.m_strKey == key;
    });
    return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

void CParallelView::SetMarkedRow(int row, const QColor& color) {
    m_pModel->Mark(row, color);
}

int CParallelView::MarkedRow() const {
    return m_pModel->Marked();
}

void CParallelView::SetRowFills(std::vector<QColor> fills) {
    m_pModel->Fill(std::move(fills));
}

void CParallelView::ScrollToRow(int row) {
    if (row < 0 || row >= m_pModel->rowCount())
        return;
    // Shown for the first time, the view is not yet at its size and its scroll bar's range is
    // stale: scrolled now as far as that allows, and again once the rows are laid out.
    m_nKeepTop = row;
    updateGeometries();
    scrollTo(m_pModel->index(row, 0), QAbstractItemView::PositionAtTop);
    m_timerRows.start(0);
}

void CParallelView::LayOutRows() {
    // Kept until the row is back on top: the scroll bar moves on the way there.
    const int top = m_nKeepTop >= 0 ? m_nKeepTop : TopRow();
    m_nKeepTop = top;
    resizeRowsToContents();
    // The scroll bar's range follows the new heights only later unless brought up to date.
    updateGeometries();
    if (top >= 0 && top < m_pModel->rowCount())
        scrollTo(m_pModel->index(top, 0), QAbstractItemView::PositionAtTop);
    m_nKeepTop = -1;
    emit rowsLaidOut();
}

void CParallelView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (m_nKeepTop >= 0)
        m_timerRows.start(0);
}

int CParallelView::TopRow() const {
    return rowAt(0);
}

bool CParallelView::LastRowInView() const {
    // Until the header has taken a new chapter's rows, their places are unknown; until the
    // row wanted on top is there, the place shown is not the reader's.
    const int last = m_pModel->rowCount() - 1;
    if (last < 0 || verticalHeader()->count() <= last || m_nKeepTop >= 0)
        return false;
    const int top = rowViewportPosition(last);
    return top < viewport()->height() && top + rowHeight(last) > 0;
}

void CParallelView::ApplyFont(const QFont& font) {
    setFont(font);
    resizeRowsToContents();
}

std::vector<int> CParallelView::ChosenRows(bool allWhenNone) const {
    std::set<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) rows.insert(index.row());
    if (rows.empty() && allWhenNone)
        for (int r = 0; r < m_pModel->rowCount(); ++r) rows.insert(r);
    return {rows.begin(), rows.end()};
}

QString CParallelView::RowsText(const std::vector<int>& rows) const {
    std::vector<tavrin::SParallelRow> chosen;
    for (const int r : rows)
        if (r >= 0 && r < m_pModel->rowCount())
            chosen.push_back(Chapter().m_arrRows[static_cast<size_t>(r)]);
    std::vector<std::u16string> names;
    for (const QString& name : Chapter().m_arrNames) names.push_back(name.toStdU16String());
    return QString::fromStdU16String(tavrin::ParallelText(chosen, names));
}

std::vector<std::u16string> CParallelView::MainKeys(const std::vector<int>& rows) const {
    std::vector<std::u16string> keys;
    for (const int r : rows) {
        if (r < 0 || r >= m_pModel->rowCount())
            continue;
        const tavrin::SParallelRow& row = Chapter().m_arrRows[static_cast<size_t>(r)];
        if (!row.m_arrTexts.empty() && row.m_arrTexts[0])
            keys.push_back(row.m_strKey);
    }
    return keys;
}

QString CParallelView::SelectedText() const {
    QModelIndexList cells = selectionModel()->selectedIndexes();
    std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) {
        return std::pair(a.row(), a.column()) < std::pair(b.row(), b.column());
    });
    QStringList texts;
    for (const QModelIndex& cell : cells) texts << cell.data().toString();
    return texts.join(QStringLiteral("\r\n"));
}

QMenu* CParallelView::CreatePopupMenu() {
    auto* menu = new QMenu(this);
    QAction* copy = menu->addAction(QStringLiteral("복사"), this, &CParallelView::copyRequested);
    copy->setEnabled(selectionModel()->hasSelection());
    menu->addAction(QStringLiteral("참조와 함께 복사"), this,
                    &CParallelView::copyWithReferenceRequested);
    menu->addAction(QStringLiteral("전체 복사"), this, &CParallelView::copyAllRequested);
    menu->addAction(QStringLiteral("파일에 저장"), this, &CParallelView::saveRequested);
    if (m_fnMoreEntries) {
        menu->addSeparator();
        m_fnMoreEntries(menu);
    }
    return menu;
}

void CParallelView::ShowMenu(const QPoint& globalPos) {
    QMenu* menu = CreatePopupMenu();
    menu->exec(globalPos);
    delete menu;
}

void CParallelView::contextMenuEvent(QContextMenuEvent* event) {
    m_pHold->Cancel();
    ShowMenu(event->globalPos());
}

bool CParallelView::viewportEvent(QEvent* event) {
    // Only mouse events are cast: the view sees every other kind here too.
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton)
                m_pHold->Press(mouse->globalPosition().toPoint());
            break;
        }
        case QEvent::MouseMove:
            m_pHold->Move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            break;
        case QEvent::MouseButtonRelease:
            m_pHold->Cancel();
            break;
        default:
            break;
    }
    return QTableView::viewportEvent(event);
}

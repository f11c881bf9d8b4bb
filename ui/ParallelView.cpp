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
        endResetModel();
    }
    void Mark(int row, const QColor& color) {
        m_nMarked = row;
        m_colorMark = color;
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
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
            case Qt::BackgroundRole:
                return index.row() == m_nMarked ? QVariant(m_colorMark) : QVariant();
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
    connect(&m_timerRows, &QTimer::timeout, this, [this] {
        const int top = TopRow();
        resizeRowsToContents();
        ScrollToRow(top);
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this] { m_timerRows.start(0); });
}

void CParallelView::SetChapter(SParallelChapter chapter) {
    m_pModel->Reset(std::move(chapter));
    resizeRowsToContents();
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

void CParallelView::ScrollToRow(int row) {
    if (row >= 0 && row < m_pModel->rowCount())
        scrollTo(m_pModel->index(row, 0), QAbstractItemView::PositionAtTop);
}

int CParallelView::TopRow() const {
    return rowAt(0);
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

QString CParallelView::SelectedText() const {
    QModelIndexList cells = selectionModel()->selectedIndexes();
    std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) {
        return std::pair(a.row(), a.column()) < std::pair(b.row(), b.column());
    });
    QStringList texts;
    for (const QModelIndex& cell : cells) texts << cell.data().toString();
    return texts.join(QStringLiteral("\r\n"));
}

void CParallelView::ShowMenu(const QPoint& globalPos) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("복사"), this, &CParallelView::copyRequested);
    copy->setEnabled(selectionModel()->hasSelection());
    menu.addAction(QStringLiteral("참조와 함께 복사"), this,
                   &CParallelView::copyWithReferenceRequested);
    menu.addAction(QStringLiteral("전체 복사"), this, &CParallelView::copyAllRequested);
    menu.addAction(QStringLiteral("파일에 저장"), this, &CParallelView::saveRequested);
    menu.exec(globalPos);
}

void CParallelView::contextMenuEvent(QContextMenuEvent* event) {
    m_pHold->Cancel();
    ShowMenu(event->globalPos());
}

bool CParallelView::viewportEvent(QEvent* event) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (mouse->button() == Qt::LeftButton)
                m_pHold->Press(mouse->globalPosition().toPoint());
            break;
        case QEvent::MouseMove:
            m_pHold->Move(mouse->globalPosition().toPoint());
            break;
        case QEvent::MouseButtonRelease:
            m_pHold->Cancel();
            break;
        default:
            break;
    }
    return QTableView::viewportEvent(event);
}

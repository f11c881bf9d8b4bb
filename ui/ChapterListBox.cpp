// ChapterListBox.cpp - reference list over a model, with its hold menu.
#include "ChapterListBox.h"

#include <QAbstractListModel>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <unordered_map>

#include "FocusFrame.h"
#include "HoldGesture.h"

// The references as a list model. Every row reports the size of the widest
// entry, so the view can lay out uniform rows without measuring each one and
// no entry is ever cut short.
class CChapterListBox::CModel : public QAbstractListModel {
public:
    explicit CModel(QObject* parent) : QAbstractListModel(parent) {}

    void Reset(const std::vector<std::u16string>& references, const QFontMetrics& metrics) {
        beginResetModel();
        m_arrMarks.clear();
        m_arrRows.clear();
        m_arrRows.reserve(references.size());
        for (const std::u16string& r : references)
            m_arrRows.push_back(QString::fromUtf16(r.data(), static_cast<qsizetype>(r.size())));
        m_nWidest = Widest(metrics);
        m_nHeight = metrics.height();
        endResetModel();
    }
    // A new font changes every row's size.
    void Remeasure(const QFontMetrics& metrics) {
        m_mapAdvance.clear();
        m_nWidest = Widest(metrics);
        m_nHeight = metrics.height();
        if (!m_arrRows.isEmpty())
            emit dataChanged(index(0), index(static_cast<int>(m_arrRows.size()) - 1));
    }

    int WidestEntry() const { return m_nWidest; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_arrRows.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= m_arrRows.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return m_arrRows[index.row()];
        if (role == Qt::SizeHintRole)
            return QSize(m_nWidest, m_nHeight);
        if (role == kMarkRole && static_cast<size_t>(index.row()) < m_arrMarks.size() &&
            m_arrMarks[static_cast<size_t>(index.row())].isValid())
            return m_arrMarks[static_cast<size_t>(index.row())];
        return {};
    }
    void SetMarks(std::vector<QColor> marks) {
        m_arrMarks = std::move(marks);
        if (!m_arrRows.isEmpty())
            emit dataChanged(index(0), index(static_cast<int>(m_arrRows.size()) - 1), {kMarkRole});
    }
    static constexpr int kMarkRole = Qt::UserRole + 1;

private:
    // Entries share their characters (a book's abbreviation, digits, ':'),
    // so advances are measured once per character, not once per entry.
    int Widest(const QFontMetrics& metrics) {
        int widest = 0;
        for (const QString& row : m_arrRows) {
            int width = 0;
            for (QChar c : row) {
                auto it = m_mapAdvance.find(c.unicode());
                if (it == m_mapAdvance.end())
                    it = m_mapAdvance.emplace(c.unicode(), metrics.horizontalAdvance(c)).first;
                width += it->second;
            }
            widest = std::max(widest, width);
        }
        // Room for the item's text margins on either side.
        return widest + 2 * metrics.averageCharWidth();
    }

    QList<QString> m_arrRows;
    std::vector<QColor> m_arrMarks;  // per row; invalid for none
    std::unordered_map<char16_t, int> m_mapAdvance;
    int m_nWidest = 0;
    int m_nHeight = 0;
};

namespace {
// A stripe at the left edge of a marked entry, inside its text margin.
class CMarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QVariant mark = index.data(Qt::UserRole + 1);
        if (mark.isValid()) {
            const QRect r = option.rect;
            painter->fillRect(QRect(r.left(), r.top() + 1, 4, r.height() - 2),
                              mark.value<QColor>());
        }
    }
};
}  // namespace

CChapterListBox::CChapterListBox(QWidget* parent)
    : QListView(parent), m_pModel(new CModel(this)), m_pHold(new CHoldGesture(this)) {
    setModel(m_pModel);
    setItemDelegate(new CMarkDelegate(this));
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_pHold, &CHoldGesture::held, this, &CChapterListBox::ShowPopupMenu);
    // The selection, not the current row: a click makes an entry current
    // before it is selected.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_bSelecting)
            emit selectionChangedByUser();
    });
    // Ctrl+arrows move the current entry alone; the text follows it.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_bSelecting)
            emit selectionChangedByUser();
    });
}

void CChapterListBox::SetReferences(const std::vector<std::u16string>& references) {
    m_bSelecting = true;
    m_pModel->Reset(references, fontMetrics());
    m_bSelecting = false;
    FitWidestEntry();
}

void CChapterListBox::FitWidestEntry() {
    const int scrollBar = verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff
                              ? 0
                              : style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    setMinimumWidth(m_pModel->WidestEntry() + 2 * frameWidth() + scrollBar + 2 * spacing());
}

int CChapterListBox::count() const {
    return m_pModel->rowCount();
}

int CChapterListBox::CurrentRow() const {
    if (currentIndex().isValid())
        return currentIndex().row();
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

std::vector<int> CChapterListBox::ChosenRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.empty() && CurrentRow() >= 0)
        rows.push_back(CurrentRow());
    return rows;
}

void CChapterListBox::SetCurrentRow(int row) {
    m_bSelecting = true;
    const QModelIndex index = m_pModel->index(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    if (index.isValid())
        scrollTo(index);
    m_bSelecting = false;
}

void CChapterListBox::SetRowMarks(std::vector<QColor> marks) {
    m_pModel->SetMarks(std::move(marks));
}

QColor CChapterListBox::RowMark(int row) const {
    return m_pModel->index(row).data(CModel::kMarkRole).value<QColor>();
}

QMenu* CChapterListBox::CreatePopupMenu() {
    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("'장'  전체 보기"), this,
                    &CChapterListBox::wholeChapterRequested);
    menu->addAction(QStringLiteral("참조와 함께 복사"), this,
                    &CChapterListBox::copyWithReferenceRequested);
    if (m_fnMoreEntries) {
        menu->addSeparator();
        m_fnMoreEntries(menu);
    }
    return menu;
}

void CChapterListBox::ShowPopupMenu(const QPoint& globalPos) {
    QMenu* menu = CreatePopupMenu();
    menu->exec(globalPos);
    delete menu;
}

void CChapterListBox::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && CurrentRow() >= 0 &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        event->accept();
        emit wholeChapterRequested();
        return;
    }
    QListView::keyPressEvent(event);
}

void CChapterListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    m_pHold->Cancel();
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid() &&
        CurrentRow() >= 0)
        emit wholeChapterRequested();
}

void CChapterListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pHold->Press(event->globalPosition().toPoint());
    }
    QListView::mousePressEvent(event);
}

void CChapterListBox::mouseMoveEvent(QMouseEvent* event) {
    m_pHold->Move(event->globalPosition().toPoint());
    QListView::mouseMoveEvent(event);
}

void CChapterListBox::mouseReleaseEvent(QMouseEvent* event) {
    m_pHold->Cancel();
    QListView::mouseReleaseEvent(event);
}

void CChapterListBox::contextMenuEvent(QContextMenuEvent* event) {
    m_pHold->Cancel();
    ShowPopupMenu(event->globalPos());
    event->accept();
}

void CChapterListBox::changeEvent(QEvent* event) {
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_pModel->Remeasure(fontMetrics());
        FitWidestEntry();
    }
}

bool CChapterListBox::event(QEvent* event) {
    const bool handled = QListView::event(event);
    FollowFocus(this, event);
    return handled;
}

// StudyDock.cpp - the "내 노트" panel.
#include "StudyDock.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "StudyCommands.h"
#include "StudyLabels.h"
#include "StudyMarks.h"

using tavrin::EColour;
using tavrin::EItemKind;

namespace {
QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
}  // namespace

CStudyDock::CStudyDock(CStudyCommands& commands, std::function<const tavrin::CStoreSet&()> stores,
                       GoTo goTo, QWidget* parent)
    : QDockWidget(QStringLiteral("내 노트"), parent),
      m_commands(commands),
      m_fnStores(std::move(stores)),
      m_fnGoTo(std::move(goTo)) {
    setObjectName(QStringLiteral("IDW_STUDY_DOCK"));
    auto* body = new QWidget(this);
    m_comboOrder = new QComboBox(body);
    m_comboOrder->setObjectName(QStringLiteral("IDC_STUDY_ORDER"));
    m_comboOrder->addItems({QStringLiteral("성경 순서"), QStringLiteral("날짜순")});
    m_comboKind = new QComboBox(body);
    m_comboKind->setObjectName(QStringLiteral("IDC_STUDY_KIND"));
    m_comboKind->addItem(QStringLiteral("모두"));
    for (EItemKind kind : {EItemKind::Bookmark, EItemKind::Highlight, EItemKind::Note})
        m_comboKind->addItem(Q(tavrin::KindLabel(kind)));
    m_comboColour = new QComboBox(body);
    m_comboColour->setObjectName(QStringLiteral("IDC_STUDY_COLOUR"));
    m_comboColour->addItem(QStringLiteral("모든 색"));
    for (int i = 0; i < 5; ++i)
        m_comboColour->addItem(Q(tavrin::ColourLabel(static_cast<EColour>(i))));
    m_editSearch = new QLineEdit(body);
    m_editSearch->setObjectName(QStringLiteral("IDC_STUDY_SEARCH"));
    m_editSearch->setPlaceholderText(QStringLiteral("메모 찾기"));
    m_editSearch->setClearButtonEnabled(true);
    m_treeItems = new QTreeWidget(body);
    m_treeItems->setObjectName(QStringLiteral("IDC_STUDY_ITEMS"));
    m_treeItems->setRootIsDecorated(false);
    m_treeItems->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_treeItems->setHeaderLabels(
        {QStringLiteral("참조"), QStringLiteral("내용"), QStringLiteral("날짜")});
    m_treeItems->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_treeItems->header()->setStretchLastSection(false);

    auto* filters = new QHBoxLayout;
    filters->addWidget(m_comboOrder);
    filters->addWidget(m_comboKind);
    filters->addWidget(m_comboColour);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(filters);
    layout->addWidget(m_editSearch);
    layout->addWidget(m_treeItems);
    setWidget(body);

    for (QComboBox* combo : {m_comboOrder, m_comboKind, m_comboColour})
        connect(combo, &QComboBox::currentIndexChanged, this, &CStudyDock::Refresh);
    connect(m_editSearch, &QLineEdit::textChanged, this, &CStudyDock::Refresh);
    connect(m_treeItems, &QTreeWidget::itemActivated, this, &CStudyDock::OnGoTo);
    connect(&m_commands, &CStudyCommands::itemsChanged, this, [this] {
        if (isVisible())
            Refresh();
    });
    // The panel's own keys, live while the focus is inside it.
    const auto key = [this](const char* name, const QString& text, QKeySequence keys,
                            void (CStudyDock::*slot)()) {
        auto* act = new QAction(text, this);
        act->setObjectName(QLatin1String(name));
        act->setShortcut(keys);
        act->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(act, &QAction::triggered, this, slot);
        addAction(act);
    };
    key("ID_STUDY_REMOVE", QStringLiteral("지우기"), QKeySequence(Qt::Key_Delete),
        &CStudyDock::OnRemove);
    key("ID_STUDY_UNDO", QStringLiteral("되돌리기"), QKeySequence(Qt::CTRL | Qt::Key_Z),
        &CStudyDock::OnUndo);
}

void CStudyDock::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    Refresh();
}

void CStudyDock::Refresh() {
    m_treeItems->clear();
    m_arrItems.clear();
    tavrin::CStudyDb* db = m_commands.Db();
    if (!db)
        return;
    if (!m_bOrderLoaded) {
        m_order.Load(m_fnStores());
        m_bOrderLoaded = true;
    }
    tavrin::SPanelQuery query;
    if (m_comboKind->currentIndex() > 0)
        query.m_filter.m_arrKinds = {static_cast<EItemKind>(m_comboKind->currentIndex() - 1)};
    if (m_comboColour->currentIndex() > 0)
        query.m_filter.m_arrColours = {static_cast<EColour>(m_comboColour->currentIndex() - 1)};
    query.m_bByDate = m_comboOrder->currentIndex() == 1;
    query.m_strSearch = m_editSearch->text().trimmed().toStdU16String();
    m_arrItems = tavrin::PanelItems(*db, query, m_order);
    QList<QTreeWidgetItem*> rows;
    for (const tavrin::SStudyItem& item : m_arrItems) {
        auto* row = new QTreeWidgetItem({Q(item.m_verse.m_strKey), Q(tavrin::ItemSummary(item)),
                                         QDateTime::fromSecsSinceEpoch(item.m_nModified)
                                             .toString(QStringLiteral("yyyy-MM-dd"))});
        if (item.m_kind == EItemKind::Highlight) {
            if (const auto colour = tavrin::ColourFromName(item.m_strValue)) {
                const tavrin::SRgb rgb = tavrin::SwatchRgb(*colour);
                row->setBackground(1, QColor(rgb.m_nRed, rgb.m_nGreen, rgb.m_nBlue));
                row->setForeground(1, QColor(Qt::black));
            }
        }
        if (item.m_kind == EItemKind::Note)
            row->setToolTip(1, Q(item.m_strText).left(2000));
        rows.append(row);
    }
    m_treeItems->addTopLevelItems(rows);
    m_treeItems->resizeColumnToContents(0);
    m_treeItems->resizeColumnToContents(2);
}

void CStudyDock::OnSetChanged() {
    m_bOrderLoaded = false;
    if (isVisible())
        Refresh();
}

void CStudyDock::OnGoTo() {
    const int row = m_treeItems->indexOfTopLevelItem(m_treeItems->currentItem());
    if (row < 0 || static_cast<size_t>(row) >= m_arrItems.size())
        return;
    const tavrin::SVerse& verse = m_arrItems[static_cast<size_t>(row)].m_verse;
    const std::u16string& book = m_order.BookOf(verse);
    if (!book.empty())
        m_fnGoTo(verse.m_testament, book, QString::fromStdString(verse.m_strKey).toStdU16String());
}

void CStudyDock::OnRemove() {
    std::vector<int64_t> ids;
    for (QTreeWidgetItem* selected : m_treeItems->selectedItems()) {
        const int row = m_treeItems->indexOfTopLevelItem(selected);
        if (row >= 0 && static_cast<size_t>(row) < m_arrItems.size())
            ids.push_back(m_arrItems[static_cast<size_t>(row)].m_nId);
    }
    m_commands.Remove(this, ids);
}

void CStudyDock::OnUndo() {
    m_commands.UndoRemove(this);
}

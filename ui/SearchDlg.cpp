// SearchDlg.cpp - the search window: results follow the typing, listed
// through a model so thousands of matches scroll as smoothly as ten.
#include "SearchDlg.h"

#include <QAbstractListModel>
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QToolBar>
#include <QVBoxLayout>

#include "Citation.h"
#include "PrintText.h"
#include "WaitCursor.h"

using tavrin::EScope;

namespace {

QString ToQ(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// A row shows the text from near its first match, so the match is seen even
// in a long verse.
constexpr int kContextBefore = 12;
constexpr int kSkipAfter = 24;
const QColor kMatchBack(255, 222, 89);

}  // namespace

// The listed references: only the ids are held; reference, text and matched
// ranges come from the index when a row is painted.
class CSearchDlg::CModel : public QAbstractListModel {
public:
    CModel(const CSearchDlg& dlg, QObject* parent) : QAbstractListModel(parent), m_dlg(dlg) {}

    void Reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_dlg.m_arrResults.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount() ||
            (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        // Decoding the text is the costly part, and a view asks for many roles.
        const tavrin::SSearchEntry e = Entry(index.row());
        if (role == Qt::DisplayRole)
            return ToQ(e.m_strReference) + QStringLiteral("  ") + ToQ(e.m_strText);
        if (role == Qt::ToolTipRole)
            return ToQ(e.m_strText);
        return {};
    }
    tavrin::SSearchEntry Entry(int row) const {
        return m_dlg.m_index.Entry(m_dlg.m_arrResults[static_cast<size_t>(row)]);
    }
    std::vector<tavrin::STextRange> Ranges(std::u16string_view text) const {
        return m_dlg.m_query.MatchedRanges(text);
    }

private:
    const CSearchDlg& m_dlg;
};

// Paints a row as its reference, then its text with the matched characters
// on a marker colour.
class CSearchDlg::CDelegate : public QStyledItemDelegate {
public:
    CDelegate(const CModel& model, QObject* parent) : QStyledItemDelegate(parent), m_model(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        const tavrin::SSearchEntry e = m_model.Entry(index.row());
        const std::vector<tavrin::STextRange> ranges = m_model.Ranges(e.m_strText);
        const QString text = ToQ(e.m_strText);
        int from = 0;
        if (!ranges.empty() && ranges.front().m_nStart > static_cast<size_t>(kSkipAfter))
            from = static_cast<int>(ranges.front().m_nStart) - kContextBefore;
        // Never start inside a surrogate pair.
        if (from > 0 && text.at(from).isLowSurrogate())
            --from;
        const QString head = ToQ(e.m_strReference) + QStringLiteral("  ");
        const QString shown = head + (from > 0 ? QStringLiteral("…") : QString()) + text.mid(from);
        const int textStart = static_cast<int>(head.size()) + (from > 0 ? 1 : 0);
        const int shift = textStart - from;

        QList<QTextLayout::FormatRange> formats;
        QTextLayout::FormatRange bold;
        bold.start = 0;
        bold.length = static_cast<int>(head.size());
        bold.format.setFontWeight(QFont::DemiBold);
        formats << bold;
        for (const tavrin::STextRange& r : ranges) {
            const int start = static_cast<int>(r.m_nStart) + shift;
            const int end = static_cast<int>(r.m_nEnd) + shift;
            if (end <= textStart)
                continue;
            QTextLayout::FormatRange mark;
            mark.start = std::max(start, textStart);
            mark.length = end - mark.start;
            mark.format.setBackground(kMatchBack);
            mark.format.setForeground(QColor(Qt::black));
            formats << mark;
        }
        QTextLayout layout(shown, opt.font);
        QTextOption textOption;
        textOption.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(textOption);
        layout.setFormats(formats);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();

        const QRect area = opt.rect.adjusted(4, 0, -4, 0);
        const QFontMetrics metrics(opt.font);
        painter->save();
        painter->setClipRect(area);
        painter->setPen(opt.palette.color(
            opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        layout.draw(painter,
                    QPointF(area.left(), area.top() + (area.height() - metrics.height()) / 2.0));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(200, QFontMetrics(option.font).height() + 6);
    }

private:
    const CModel& m_model;
};

CSearchDlg::CSearchDlg(std::string folder, ChooseFn choose, QWidget* parent)
    : QDialog(parent),
      m_strFolder(std::move(folder)),
      m_choose(std::move(choose)),
      m_editQuery(new QLineEdit(this)),
      m_comboScope(new QComboBox(this)),
      m_comboSet(new QComboBox(this)),
      m_labelCount(new QLabel(this)),
      m_listResults(new QListView(this)),
      m_pModel(new CModel(*this, this)) {
    setWindowTitle(QStringLiteral("찾기"));
    setObjectName(QStringLiteral("IDD_SEARCH"));
    m_editQuery->setObjectName(QStringLiteral("IDC_EDIT_QUERY"));
    m_editQuery->setClearButtonEnabled(true);
    m_editQuery->setPlaceholderText(QStringLiteral("예: 사랑하사, \"하나님의 사랑\", ㅎㄴㄴ"));
    m_comboScope->setObjectName(QStringLiteral("IDC_COMBO_SCOPE"));
    m_comboScope->addItems(
        {QStringLiteral("전체"), QStringLiteral("구약"), QStringLiteral("신약")});
    m_comboSet->setObjectName(QStringLiteral("IDC_COMBO_SEARCH_SET"));
    m_comboSet->hide();
    m_labelCount->setObjectName(QStringLiteral("IDC_STATIC_COUNT"));
    m_labelCount->setMinimumWidth(
        m_labelCount->fontMetrics().horizontalAdvance(QStringLiteral("00,000개")));
    m_labelCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_listResults->setObjectName(QStringLiteral("IDC_LIST_RESULTS"));
    m_listResults->setModel(m_pModel);
    m_listResults->setItemDelegate(new CDelegate(*m_pModel, this));
    m_listResults->setUniformItemSizes(true);
    m_listResults->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_listResults->setEditTriggers(QAbstractItemView::NoEditTriggers);

    // Its own pages: the matches as listed, titled with the query.
    auto* print = new QAction(QStringLiteral("인쇄..."), this);
    print->setObjectName(QStringLiteral("ID_FILE_PRINT"));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    auto* pdf = new QAction(QStringLiteral("PDF로 저장..."), this);
    pdf->setObjectName(QStringLiteral("ID_FILE_SAVE_PDF"));
    auto* pages = new QToolBar(this);
    pages->addAction(print);
    pages->addAction(pdf);
    addAction(print);
    addAction(pdf);

    auto* row = new QHBoxLayout;
    row->addWidget(m_editQuery, 1);
    row->addWidget(m_comboSet);
    row->addWidget(m_comboScope);
    row->addWidget(m_labelCount);
    row->addWidget(pages);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_listResults, 1);
    resize(520, 480);

    connect(m_editQuery, &QLineEdit::textChanged, this, &CSearchDlg::Search);
    connect(m_comboScope, &QComboBox::currentIndexChanged, this, &CSearchDlg::Search);
    connect(m_comboSet, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0 || static_cast<size_t>(index) >= m_arrSetFolders.size())
            return;
        // Another set: its own index, read at the next search.
        m_strFolder = m_arrSetFolders[static_cast<size_t>(index)];
        m_index.Clear();
        Search();
    });
    connect(m_listResults->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { Choose(current); });
    connect(m_listResults, &QListView::activated, this, &CSearchDlg::Choose);
    connect(print, &QAction::triggered, this, &CSearchDlg::OnPrint);
    connect(pdf, &QAction::triggered, this, &CSearchDlg::OnSavePdf);
    m_editQuery->installEventFilter(this);
}

CSearchDlg::~CSearchDlg() = default;

void CSearchDlg::SetSets(const std::vector<std::pair<QString, std::string>>& sets) {
    const QSignalBlocker block(m_comboSet);
    m_comboSet->clear();
    m_arrSetFolders.clear();
    for (const auto& [name, folder] : sets) {
        m_comboSet->addItem(name);
        m_arrSetFolders.push_back(folder);
    }
    m_comboSet->setVisible(sets.size() > 1);
}

void CSearchDlg::Search() {
    m_query = tavrin::CSearchQuery(m_editQuery->text().toStdU16String());
    if (m_query.IsReady() && !m_index.IsBuilt()) {
        const CWaitCursor wait;
        m_index.BuildCached(m_strFolder, EScope::Both, tavrin::SearchCachePath(m_strFolder));
    }
    static constexpr EScope kScopes[] = {EScope::Both, EScope::Old, EScope::New};
    m_arrResults = m_index.Search(m_query, kScopes[std::max(0, m_comboScope->currentIndex())]);
    m_pModel->Reset();
    switch (m_query.Status()) {
        case tavrin::EQueryStatus::Ready:
            m_labelCount->setText(m_arrResults.empty()
                                      ? QStringLiteral("찾는 구절이 없습니다")
                                      : QStringLiteral("%L1개").arg(m_arrResults.size()));
            break;
        case tavrin::EQueryStatus::TooLong:
            m_labelCount->setText(
                QStringLiteral("너무 깁니다 (%1자까지)").arg(tavrin::kMaxQueryChars));
            break;
        default:
            m_labelCount->clear();
            break;
    }
}

void CSearchDlg::Choose(const QModelIndex& index) {
    if (index.isValid() && m_choose)
        m_choose(m_pModel->Entry(index.row()));
}

bool CSearchDlg::eventFilter(QObject* watched, QEvent* event) {
    // From the query field, Enter and the down arrow go to the results and
    // choose the first one.
    if (watched == m_editQuery && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) &&
            m_pModel->rowCount() > 0) {
            m_listResults->setFocus();
            m_listResults->setCurrentIndex(m_pModel->index(0));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CSearchDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_editQuery->setFocus();
    m_editQuery->selectAll();
    if (m_bPlaced || parentWidget() == nullptr)
        return;
    m_bPlaced = true;
    // Beside the main window, on whichever side the screen has room.
    const QRect main = parentWidget()->window()->frameGeometry();
    const QScreen* screen = parentWidget()->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    QPoint at(main.right() + 8, main.top());
    if (area.isValid() && at.x() + width() > area.right())
        at.setX(std::max(area.left(), main.left() - frameGeometry().width() - 8));
    move(at);
}

QString CSearchDlg::PagesTitle() const {
    return QStringLiteral("찾기: %1 (%L2개)").arg(m_editQuery->text()).arg(m_arrResults.size());
}

QString CSearchDlg::PagesText() const {
    QString text;
    for (int row = 0; row < m_pModel->rowCount({}); ++row) {
        const tavrin::SSearchEntry e = m_pModel->Entry(row);
        text += QString::fromStdU16String(std::u16string(e.m_strReference)) + QStringLiteral("  ") +
                QString::fromStdU16String(tavrin::OneLine(e.m_strText)) + u'\n';
    }
    return text;
}

void CSearchDlg::OnPrint() {
    PrintWithDialog(this, PagesTitle(), PagesText(), m_listResults->font());
}

void CSearchDlg::OnSavePdf() {
    SavePdfWithDialog(this, PagesTitle(), PagesText(), m_listResults->font());
}

// ChapterDlg.cpp - the chapter reader: shows a chapter read through the
// navigator form and steps to the neighbouring chapters of the same book.
#include "ChapterDlg.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QClipboard>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include <string>
#include <vector>

#include "Chapter.h"
#include "Citation.h"
#include "ColorScheme.h"
#include "DisplaySettings.h"
#include "Messages.h"
#include "Palette.h"
#include "ParallelView.h"
#include "PopupEdit.h"
#include "PrintText.h"
#include "ShellTitle.h"
#include "StudyMarks.h"
#include "WaitCursor.h"
#include "WindowPlace.h"
#include "ui_ChapterDlg.h"

namespace {

constexpr int kColorChapterText = 6;  // "Viewer 2 글자"
constexpr int kColorChapterBack = 7;  // "Viewer 2 바탕"
constexpr int kButtonSize = 18;
// The first size: a good part of a chapter at a comfortable line length.
constexpr QSize kFirstSize(480, 600);

// A filled triangle pointing left (previous) or right (next), drawn at the
// button size and at twice that for dense screens.
QIcon ArrowIcon(bool pointsLeft) {
    QIcon icon;
    for (int scale : {1, 2}) {
        const int side = kButtonSize * scale;
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal m = side * 0.22;
        QPainterPath path;
        if (pointsLeft) {
            path.moveTo(side - m, m);
            path.lineTo(m, side / 2.0);
            path.lineTo(side - m, side - m);
        } else {
            path.moveTo(m, m);
            path.lineTo(side - m, side / 2.0);
            path.lineTo(m, side - m);
        }
        path.closeSubpath();
        painter.fillPath(path, QColor(0x20, 0x40, 0x90));
        painter.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

// The marked verse's tint, from the reader's colours and the style's highlight.
QColor MarkColor(const QWidget* widget) {
    const QColor tint = widget->palette().color(QPalette::Active, QPalette::Highlight);
    const tavrin::SRgb color =
        tavrin::DeriveMarkColor(tavrin::RgbOf(g_colorItems[kColorChapterText].crColor),
                                tavrin::RgbOf(g_colorItems[kColorChapterBack].crColor),
                                {tint.red(), tint.green(), tint.blue()});
    return QColor(color.m_nRed, color.m_nGreen, color.m_nBlue);
}

// A highlight's fill under the reader's text.
QColor HighlightFill(tavrin::EColour colour) {
    const tavrin::SRgb rgb =
        tavrin::HighlightRgb(colour, tavrin::RgbOf(g_colorItems[kColorChapterText].crColor),
                             tavrin::RgbOf(g_colorItems[kColorChapterBack].crColor));
    return QColor(rgb.m_nRed, rgb.m_nGreen, rgb.m_nBlue);
}

std::vector<std::u16string> ToPairs(const QStringList& verses) {
    std::vector<std::u16string> pairs;
    pairs.reserve(static_cast<size_t>(verses.size()));
    for (const QString& entry : verses) pairs.push_back(entry.toStdU16String());
    return pairs;
}

}  // namespace

CChapterDlg::CChapterDlg(CChapterHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_ui(std::make_unique<Ui::CChapterDlg>()) {
    m_ui->setupUi(this);
    m_editChapter = m_ui->IDC_EDIT_CHAPTER;
    resize(FirstWindowSize(this, kFirstSize));

    // The reader's own commands: the buttons of its command bar (previous,
    // next, then the layout and the pages), its keys and its text box's
    // menu. Their keys work wherever the focus is inside the reader.
    const auto command = [this](const char* name, const QString& tip) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(tip);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        return action;
    };
    QAction* prev = command("ID_PREV_CHAPTER", QStringLiteral("이전 장으로 이동합니다."));
    QAction* next = command("ID_NEXT_CHAPTER", QStringLiteral("다음 장으로 이동합니다."));
    prev->setIcon(ArrowIcon(true));
    next->setIcon(ArrowIcon(false));
    prev->setShortcuts(
        {QKeySequence(Qt::ALT | Qt::Key_Left), QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    next->setShortcuts(
        {QKeySequence(Qt::ALT | Qt::Key_Right), QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    QAction* copy = command("ID_POPUP_COPY", QString());
    QAction* copyAll = command("ID_POPUP_COPY_ALL", QString());
    QAction* save = command("ID_POPUP_SAVE", QString());
    QAction* cite = command("ID_EDIT_COPY_CITED", QString());
    cite->setText(QStringLiteral("참조와 함께 복사"));
    cite->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    QAction* popupCite = command("ID_POPUP_COPY_CITED", QString());
    QAction* zoomIn = command("ID_VIEW_ZOOM_IN", QStringLiteral("크게"));
    zoomIn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    QAction* zoomOut = command("ID_VIEW_ZOOM_OUT", QStringLiteral("작게"));
    zoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    QAction* zoomReset = command("ID_VIEW_ZOOM_RESET", QStringLiteral("기본 크기"));
    zoomReset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    m_actParagraphs = command("ID_VIEW_CHAPTER_PARAGRAPHS",
                              QStringLiteral("절 번호를 앞에 두고 문단으로 봅니다."));
    m_actParagraphs->setText(QStringLiteral("문단"));
    m_actParagraphs->setCheckable(true);
    m_actParagraphs->setChecked(m_host.ChapterParagraphs());
    QAction* print = command("ID_FILE_PRINT", QStringLiteral("인쇄"));
    print->setText(QStringLiteral("인쇄..."));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    QAction* pdf = command("ID_FILE_SAVE_PDF", QStringLiteral("PDF로 저장"));
    pdf->setText(QStringLiteral("PDF로 저장..."));

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("IDR_CHAPTER_BAR"));
    m_toolBar->setIconSize(QSize(kButtonSize, kButtonSize));
    m_toolBar->setMovable(false);
    m_toolBar->addAction(prev);
    m_toolBar->addAction(next);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actParagraphs);
    m_toolBar->addAction(print);
    m_toolBar->addAction(pdf);
    layout()->setMenuBar(m_toolBar);

    connect(next, &QAction::triggered, this, &CChapterDlg::OnNextChapter);
    connect(prev, &QAction::triggered, this, &CChapterDlg::OnPrevChapter);
    connect(copy, &QAction::triggered, this, &CChapterDlg::OnPopupCopy);
    connect(copyAll, &QAction::triggered, this, &CChapterDlg::OnPopupCopyAll);
    connect(save, &QAction::triggered, this, &CChapterDlg::OnPopupSave);
    connect(cite, &QAction::triggered, this, &CChapterDlg::OnCopyCited);
    connect(popupCite, &QAction::triggered, this, &CChapterDlg::OnPopupCopyCited);
    connect(zoomIn, &QAction::triggered, this, &CChapterDlg::OnZoomIn);
    connect(zoomOut, &QAction::triggered, this, &CChapterDlg::OnZoomOut);
    connect(zoomReset, &QAction::triggered, this, &CChapterDlg::OnZoomReset);
    connect(m_actParagraphs, &QAction::toggled, this, &CChapterDlg::OnLayoutParagraphs);
    connect(print, &QAction::triggered, this, &CChapterDlg::OnPrint);
    connect(pdf, &QAction::triggered, this, &CChapterDlg::OnSavePdf);
    connect(m_editChapter, &CPopupEdit::copyRequested, copy, &QAction::trigger);
    connect(m_editChapter, &CPopupEdit::copyAllRequested, copyAll, &QAction::trigger);
    connect(m_editChapter, &CPopupEdit::saveRequested, save, &QAction::trigger);
    connect(m_editChapter, &CPopupEdit::copyWithReferenceRequested, popupCite, &QAction::trigger);
    QScrollBar* scroll = m_editChapter->verticalScrollBar();
    connect(scroll, &QScrollBar::valueChanged, this, &CChapterDlg::CheckShownToEnd);
    connect(scroll, &QScrollBar::rangeChanged, this, &CChapterDlg::CheckShownToEnd);
    // Ctrl+wheel zooms through the steps, never the box's own unsaved zoom.
    m_editChapter->viewport()->installEventFilter(this);

    m_pParallel = new CParallelView(this);
    m_pParallel->hide();
    layout()->addWidget(m_pParallel);
    connect(m_pParallel, &CParallelView::copyRequested, copy, &QAction::trigger);
    connect(m_pParallel, &CParallelView::copyAllRequested, copyAll, &QAction::trigger);
    connect(m_pParallel, &CParallelView::saveRequested, save, &QAction::trigger);
    connect(m_pParallel, &CParallelView::copyWithReferenceRequested, popupCite, &QAction::trigger);
    m_pParallel->viewport()->installEventFilter(this);
    QScrollBar* rows = m_pParallel->verticalScrollBar();
    connect(rows, &QScrollBar::valueChanged, this, &CChapterDlg::CheckShownToEnd);
    connect(rows, &QScrollBar::rangeChanged, this, &CChapterDlg::CheckShownToEnd);
    connect(m_pParallel, &CParallelView::rowsLaidOut, this, &CChapterDlg::CheckShownToEnd);

    if (CStudyCommands* study = m_host.StudyCommands()) {
        m_study = CreateStudyActions(this, Qt::WidgetWithChildrenShortcut, study,
                                     [this] { return ChosenVerses(); });
        m_editChapter->m_fnMoreEntries = [this](QMenu* menu) { m_study.AddTo(menu); };
        m_pParallel->m_fnMoreEntries = m_editChapter->m_fnMoreEntries;
        connect(study, &CStudyCommands::itemsChanged, this, &CChapterDlg::ShowMark);
    }
}

const QStringList& CChapterDlg::LaidOutVerses() const {
    return m_actParagraphs->isChecked() && !m_arrWholeChapter.isEmpty() ? m_arrWholeChapter
                                                                        : m_arrChapter;
}

SChosenVerses CChapterDlg::ChosenVerses() const {
    if (IsParallel()) {
        // The selected rows, else the marked one; rows the main set lacks hold no verse of it.
        std::vector<int> rows = m_pParallel->ChosenRows(false);
        if (rows.empty())
            rows.push_back(m_pParallel->MarkedRow());
        return {m_host.ChapterTestament(), m_pParallel->MainKeys(rows)};
    }
    const std::u16string_view text = m_layout.m_strText;
    const SSelection sel = m_editChapter->Selection();
    const auto at = [&](int shown) {
        return tavrin::VerseAt(m_layout, tavrin::TextPosition(text, static_cast<size_t>(shown)));
    };
    int first = at(sel.nStart);
    int last = sel.nEnd > sel.nStart ? at(sel.nEnd - 1) : first;
    if (first < 0) {
        first = last = m_nMarkedVerse;
        if (first < 0)
            return {m_host.ChapterTestament(), {}};
    }
    SChosenVerses chosen{m_host.ChapterTestament(), {}};
    const QStringList& verses = LaidOutVerses();
    for (int i = first; i <= last && 2 * i < verses.size(); ++i)
        chosen.m_arrKeys.push_back(verses[2 * i].toStdU16String());
    return chosen;
}

bool CChapterDlg::IsParallel() const {
    return !m_pParallel->isHidden();
}

bool CChapterDlg::ShowParallel() {
    SParallelChapter chapter = m_host.ParallelChapter();
    const bool parallel = !chapter.m_arrRows.empty();
    m_pParallel->setVisible(parallel);
    m_editChapter->setVisible(!parallel);
    if (!parallel)
        return false;
    m_pParallel->SetChapter(std::move(chapter));
    m_strChapterText = m_pParallel->RowsText(m_pParallel->ChosenRows(true));
    const QStringList& verses = m_arrWholeChapter.isEmpty() ? m_arrChapter : m_arrWholeChapter;
    const int key = 2 * m_nMarkedVerse;
    m_pParallel->SetMarkedRow(m_nMarkedVerse >= 0 && key < verses.size()
                                  ? m_pParallel->RowOf(verses[key].toStdU16String())
                                  : -1,
                              MarkColor(this));
    return true;
}

CChapterDlg::~CChapterDlg() = default;

void CChapterDlg::SetVerses(const QStringList& verses) {
    m_arrChapter = verses;
}

void CChapterDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_bInitialised) {
        return;
    }
    m_bInitialised = true;
    SetShellTitle(this, m_strTitle);
    const CWaitCursor wait;
    m_nMarkedVerse = m_nTopVerse;
    ApplyDisplaySettings();
    ShowChapter();
    ScrollToVerse(m_nTopVerse);
    // A chapter that fits the box never moves the scroll bar.
    QTimer::singleShot(0, this, &CChapterDlg::CheckShownToEnd);
}

bool CChapterDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int delta = wheel->angleDelta().y();
            if (delta != 0)
                Zoom(delta > 0 ? 1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CChapterDlg::ShowChapter() {
    if (ShowParallel()) {
        ShowMark();
        return;
    }
    const bool paragraphs = m_actParagraphs->isChecked();
    // A caller that gave only the specified verses gets them in both layouts.
    const QStringList& verses = LaidOutVerses();
    m_layout =
        tavrin::LayOutChapter(ToPairs(verses), paragraphs ? tavrin::EChapterLayout::Paragraphs
                                                          : tavrin::EChapterLayout::Verses);
    m_strChapterText = QString::fromStdU16String(m_layout.m_strText);
    m_editChapter->setPlainText(m_strChapterText);
    ShowMark();
}

void CChapterDlg::ShowParallelMarks() {
    CStudyCommands* study = m_host.StudyCommands();
    tavrin::CStudyDb* db = study ? study->Db() : nullptr;
    if (!db) {
        m_pParallel->SetRowFills({});
        return;
    }
    std::vector<int> rows(m_pParallel->Chapter().m_arrRows.size());
    for (size_t r = 0; r < rows.size(); ++r) rows[r] = static_cast<int>(r);
    const std::vector<std::u16string> keys = m_pParallel->MainKeys(rows);
    const auto verseMarks = tavrin::MarksOfKeys(*db, m_host.ChapterTestament(), keys);
    std::vector<QColor> fills(rows.size());
    for (size_t i = 0; i < keys.size(); ++i)
        if (verseMarks[i].m_highlight)
            fills[static_cast<size_t>(m_pParallel->RowOf(keys[i]))] =
                HighlightFill(*verseMarks[i].m_highlight);
    m_pParallel->SetRowFills(std::move(fills));
}

void CChapterDlg::ShowMark() {
    if (IsParallel()) {
        ShowParallelMarks();
        return;
    }
    QList<QTextEdit::ExtraSelection> marks;
    const auto spanSelection = [this](const tavrin::SVerseSpan& span, const QColor& color) {
        const std::u16string_view text = m_layout.m_strText;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_editChapter->document());
        mark.cursor.setPosition(static_cast<int>(tavrin::ShownPosition(text, span.m_nStart)));
        mark.cursor.setPosition(static_cast<int>(tavrin::ShownPosition(text, span.m_nEnd)),
                                QTextCursor::KeepAnchor);
        mark.format.setBackground(color);
        return mark;
    };
    CStudyCommands* study = m_host.StudyCommands();
    if (tavrin::CStudyDb* db = study ? study->Db() : nullptr) {
        const QStringList& verses = LaidOutVerses();
        std::vector<std::u16string> keys;
        for (size_t i = 0;
             i < m_layout.m_arrSpans.size() && 2 * i < static_cast<size_t>(verses.size()); ++i)
            keys.push_back(verses[static_cast<qsizetype>(2 * i)].toStdU16String());
        const auto verseMarks = tavrin::MarksOfKeys(*db, m_host.ChapterTestament(), keys);
        for (size_t i = 0; i < verseMarks.size(); ++i)
            if (verseMarks[i].m_highlight)
                marks.append(spanSelection(m_layout.m_arrSpans[i],
                                           HighlightFill(*verseMarks[i].m_highlight)));
    }
    if (m_nMarkedVerse >= 0 && static_cast<size_t>(m_nMarkedVerse) < m_layout.m_arrSpans.size())
        marks.append(spanSelection(m_layout.m_arrSpans[static_cast<size_t>(m_nMarkedVerse)],
                                   MarkColor(this)));
    m_editChapter->setExtraSelections(marks);
}

void CChapterDlg::ScrollToVerse(int index) {
    if (IsParallel()) {
        const QStringList& verses = m_arrWholeChapter.isEmpty() ? m_arrChapter : m_arrWholeChapter;
        if (index > 0 && 2 * index < verses.size())
            m_pParallel->ScrollToRow(m_pParallel->RowOf(verses[2 * index].toStdU16String()));
        return;
    }
    if (index <= 0 || static_cast<size_t>(index) >= m_layout.m_arrSpans.size())
        return;
    // The box scrolls by lines and lays out wrapped lines lazily: laid out
    // now, every line number is final, and so is how far the box can scroll.
    QTextDocument* doc = m_editChapter->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        doc->documentLayout()->blockBoundingRect(block);
    const size_t start = m_layout.m_arrSpans[static_cast<size_t>(index)].m_nStart;
    const QTextBlock block =
        doc->findBlock(static_cast<int>(tavrin::ShownPosition(m_layout.m_strText, start)));
    m_editChapter->verticalScrollBar()->setValue(block.firstLineNumber());
}

void CChapterDlg::ApplyDisplaySettings() {
    ApplyColors(m_editChapter, QPalette::Base, g_colorItems[kColorChapterBack].crColor,
                QPalette::Text, g_colorItems[kColorChapterText].crColor);

    m_editChapter->setFont(m_host.ChapterFont());
    ApplyColors(m_pParallel, QPalette::Base, g_colorItems[kColorChapterBack].crColor,
                QPalette::Text, g_colorItems[kColorChapterText].crColor);
    m_pParallel->setFont(m_host.ChapterFont());
}

void CChapterDlg::OnNextChapter() {
    MoveChapter(tavrin::EDirection::Next);
}

void CChapterDlg::OnPrevChapter() {
    MoveChapter(tavrin::EDirection::Previous);
}

void CChapterDlg::MoveChapter(tavrin::EDirection direction) {
    CWaitCursor wait;
    const tavrin::EChapterMove move = m_host.MoveChapter(direction);
    if (move == tavrin::EChapterMove::NoNeighbour) {
        wait.Restore();
        ShowInformation(this, QStringLiteral("이전 장이 존재하지 않습니다."));
        return;
    }
    if (move == tavrin::EChapterMove::Missing) {
        wait.Restore();
        ShowInformation(this,
                        QStringLiteral("다음 장이 존재하지 않습니다. 메인 페이지로 이동합니다."));
        accept();
        return;
    }
    SetVerses(m_host.Verses());
    m_arrWholeChapter = m_host.WholeChapter();
    m_strTitle = m_host.ChapterTitle();
    SetShellTitle(this, m_strTitle);
    m_nMarkedVerse = -1;
    m_bEndTold = false;
    ShowChapter();
    CheckShownToEnd();
}

void CChapterDlg::OnPopupCopy() {
    if (IsParallel()) {
        if (m_pParallel->selectionModel()->hasSelection())
            QGuiApplication::clipboard()->setText(m_pParallel->SelectedText());
        return;
    }
    CopySavedSelection(m_editChapter, m_editChapter->m_selMenu);
}

void CChapterDlg::OnPopupCopyAll() {
    if (IsParallel()) {
        QGuiApplication::clipboard()->setText(m_strChapterText);
        return;
    }
    CopyAll(m_editChapter);
}

void CChapterDlg::OnPopupSave() {
    m_host.SaveNote(m_strChapterText);
    activateWindow();
    m_editChapter->setFocus(Qt::OtherFocusReason);
}

void CChapterDlg::OnCopyCited() {
    if (IsParallel()) {
        // The rows chosen, each with its key and its sets' names.
        const std::vector<int> rows = m_pParallel->ChosenRows(false);
        if (!rows.empty())
            QGuiApplication::clipboard()->setText(m_pParallel->RowsText(rows));
        return;
    }
    const SSelection sel = m_editChapter->Selection();
    CopyCited(sel.nStart, sel.nEnd);
}

void CChapterDlg::OnPopupCopyCited() {
    if (IsParallel()) {
        OnCopyCited();
        return;
    }
    CopyCited(m_editChapter->m_selMenu.nStart, m_editChapter->m_selMenu.nEnd);
}

void CChapterDlg::CopyCited(int start, int end) {
    const std::u16string_view text = m_layout.m_strText;
    const QStringList& verses = LaidOutVerses();
    const std::u16string cited = tavrin::CiteLayoutSelection(
        m_layout, ToPairs(verses), m_host.ChapterBook().toStdU16String(),
        tavrin::TextPosition(text, static_cast<size_t>(start)),
        tavrin::TextPosition(text, static_cast<size_t>(end)),
        tavrin::DecodeCitationFormat(m_host.CitationFormat()), m_host.SetName().toStdU16String());
    if (!cited.empty())
        QGuiApplication::clipboard()->setText(QString::fromStdU16String(cited));
}

int CChapterDlg::TopVerse() const {
    return tavrin::VerseAt(
        m_layout, tavrin::TextPosition(
                      m_layout.m_strText,
                      static_cast<size_t>(m_editChapter->cursorForPosition({0, 0}).position())));
}

void CChapterDlg::Zoom(int steps) {
    if (IsParallel()) {
        const int row = m_pParallel->TopRow();
        m_host.ZoomChapter(steps);
        m_pParallel->ApplyFont(m_host.ChapterFont());
        m_pParallel->ScrollToRow(row);
        return;
    }
    // The verse at the top stays there through the change of size.
    const int top = TopVerse();
    m_host.ZoomChapter(steps);
    m_editChapter->setFont(m_host.ChapterFont());
    if (top > 0)
        ScrollToVerse(top);
}

void CChapterDlg::OnZoomIn() {
    Zoom(1);
}

void CChapterDlg::OnZoomOut() {
    Zoom(-1);
}

void CChapterDlg::OnZoomReset() {
    Zoom(0);
}

void CChapterDlg::OnLayoutParagraphs(bool paragraphs) {
    m_host.KeepChapterParagraphs(paragraphs);
    if (!m_bInitialised)
        return;
    // The verse at the top stays there in the other layout.
    const int top = TopVerse();
    ShowChapter();
    ScrollToVerse(top);
}

void CChapterDlg::OnPrint() {
    PrintWithDialog(this, m_strTitle, m_strChapterText, m_editChapter->font());
}

void CChapterDlg::OnSavePdf() {
    SavePdfWithDialog(this, m_strTitle, m_strChapterText, m_editChapter->font());
}

void CChapterDlg::CheckShownToEnd() {
    if (m_bEndTold || !m_bInitialised)
        return;
    if (IsParallel()) {
        // The rows hold the whole chapter; its last one in view is the chapter's end.
        const auto& rows = m_pParallel->Chapter().m_arrRows;
        if (rows.empty() || !m_pParallel->LastRowInView())
            return;
        m_bEndTold = true;
        m_host.ChapterShownToEnd(
            QString::fromStdU16String(tavrin::ChapterReference(rows.back().m_strKey)));
        return;
    }
    if (m_layout.m_arrSpans.empty())
        return;
    const QStringList& verses = LaidOutVerses();
    // Part of a chapter shown is not its end.
    if (verses.size() < 2 ||
        (!m_arrWholeChapter.isEmpty() &&
         verses[verses.size() - 2] != m_arrWholeChapter[m_arrWholeChapter.size() - 2]))
        return;
    const QWidget* view = m_editChapter->viewport();
    const int bottom =
        m_editChapter->cursorForPosition(QPoint(view->width() - 1, view->height() - 1)).position();
    const int last = static_cast<int>(m_layout.m_arrSpans.size()) - 1;
    if (tavrin::VerseAt(
            m_layout, tavrin::TextPosition(m_layout.m_strText, static_cast<size_t>(bottom))) < last)
        return;
    m_bEndTold = true;
    m_host.ChapterShownToEnd(QString::fromStdU16String(
        tavrin::ChapterReference(verses[verses.size() - 2].toStdU16String())));
}

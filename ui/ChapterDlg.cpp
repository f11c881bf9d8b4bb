// ChapterDlg.cpp - the chapter reader: shows a chapter read through the
// navigator form and steps to the neighbouring chapters of the same book.
#include "ChapterDlg.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QFont>
#include <QIcon>
#include <QLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>

#include <string>
#include <vector>

#include "Chapter.h"
#include "DisplaySettings.h"
#include "Messages.h"
#include "Palette.h"
#include "PopupEdit.h"
#include "ShellTitle.h"
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

QString LaidOut(const QStringList& verses) {
    std::vector<std::u16string> pairs;
    pairs.reserve(static_cast<size_t>(verses.size()));
    for (const QString& entry : verses) {
        pairs.push_back(entry.toStdU16String());
    }
    return QString::fromStdU16String(tavrin::BuildChapterText(pairs));
}

}  // namespace

CChapterDlg::CChapterDlg(CChapterHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_ui(std::make_unique<Ui::CChapterDlg>()) {
    m_ui->setupUi(this);
    m_editChapter = m_ui->IDC_EDIT_CHAPTER;
    resize(FirstWindowSize(this, kFirstSize));

    // The reader's own commands: the two buttons of its command bar, previous
    // then next, and its text box's menu. Their keys work wherever the focus
    // is inside the reader.
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

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("IDR_CHAPTER_BAR"));
    m_toolBar->setIconSize(QSize(kButtonSize, kButtonSize));
    m_toolBar->setMovable(false);
    m_toolBar->addAction(prev);
    m_toolBar->addAction(next);
    layout()->setMenuBar(m_toolBar);

    connect(next, &QAction::triggered, this, &CChapterDlg::OnNextChapter);
    connect(prev, &QAction::triggered, this, &CChapterDlg::OnPrevChapter);
    connect(copy, &QAction::triggered, this, &CChapterDlg::OnPopupCopy);
    connect(copyAll, &QAction::triggered, this, &CChapterDlg::OnPopupCopyAll);
    connect(save, &QAction::triggered, this, &CChapterDlg::OnPopupSave);
    connect(m_editChapter, &CPopupEdit::copyRequested, copy, &QAction::trigger);
    connect(m_editChapter, &CPopupEdit::copyAllRequested, copyAll, &QAction::trigger);
    connect(m_editChapter, &CPopupEdit::saveRequested, save, &QAction::trigger);
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
    m_strChapterText = LaidOut(m_arrChapter);
    m_editChapter->setPlainText(m_strChapterText);
    ApplyDisplaySettings();
    ScrollToVerse(m_nTopVerse);
}

void CChapterDlg::ScrollToVerse(int index) {
    // Verse i's key line is the i-th block that reads "  [key i]", keys taken
    // in order, so a verse text that looks like a key line cannot mislead it.
    const qsizetype verses = (m_arrChapter.size() + 1) / 2;
    if (index <= 0 || index >= verses)
        return;
    // The box scrolls by lines and lays out wrapped lines lazily: laid out
    // now, every line number is final, and so is how far the box can scroll.
    QTextDocument* doc = m_editChapter->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        doc->documentLayout()->blockBoundingRect(block);
    int verse = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block.text() != QStringLiteral("  [%1]").arg(m_arrChapter[2 * verse]))
            continue;
        if (verse == index) {
            m_editChapter->verticalScrollBar()->setValue(block.firstLineNumber());
            return;
        }
        ++verse;
    }
}

void CChapterDlg::ApplyDisplaySettings() {
    ApplyColors(m_editChapter, QPalette::Base, g_colorItems[kColorChapterBack].crColor,
                QPalette::Text, g_colorItems[kColorChapterText].crColor);

    m_editChapter->setFont(m_host.ChapterFont());
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
        return;
    }
    SetVerses(m_host.Verses());
    if (move == tavrin::EChapterMove::Missing) {
        wait.Restore();
        ShowInformation(this,
                        QStringLiteral("다음 장이 존재하지 않습니다. 메인 페이지로 이동합니다."));
        accept();
        return;
    }
    m_strChapterText = LaidOut(m_arrChapter);
    m_editChapter->setPlainText(m_strChapterText);
}

void CChapterDlg::OnPopupCopy() {
    CopySavedSelection(m_editChapter, m_editChapter->m_selMenu);
}

void CChapterDlg::OnPopupCopyAll() {
    CopyAll(m_editChapter);
}

void CChapterDlg::OnPopupSave() {
    m_host.SaveNote(m_strChapterText);
    activateWindow();
    m_editChapter->setFocus(Qt::OtherFocusReason);
}

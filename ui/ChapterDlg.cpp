// ChapterDlg.cpp - the chapter reader: shows a chapter read through the
// navigator form and steps to the neighbouring chapters of the same book.
#include "ChapterDlg.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QShowEvent>
#include <QToolBar>
#include <QVBoxLayout>

#include <string>
#include <vector>

#include "Chapter.h"
#include "CommandIds.h"
#include "DialogUnits.h"
#include "DisplaySettings.h"
#include "MainFrame.h"
#include "Messages.h"
#include "PopupEdit.h"
#include "ShellTitle.h"
#include "TavrinView.h"
#include "ui_ChapterDlg.h"

CChapterDlg* g_pChapterDlg = nullptr;
CTavrinView* g_pView = nullptr;

namespace {

constexpr int kColorChapterText = 6;  // "Viewer 2 글자"
constexpr int kColorChapterBack = 7;  // "Viewer 2 바탕"
constexpr int kButtonSize = 18;
constexpr int kWidthDlu = 123;  // the reader's template, in dialog units
constexpr int kHeightDlu = 125;

// Shows the busy cursor for the life of the object, so that every way out of
// a read (including the early ones) gives the arrow back.
class CBusyCursor {
public:
    CBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CBusyCursor() { Restore(); }
    void Restore() {
        if (m_bActive) {
            QApplication::restoreOverrideCursor();
            m_bActive = false;
        }
    }
    CBusyCursor(const CBusyCursor&) = delete;
    CBusyCursor& operator=(const CBusyCursor&) = delete;

private:
    bool m_bActive = true;
};

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

CChapterDlg::CChapterDlg(CTavrinView* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CChapterDlg>()) {
    g_pView = parent;
    m_ui->setupUi(this);
    m_editChapter = m_ui->IDC_EDIT_CHAPTER;
    resize(DialogUnitsToPixels(font(), kWidthDlu, kHeightDlu));

    // The two buttons of the reader's command bar, previous then next; they
    // carry the command ids the bar's resource gives them.
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("IDR_CHAPTER_BAR"));
    m_toolBar->setIconSize(QSize(kButtonSize, kButtonSize));
    m_toolBar->setMovable(false);
    m_actionPrev = m_toolBar->addAction(ArrowIcon(true), QString());
    m_actionPrev->setObjectName(QString::number(ID_VERSE_COPY));
    m_actionPrev->setToolTip(QStringLiteral("이전 장으로 이동합니다."));
    m_actionNext = m_toolBar->addAction(ArrowIcon(false), QString());
    m_actionNext->setObjectName(QString::number(ID_VERSE_SAVE));
    m_actionNext->setToolTip(QStringLiteral("다음 장으로 이동합니다."));
    layout()->setMenuBar(m_toolBar);

    connect(m_actionNext, &QAction::triggered, this, &CChapterDlg::OnNextChapter);
    connect(m_actionPrev, &QAction::triggered, this, &CChapterDlg::OnPrevChapter);
}

CChapterDlg::~CChapterDlg() {
    // The form clears this after closing; a reader destroyed any other way
    // must not leave the form passing commands to freed memory.
    if (g_pChapterDlg == this) {
        g_pChapterDlg = nullptr;
    }
}

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
    CBusyCursor busy;
    m_strChapterText = LaidOut(m_arrChapter);
    m_editChapter->setPlainText(m_strChapterText);
    ApplyDisplaySettings();
}

void CChapterDlg::ApplyDisplaySettings() {
    QPalette palette = m_editChapter->palette();
    const uint32_t crText = g_colorItems[kColorChapterText].crColor;
    const uint32_t crBack = g_colorItems[kColorChapterBack].crColor;
    const QColor text(RedOf(crText), GreenOf(crText), BlueOf(crText));
    const QColor back(RedOf(crBack), GreenOf(crBack), BlueOf(crBack));
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Base, back);
    }
    m_editChapter->setPalette(palette);

    if (CMainFrame* frame = CMainFrame::Instance()) {
        m_editChapter->setFont(frame->m_fontChapter);
    } else {
        QFont font(g_strFontFace);
        font.setPixelSize(g_nChapterFontSize);
        m_editChapter->setFont(font);
    }
}

void CChapterDlg::OnNextChapter() {
    MoveChapter(true);
}

void CChapterDlg::OnPrevChapter() {
    MoveChapter(false);
}

void CChapterDlg::MoveChapter(bool next) {
    if (g_pView == nullptr) {
        return;
    }
    CBusyCursor busy;
    const std::optional<std::u16string> neighbour =
        tavrin::NeighbourChapter(g_pView->m_strChapter.toStdU16String(),
                                 next ? tavrin::EDirection::Next : tavrin::EDirection::Previous);
    if (!neighbour) {
        return;
    }
    g_pView->LoadChapter(QString::fromStdU16String(*neighbour));
    SetVerses(g_pView->m_arrVerses);

    // Only a chapter without a single verse is missing: short chapters (a
    // psalm of two verses) exist and are shown.
    if (next && m_arrChapter.isEmpty()) {
        busy.Restore();
        ShowInformation(this,
                        QStringLiteral("다음 장이 존재하지 않습니다. 메인 페이지로 이동합니다."));
        accept();
        return;
    }
    m_strChapterText = LaidOut(m_arrChapter);
    m_editChapter->setPlainText(m_strChapterText);
}

void CChapterDlg::DoPopupCommand(int k) {
    switch (k) {
        case 0:
            CopySavedSelection(m_editChapter, m_editChapter->m_dwMenuSel);
            break;
        case 1:
            CopyAll(m_editChapter);
            break;
        case 2:
            if (g_pView != nullptr) {
                g_pView->SaveNote(m_strChapterText);
            }
            activateWindow();
            m_editChapter->setFocus(Qt::OtherFocusReason);
            break;
        default:
            break;
    }
}

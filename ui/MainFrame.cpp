// MainFrame.cpp - main window construction, fonts, settings and routing.
#include "MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QToolBar>

#include "CommandIds.h"
#include "DialogUnits.h"
#include "Icons.h"
#include "TavrinApp.h"
#include "TavrinDoc.h"
#include "TavrinView.h"

int g_bFontsCreated = 0;

namespace {
CMainFrame* s_pInstance = nullptr;

// Navigator form template size in dialog units.
constexpr int kFormWidthDlu = 134;
constexpr int kFormHeightDlu = 153;

QFont MakeFont(int32_t size) {
    QFont font(g_strFontFace);
    font.setWeight(QFont::Normal);
    // A stored size is a pixel height; a negative one means the same height.
    const int32_t px = size == INT32_MIN ? INT32_MAX : (size < 0 ? -size : size);
    if (px > 0) {
        font.setPixelSize(static_cast<int>(std::min<int32_t>(px, 4096)));
    }
    return font;
}
}  // namespace

CMainFrame::CMainFrame(CTavrinDoc* doc, const QString& storeFolder) : m_pDoc(doc) {
    s_pInstance = this;
    if (!LoadSettings(g_colorItems)) {
        SaveSettings(g_colorItems);
    }
    SetShellTitleText();
    OnCreate();
    m_pView = new CTavrinView(this, storeFolder);
    setCentralWidget(m_pView);

    // First size: the form's template size plus the bars above it.
    const QSize form = DialogUnitsToPixels(QApplication::font(), kFormWidthDlu, kFormHeightDlu);
    resize(form.width(),
           form.height() + menuBar()->sizeHint().height() + m_pToolBar->sizeHint().height());
}

CMainFrame::~CMainFrame() {
    // The form closes its stores before the fonts go.
    delete m_pView;
    m_pView = nullptr;
    DeleteFonts();
    if (s_pInstance == this) {
        s_pInstance = nullptr;
    }
}

CMainFrame* CMainFrame::Instance() {
    return s_pInstance;
}

void CMainFrame::SetShellTitleText() {
    setWindowTitle(QStringLiteral("Tavrin"));
    setWindowIcon(AppIcon());
}

QAction* CMainFrame::AddCommand(int id, const QString& text) {
    auto* action = new QAction(text, this);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_mapActions[id] = action;
    return action;
}

void CMainFrame::OnCreate() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(AddCommand(ID_APP_EXIT, QStringLiteral("종료")));
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(AddCommand(ID_VERSE_COPY, QStringLiteral("복사")));
    edit->addAction(AddCommand(ID_VERSE_SAVE, QStringLiteral("파일에 저장")));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(AddCommand(ID_APP_ABOUT, QStringLiteral("Tavrin 정보...")));

    m_pToolBar = addToolBar(QStringLiteral("Tavrin"));
    m_pToolBar->setObjectName(QStringLiteral("commandBar"));
    m_pToolBar->setMovable(false);
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_pToolBar->setIconSize(QSize(16, 16));
    m_pToolBar->addSeparator();
    QAction* save = AddCommand(ID_FILE_SAVE, QStringLiteral("파일에 저장"));
    save->setIcon(SaveIcon());
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_pToolBar->addAction(save);
    QAction* colors = AddCommand(ID_VIEW_COLORS, QStringLiteral("색상과 글꼴"));
    colors->setIcon(ColorsIcon());
    m_pToolBar->addAction(colors);
    QAction* about = Action(ID_APP_ABOUT);
    about->setIcon(AboutIcon());
    m_pToolBar->addAction(about);
    addAction(save);

    // Accelerators without a menu entry.
    QAction* fileNew = AddCommand(ID_FILE_NEW, QStringLiteral("New"));
    fileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    addAction(fileNew);
    QAction* fileOpen = AddCommand(ID_FILE_OPEN, QStringLiteral("Open"));
    fileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    addAction(fileOpen);
}

QAction* CMainFrame::Action(int id) const {
    const auto it = m_mapActions.find(id);
    return it == m_mapActions.end() ? nullptr : it->second;
}

bool CMainFrame::OnCommand(int id) {
    return RouteCommand(id, {m_pView, m_pDoc, this, CTavrinApp::Instance()});
}

bool CMainFrame::OnCmdMsg(int) {
    return false;
}

void CMainFrame::CreateFonts() {
    if (g_bFontsCreated == 1) {
        DeleteFonts();
    }
    m_fontMain = MakeFont(g_nMainFontSize);
    m_fontChapter = MakeFont(g_nChapterFontSize);
    g_bFontsCreated = 1;
}

void CMainFrame::DeleteFonts() {
    m_fontMain = QFont();
    m_fontChapter = QFont();
    g_bFontsCreated = 0;
}

bool CMainFrame::LoadSettings(COLORITEM* items) {
    return LoadSettingsFile(SettingsFilePath(), items);
}

bool CMainFrame::SaveSettings(COLORITEM* items) {
    return SaveSettingsFile(SettingsFilePath(), items);
}

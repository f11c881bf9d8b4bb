// MainFrame.cpp - main window construction, fonts, settings and routing.
#include "MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QMenuBar>
#include <QToolBar>

#include "CommandIds.h"
#include "DisplaySettings.h"
#include "Icons.h"
#include "TavrinApp.h"
#include "TavrinDoc.h"
#include "TavrinView.h"
#include "WindowPlace.h"

int g_bFontsCreated = 0;

namespace {
CMainFrame* s_pInstance = nullptr;

// The first window: wide enough for the longest reference list beside the
// text, tall enough for a long verse without scrolling.
constexpr QSize kFirstSize(480, 640);

QFont MakeFont(int32_t size) {
    QFont font(g_strFontFace);
    font.setWeight(QFont::Normal);
    font.setPixelSize(FontPixelSize(size));
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

    resize(FirstWindowSize(this, kFirstSize));
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
    QAction* exit = AddCommand(ID_APP_EXIT, QStringLiteral("종료"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    file->addAction(exit);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(AddCommand(ID_VERSE_COPY, QStringLiteral("복사")));
    // Saves as Ctrl+S does. The key stays the tool bar command's: here it is
    // only a hint, live while the menu itself has the keyboard.
    QAction* verseSave = AddCommand(ID_VERSE_SAVE, QStringLiteral("파일에 저장"));
    verseSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    verseSave->setShortcutContext(Qt::WidgetShortcut);
    edit->addAction(verseSave);
    edit->addSeparator();
    QAction* find = AddCommand(ID_EDIT_FIND, QStringLiteral("찾기..."));
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    find->setIcon(SearchIcon());
    find->setToolTip(QStringLiteral("찾기"));
    edit->addAction(find);
    QAction* goTo = AddCommand(ID_VERSE_GOTO, QStringLiteral("이동..."));
    goTo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    edit->addAction(goTo);
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
    m_pToolBar->addAction(find);
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

QString CMainFrame::ReaderStateFilePath() {
    return ConfigFilePath(QString::fromLatin1(tavrin::kReaderStateFileName));
}

void CMainFrame::RestoreState() {
    m_state = tavrin::LoadReaderState(QFile::encodeName(ReaderStateFilePath()).toStdString());
    if (m_state.m_mainPlace)
        RestorePlace(this, *m_state.m_mainPlace);
    if (m_state.m_bHasPassage && m_pView)
        m_pView->RestorePassage(m_state.m_testament, m_state.m_strBook, m_state.m_strReference);
}

bool CMainFrame::SaveState() {
    if (m_pView) {
        const tavrin::CNavigator& nav = m_pView->Navigator();
        // A form left empty (stores missing) must not forget the place.
        if (nav.BookIndex() >= 0 && nav.ReferenceIndex() >= 0) {
            m_state.m_bHasPassage = true;
            m_state.m_testament = m_pView->CurrentTestament();
            m_state.m_strBook = nav.BookName();
            m_state.m_strReference = nav.Reference();
        }
    }
    m_state.m_mainPlace = PlaceOf(this);
    return tavrin::SaveReaderState(QFile::encodeName(ReaderStateFilePath()).toStdString(), m_state);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SaveState();
    QMainWindow::closeEvent(event);
}

bool CMainFrame::LoadSettings(COLORITEM* items) {
    return LoadSettingsFile(SettingsFilePath(), items);
}

bool CMainFrame::SaveSettings(COLORITEM* items) {
    return SaveSettingsFile(SettingsFilePath(), items);
}

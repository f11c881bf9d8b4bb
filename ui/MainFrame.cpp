// MainFrame.cpp - main window construction, its commands, fonts, settings and state.
#include "MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <cstdlib>
#include <ctime>

#include "DisplaySettings.h"
#include "Icons.h"
#include "Messages.h"
#include "Plan.h"
#include "PlanPanel.h"
#include "PlanProgress.h"
#include "SetChooser.h"
#include "StudyCommands.h"
#include "StudyDb.h"
#include "StudyDock.h"
#include "StudyExchange.h"
#include "StudyFiles.h"
#include "StudyLabels.h"
#include "TavrinView.h"
#include "WindowPlace.h"

int g_bFontsCreated = 0;

namespace {

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

CMainFrame::CMainFrame(const QString& storeFolder) {
    if (!LoadSettings(g_colorItems)) {
        SaveSettings(g_colorItems);
    }
    SetShellTitleText();
    m_pView = new CTavrinView(*this, storeFolder, this);
    setCentralWidget(m_pView);
    OnCreate();

    resize(FirstWindowSize(this, kFirstSize));
}

CMainFrame::~CMainFrame() {
    if (m_studyOpener.joinable())
        m_studyOpener.join();  // what it posts goes with this window
    if (m_pPlanPanel)
        m_pPlanPanel->SetDatabase(nullptr);
    m_pStudyDb.reset();
    // The form closes its stores before the fonts go.
    delete m_pView;
    m_pView = nullptr;
    DeleteFonts();
}

void CMainFrame::SetShellTitleText() {
    setWindowTitle(QStringLiteral("Tavrin"));
    setWindowIcon(AppIcon());
}

void CMainFrame::OnCreate() {
    // Each command is an action of this window; objectNames are the
    // commands' names, by which tests find them.
    const auto command = [this](const char* name, const QString& text) {
        auto* action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    CTavrinView* view = m_pView;

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* exit = command("ID_APP_EXIT", QStringLiteral("종료"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    file->addAction(exit);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    QAction* verseCopy = command("ID_VERSE_COPY", QStringLiteral("복사"));
    connect(verseCopy, &QAction::triggered, view, &CTavrinView::OnVerseCopy);
    edit->addAction(verseCopy);
    QAction* copyRef = command("ID_VERSE_COPY_REF", QStringLiteral("참조와 함께 복사"));
    copyRef->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(copyRef, &QAction::triggered, view, &CTavrinView::OnCopyWithReference);
    edit->addAction(copyRef);
    QAction* citation = command("ID_CITATION_FORMAT", QStringLiteral("참조 형식..."));
    connect(citation, &QAction::triggered, view, &CTavrinView::OnCitationFormat);
    edit->addAction(citation);
    // Saves as Ctrl+S does. The key stays the tool bar command's: here it is
    // only a hint, live while the menu itself has the keyboard.
    QAction* verseSave = command("ID_VERSE_SAVE", QStringLiteral("파일에 저장"));
    verseSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    verseSave->setShortcutContext(Qt::WidgetShortcut);
    connect(verseSave, &QAction::triggered, view, &CTavrinView::OnFileSave);
    edit->addAction(verseSave);
    edit->addSeparator();
    QAction* find = command("ID_EDIT_FIND", QStringLiteral("찾기..."));
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    find->setIcon(SearchIcon());
    find->setToolTip(QStringLiteral("찾기"));
    connect(find, &QAction::triggered, view, &CTavrinView::OnEditFind);
    edit->addAction(find);
    QAction* goTo = command("ID_VERSE_GOTO", QStringLiteral("이동..."));
    goTo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(goTo, &QAction::triggered, view, &CTavrinView::OnGoTo);
    edit->addAction(goTo);

    // Zoom, history and chapter steps; the reader's layout joins them.
    m_menuView = menuBar()->addMenu(QStringLiteral("보기(&V)"));
    m_menuView->setObjectName(QStringLiteral("IDR_VIEW_MENU"));
    const auto viewCommand = [&](const char* name, const QString& text, QList<QKeySequence> keys,
                                 void (CTavrinView::*slot)()) {
        QAction* action = command(name, text);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, view, slot);
        m_menuView->addAction(action);
        return action;
    };
    viewCommand("ID_VIEW_ZOOM_IN", QStringLiteral("확대"),
                {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)},
                &CTavrinView::OnZoomIn);
    viewCommand("ID_VIEW_ZOOM_OUT", QStringLiteral("축소"),
                {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &CTavrinView::OnZoomOut);
    viewCommand("ID_VIEW_ZOOM_RESET", QStringLiteral("원래 크기"),
                {QKeySequence(Qt::CTRL | Qt::Key_0)}, &CTavrinView::OnZoomReset);
    m_menuView->addSeparator();
    // Alt+arrows as desktops bind them (the platform's own list may hold
    // Backspace, which must stay a key of the panes), and the keyboard's keys.
    m_actBack = viewCommand("ID_HISTORY_BACK", QStringLiteral("뒤로"),
                            {QKeySequence(Qt::ALT | Qt::Key_Left), QKeySequence(Qt::Key_Back)},
                            &CTavrinView::OnHistoryBack);
    m_actForward =
        viewCommand("ID_HISTORY_FORWARD", QStringLiteral("앞으로"),
                    {QKeySequence(Qt::ALT | Qt::Key_Right), QKeySequence(Qt::Key_Forward)},
                    &CTavrinView::OnHistoryForward);
    viewCommand("ID_PREV_CHAPTER", QStringLiteral("이전 장"),
                {QKeySequence(Qt::CTRL | Qt::Key_PageUp)}, &CTavrinView::OnPrevChapter);
    viewCommand("ID_NEXT_CHAPTER", QStringLiteral("다음 장"),
                {QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, &CTavrinView::OnNextChapter);
    m_actBack->setIcon(BackIcon());
    m_actForward->setIcon(ForwardIcon());
    // Nothing to go to until the history says so.
    m_actBack->setEnabled(false);
    m_actForward->setEnabled(false);
    connect(view, &CTavrinView::historyMoved, this, [this](bool back, bool forward) {
        m_actBack->setEnabled(back);
        m_actForward->setEnabled(forward);
    });
    m_menuView->addSeparator();
    m_actChapterParagraphs =
        command("ID_VIEW_CHAPTER_PARAGRAPHS", QStringLiteral("장 읽기를 문단으로"));
    m_actChapterParagraphs->setCheckable(true);
    connect(m_actChapterParagraphs, &QAction::toggled, this, &CMainFrame::KeepChapterParagraphs);
    m_menuView->addAction(m_actChapterParagraphs);

    CreateStudyCommands(file, edit, exit);
    QMenu* sets = menuBar()->addMenu(QStringLiteral("역본"));
    sets->setObjectName(QStringLiteral("IDR_SET_MENU"));
    auto* setCombo = new QComboBox(this);
    setCombo->setObjectName(QStringLiteral("IDC_COMBO_SET"));
    setCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // Like the tool bar's buttons it stays out of the form's Tab order.
    setCombo->setFocusPolicy(Qt::NoFocus);
    m_pSetChooser = new CSetChooser(sets, setCombo, this);
    connect(m_pSetChooser, &CSetChooser::mainChosen, this, [this] { OnSetsChosen(true); });
    connect(m_pSetChooser, &CSetChooser::companionsChosen, this, [this] { OnSetsChosen(false); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    m_actAbout = command("ID_APP_ABOUT", QStringLiteral("Tavrin 정보..."));
    help->addAction(m_actAbout);

    m_pToolBar = addToolBar(QStringLiteral("Tavrin"));
    m_pToolBar->setObjectName(QStringLiteral("commandBar"));
    m_pToolBar->setMovable(false);
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_pToolBar->setIconSize(QSize(16, 16));
    m_pToolBar->addSeparator();
    QAction* save = command("ID_FILE_SAVE", QStringLiteral("파일에 저장"));
    save->setIcon(SaveIcon());
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, view, &CTavrinView::OnFileSave);
    m_pToolBar->addAction(save);
    QAction* colors = command("ID_VIEW_COLORS", QStringLiteral("색상과 글꼴"));
    colors->setIcon(ColorsIcon());
    connect(colors, &QAction::triggered, view, &CTavrinView::OnViewColors);
    m_pToolBar->addAction(colors);
    m_actAbout->setIcon(AboutIcon());
    m_pToolBar->addAction(m_actAbout);
    m_pToolBar->addAction(find);
    m_pToolBar->addSeparator();
    m_pToolBar->addAction(m_actBack);
    m_pToolBar->addAction(m_actForward);
    m_pToolBar->addSeparator();
    m_pToolBar->addWidget(setCombo);
    addAction(save);
    // The mouse's back and forward buttons, over any part of this window.
    qApp->installEventFilter(this);

    // 통독: built when first asked for (start-up stays a bare window's); the plans read
    // the main set's chapters and live in the study database.
    QAction* plans =
        DockAction("ID_VIEW_PLANS", QStringLiteral("통독"), [this] { return PlanPanel(); });
    plans->setIcon(PlanIcon());
    plans->setToolTip(QStringLiteral("통독"));
    m_menuView->addSeparator();
    m_menuView->addAction(plans);
    m_pToolBar->addSeparator();
    m_pToolBar->addAction(plans);
    connect(view, &CTavrinView::chapterShownToEnd, this, &CMainFrame::OnChapterShownToEnd);

    // Keys without a menu entry.
    m_actNew = command("ID_FILE_NEW", QStringLiteral("New"));
    m_actNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    addAction(m_actNew);
    m_actOpen = command("ID_FILE_OPEN", QStringLiteral("Open"));
    m_actOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    addAction(m_actOpen);
}

void CMainFrame::CreateStudyCommands(QMenu* file, QMenu* edit, QAction* exit) {
    m_pStudy = new CStudyCommands([this] { return StudyDb(); },
                                  [this] { return m_strStudyProblem; }, this);
    CTavrinView* view = m_pView;
    const SStudyActions acts = CreateStudyActions(this, Qt::WindowShortcut, m_pStudy,
                                                  [view] { return view->ChosenVerses(); });
    edit->addSeparator();
    acts.AddTo(edit);
    view->SetMoreMenuEntries([acts](QMenu* menu) { acts.AddTo(menu); });
    connect(m_pStudy, &CStudyCommands::itemsChanged, view, &CTavrinView::ShowStudyMarks);
    connect(this, &CMainFrame::studyDbOpened, view, &CTavrinView::ShowStudyMarks);

    QAction* exportItems = new QAction(QStringLiteral("내보내기..."), this);
    exportItems->setObjectName(QStringLiteral("ID_STUDY_EXPORT"));
    connect(exportItems, &QAction::triggered, this, &CMainFrame::OnStudyExport);
    QAction* importItems = new QAction(QStringLiteral("가져오기..."), this);
    importItems->setObjectName(QStringLiteral("ID_STUDY_IMPORT"));
    connect(importItems, &QAction::triggered, this, &CMainFrame::OnStudyImport);
    file->insertAction(exit, exportItems);
    file->insertAction(exit, importItems);
    file->insertSeparator(exit);

    QAction* toggle =
        DockAction("ID_VIEW_STUDY_DOCK", QStringLiteral("내 노트"), [this] { return StudyDock(); });
    toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
    m_menuView->addSeparator();
    m_menuView->addAction(toggle);
}

QAction* CMainFrame::DockAction(const char* name, const QString& text,
                                const std::function<QDockWidget*()>& dock) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, action, dock](bool checked) {
        QDockWidget* built = dock();
        if (checked && built->isHidden())
            MakeRoomFor(built);
        built->setVisible(checked);
        if (checked)
            built->raise();
        action->setChecked(!built->isHidden());
    });
    return action;
}

void CMainFrame::MakeRoomFor(QDockWidget* dock) {
    if (isMaximized() || isFullScreen() || dock->isFloating())
        return;
    // The panel takes its width from the form; a window at its first size would
    // leave the form too narrow to read, so it grows, within the screen.
    const int wanted = kFirstSize.width() + dock->sizeHint().width() +
                       style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    const QRect screen = this->screen()->availableGeometry();
    const int width = std::min(std::max(this->width(), wanted), screen.width());
    if (width > this->width())
        resize(width, height());
}

CPlanPanel* CMainFrame::PlanPanel() {
    if (m_pPlanPanel)
        return m_pPlanPanel;
    CTavrinView* view = m_pView;
    m_pPlanPanel = new CPlanPanel(
        [view] {
            const std::string& folder = view->OpenedFolder();
            return tavrin::ReadSetChapters(view->Navigator().Stores(), folder,
                                           tavrin::ChapterCachePath(folder));
        },
        this);
    m_pPlanPanel->hide();
    addDockWidget(Qt::RightDockWidgetArea, m_pPlanPanel);
    m_pPlanPanel->SetDatabase(StudyDb());
    connect(this, &CMainFrame::studyDbOpened, m_pPlanPanel,
            [this] { m_pPlanPanel->SetDatabase(StudyDb()); });
    connect(m_pPlanPanel, &CPlanPanel::openChapter, view, &CTavrinView::OpenChapterAt);
    KeepChecked(m_pPlanPanel, "ID_VIEW_PLANS");
    return m_pPlanPanel;
}

CStudyDock* CMainFrame::StudyDock() {
    if (m_pStudyDock)
        return m_pStudyDock;
    CTavrinView* view = m_pView;
    m_pStudyDock = new CStudyDock(
        *m_pStudy, [view]() -> const tavrin::CStoreSet& { return view->Navigator().Stores(); },
        [view](tavrin::Testament testament, const std::u16string& book, const std::u16string& key) {
            view->RestorePassage(testament, book, key);
        },
        this);
    m_pStudyDock->hide();
    addDockWidget(Qt::RightDockWidgetArea, m_pStudyDock);
    connect(this, &CMainFrame::studyDbOpened, m_pStudyDock, [this] {
        if (m_pStudyDock->isVisible())
            m_pStudyDock->Refresh();
    });
    connect(view, &CTavrinView::mainSetChanged, m_pStudyDock, &CStudyDock::OnSetChanged);
    KeepChecked(m_pStudyDock, "ID_VIEW_STUDY_DOCK");
    return m_pStudyDock;
}

void CMainFrame::KeepChecked(QDockWidget* dock, const char* actionName) {
    auto* action = findChild<QAction*>(QString::fromLatin1(actionName));
    // The dock's own close button and its toggle action both move the check mark.
    connect(dock->toggleViewAction(), &QAction::toggled, action, &QAction::setChecked);
}

void CMainFrame::OnChapterShownToEnd(tavrin::Testament testament, const QString& chapter) {
    if (m_pPlanPanel) {
        m_pPlanPanel->OnChapterShownToEnd(testament, chapter);
        return;
    }
    // No panel yet: the option still marks what the reader showed.
    if (tavrin::CStudyDb* db = StudyDb()) {
        tavrin::CPlanBook book(*db);
        if (book.MarkByReading())
            book.MarkChapterRead(testament, chapter.toStdString(),
                                 CPlanPanel::DayNumber(QDate::currentDate()));
    }
}

void CMainFrame::OnStudyExport() {
    tavrin::CStudyDb* db = m_pStudy->Usable(this);
    if (!db)
        return;
    const QString tsv = QStringLiteral("TSV (*.tsv)");
    const QString markdown = QStringLiteral("Markdown (*.md)");
    QString filter = tsv;
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("내보내기"), QDir::homePath() + QStringLiteral("/tavrin-study.tsv"),
        tsv + QStringLiteral(";;") + markdown, &filter);
    if (path.isEmpty())
        return;
    const std::string problem = tavrin::ExportStudyFile(
        *db, m_pView->Navigator().Stores(), QFile::encodeName(path).toStdString(),
        filter == markdown ? tavrin::EStudyFileFormat::Markdown : tavrin::EStudyFileFormat::Tsv);
    if (!problem.empty())
        ShowInformation(this, QString::fromStdString(problem));
}

void CMainFrame::OnStudyImport() {
    tavrin::CStudyDb* db = m_pStudy->Usable(this);
    if (!db)
        return;
    const QString tsv = QStringLiteral("TSV (*.tsv)");
    const QString notes = QStringLiteral("메모 파일 (*.txt)");
    QString filter = tsv;
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("가져오기"), QDir::homePath(),
                                     tsv + QStringLiteral(";;") + notes, &filter);
    if (path.isEmpty())
        return;
    const tavrin::SStudyImport done = tavrin::ImportStudyFile(
        *db, m_pView->Navigator().Stores(), QFile::encodeName(path).toStdString(),
        filter == notes ? tavrin::EStudyFileFormat::NotesFile : tavrin::EStudyFileFormat::Tsv);
    ShowInformation(this, QString::fromStdString(done.m_strMessage));
    if (done.m_bChanged)
        emit m_pStudy->itemsChanged();
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

void CMainFrame::KeepChapterPlace(const tavrin::SWindowPlace& place) {
    m_state.m_chapterPlace = place;
    SaveState();
}

void CMainFrame::KeepChapterParagraphs(bool paragraphs) {
    m_actChapterParagraphs->setChecked(paragraphs);
    if (m_state.m_bChapterParagraphs == paragraphs)
        return;
    m_state.m_bChapterParagraphs = paragraphs;
    SaveState();
}

void CMainFrame::RestoreState() {
    m_state = tavrin::LoadReaderState(QFile::encodeName(ReaderStateFilePath()).toStdString());
    m_actChapterParagraphs->setChecked(m_state.m_bChapterParagraphs);
    if (m_state.m_mainPlace)
        RestorePlace(this, *m_state.m_mainPlace);
    if (!m_pView)
        return;
    if (m_state.m_citationFormat)
        m_pView->m_nCitationFormat = *m_state.m_citationFormat;
    const std::string wanted =
        m_state.m_strMainSet.empty() ? m_pView->MainSetId() : m_state.m_strMainSet;
    m_pSetChooser->SetSets(m_pView->Library().Sets(), {wanted, m_state.m_arrCompanions});
    const std::string& main = m_pSetChooser->Choice().m_strMain;
    if (main != m_pView->MainSetId() && m_pView->Library().Find(main))
        m_pView->SwitchMainSet(*m_pView->Library().Find(main));
    // The first text is on screen before the companions are read (see eventFilter).
    m_bCompanionsPending = true;
    m_pView->ReserveCompanionPane(!m_pSetChooser->Choice().m_arrCompanions.empty());
    if (m_state.m_bHasPassage)
        m_pView->RestorePassage(m_state.m_testament, m_state.m_strBook, m_state.m_strReference);
    m_pView->StartHistory(tavrin::CHistory::Parse(m_state.m_strHistory));
}

bool CMainFrame::SaveState() {
    if (m_pView) {
        const tavrin::CNavigator& nav = m_pView->Navigator();
        // A form left empty (stores missing) must not forget the place.
        if (nav.BookIndex() >= 0 && nav.ReferenceIndex() >= 0) {
            m_state.m_bHasPassage = true;
            m_state.m_testament = nav.GetTestament();
            m_state.m_strBook = nav.BookName();
            m_state.m_strReference = nav.Reference();
        }
        m_state.m_strHistory = m_pView->History().Format();
        m_state.m_citationFormat = m_pView->m_nCitationFormat;
    }
    if (!m_pSetChooser->Choice().m_strMain.empty()) {
        m_state.m_strMainSet = m_pSetChooser->Choice().m_strMain;
        m_state.m_arrCompanions = m_pSetChooser->Choice().m_arrCompanions;
    }
    m_state.m_mainPlace = PlaceOf(this);
    return tavrin::SaveReaderState(QFile::encodeName(ReaderStateFilePath()).toStdString(), m_state);
}

void CMainFrame::OnSetsChosen(bool mainChanged) {
    const tavrin::SLibrarySet* main = m_pView->Library().Find(m_pSetChooser->Choice().m_strMain);
    if (mainChanged && main)
        m_pView->SwitchMainSet(*main);
    ShowCompanions();
}

void CMainFrame::ShowCompanions() {
    std::vector<tavrin::SLibrarySet> companions;
    for (const std::string& id : m_pSetChooser->Choice().m_arrCompanions)
        if (const tavrin::SLibrarySet* set = m_pView->Library().Find(id))
            companions.push_back(*set);
    m_pView->SetCompanions(companions);
}

void CMainFrame::ReportSkippedSets() {
    const auto bare = [](std::string folder) {
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        return folder;
    };
    QString text;
    for (const tavrin::SSkippedSet& set : m_pView->Library().Skipped())
        // The folder the form reads has told of its own trouble already.
        if (bare(set.m_strFolder) != bare(m_pView->OpenedFolder()))
            text += QStringLiteral("\n%1 (%2): %3")
                        .arg(QString::fromStdString(set.m_strId),
                             QFile::decodeName(set.m_strFolder.c_str()),
                             QString::fromStdString(set.m_strReason));
    if (!text.isEmpty())
        ShowInformation(this, QStringLiteral("다음 역본은 읽을 수 없어 건너뜁니다.") + text);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (!m_bFirstPainted && event->type() == QEvent::Paint && m_pView &&
        watched == m_pView->TextViewport() && windowHandle() && windowHandle()->isExposed()) {
        // The database and the companions wait until the first text is painted and the
        // window's flush after it is done: a large database's check and backup, and opening
        // other sets, must not hold back the first text.
        m_bFirstPainted = true;
        QTimer::singleShot(0, this, [this] {
            QTimer::singleShot(0, this, [this] {
                OpenStudyDb();
                if (m_bCompanionsPending) {
                    m_bCompanionsPending = false;
                    ShowCompanions();
                    ReportSkippedSets();
                }
            });
        });
    }
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button == Qt::BackButton || button == Qt::ForwardButton) {
            (button == Qt::BackButton ? m_actBack : m_actForward)->trigger();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SaveState();
    QMainWindow::closeEvent(event);
}

tavrin::CStudyDb* CMainFrame::StudyDb() const {
    return m_pStudyDb && m_pStudyDb->IsOpen() ? m_pStudyDb.get() : nullptr;
}

void CMainFrame::OpenStudyDb() {
    // The checks read the whole file: on a thread of their own, so the window keeps answering.
    m_studyOpener = std::thread([this] {
        const std::string path =
            tavrin::StudyDatabasePath([](const char* name) { return std::getenv(name); });
        auto db = std::make_shared<tavrin::CStudyDb>();
        const std::time_t now = std::time(nullptr);
        const tavrin::SStudyOpen opened =
            path.empty() ? tavrin::SStudyOpen{} : tavrin::OpenStudyDatabase(*db, path, now);
        // A backup that fails costs nothing now; tomorrow's start tries again.
        if (db->IsOpen())
            tavrin::DailyBackup(*db, tavrin::StudyBackupFolder(path), now);
        QMetaObject::invokeMethod(
            this, [this, db, opened, path] { StudyDbReady(db, opened, path); },
            Qt::QueuedConnection);
    });
}

void CMainFrame::StudyDbReady(const std::shared_ptr<tavrin::CStudyDb>& db,
                              const tavrin::SStudyOpen& opened, const std::string& path) {
    m_studyOpener.join();
    m_strStudyProblem = QString::fromStdString(tavrin::StudyUnavailableMessage(opened, path));
    if (db->IsOpen())
        m_pStudyDb = db;
    const std::string problem = tavrin::StudyOpenMessage(opened, path);
    if (!problem.empty())
        ShowInformation(this, QString::fromStdString(problem));
    if (m_pStudyDb)
        emit studyDbOpened();
}

bool CMainFrame::LoadSettings(COLORITEM* items) {
    return LoadSettingsFile(SettingsFilePath(), items);
}

bool CMainFrame::SaveSettings(COLORITEM* items) {
    return SaveSettingsFile(SettingsFilePath(), items);
}

// MainFrame.h - the main window: menu, tool bar and keys with their actions,
// the two text fonts, the display settings' load and save, the state file.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "DisplaySettings.h"
#include "FormHost.h"
#include "ReaderState.h"

class CSetChooser;
namespace tavrin {
class CStudyDb;
struct SStudyOpen;
}  // namespace tavrin
class CPlanPanel;
class CStudyCommands;
class CStudyDock;
class CTavrinView;
class QAction;
class QDockWidget;
class QMenu;
class QToolBar;

// 1 while CreateFonts' two fonts are in force, 0 after DeleteFonts.
extern int g_bFontsCreated;

class CMainFrame : public QMainWindow, public CFormHost {
    Q_OBJECT

public:
    // Loads the display settings (writing the defaults when there is no usable
    // file), then builds the window with the navigator form in it. The form
    // reads its stores from storeFolder, or when it is empty from the first
    // complete set it finds.
    explicit CMainFrame(const QString& storeFolder = QString());
    ~CMainFrame() override;

    QFont m_fontMain;     // navigator text pane
    QFont m_fontChapter;  // chapter reader text

    // (Re)creates both fonts from g_strFontFace and the two sizes.
    void CreateFonts() override;
    // Drops both fonts (back to the default font) and clears g_bFontsCreated.
    void DeleteFonts();
    const QFont& MainFont() const override { return m_fontMain; }
    const QFont& ChapterFont() const override { return m_fontChapter; }
    // Reads the settings file into items and the globals; false (nothing
    // changed) when there is no file, it is empty or it is not valid.
    bool LoadSettings(COLORITEM* items);
    // Writes items and the globals to the settings file; false when it failed.
    bool SaveSettings(COLORITEM* items) override;

    CTavrinView* View() const { return m_pView; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    // The commands no window carries out (the About box, a new document,
    // opening a file), for the application to connect.
    QAction* AboutAction() const { return m_actAbout; }
    QAction* NewAction() const { return m_actNew; }
    QAction* OpenAction() const { return m_actOpen; }
    // "통독": the reading plans panel, built (hidden) on first use; 보기's item or its
    // button shows it.
    CPlanPanel* PlanPanel();

    // Reads the state file (ReaderStateFilePath) and puts the window where
    // it was, the form on the main set chosen (a set gone since: the
    // default) and on the passage it showed when that is still in the store
    // set (otherwise the form stays as its first showing left it); then
    // starts the form's history with the one kept. The companions open, and
    // the sets the library skipped are named once, after the first text is
    // shown.
    // Call after the form's first showing, before the window is shown.
    void RestoreState();
    // Writes the navigator's passage (the one read from the file when the
    // form shows none), the history, the citation format, this window's
    // place and the chapter reader's last place to the state file; false when it could not be
    // written.
    bool SaveState();
    std::optional<tavrin::SWindowPlace> ChapterPlace() const override {
        return m_state.m_chapterPlace;
    }
    void KeepChapterPlace(const tavrin::SWindowPlace& place) override;
    bool ChapterParagraphs() const override { return m_state.m_bChapterParagraphs; }
    // Keeps the reader's layout, checks 보기's item to match and writes the
    // state file when it changed.
    void KeepChapterParagraphs(bool paragraphs) override;
    // "tavrin-state.ini" in the user's configuration folder (the folder is created).
    static QString ReaderStateFilePath();

    // The reader's marks and notes, opened once after the window's first paint (so the first
    // text is not kept waiting); nullptr before, and for good when it could not be opened.
    tavrin::CStudyDb* StudyDb() const;
    CStudyCommands* StudyCommands() const override { return m_pStudy; }
    // The "내 노트" panel, built (hidden) on first use.
    CStudyDock* StudyDock();
    // File › "내보내기..." and "가져오기...": the study items to or from a file the user picks.
    void OnStudyExport();
    void OnStudyImport();

signals:
    // The database is open: StudyDb() is usable from now on.
    void studyDbOpened();

protected:
    // The state is saved whenever the window closes, "종료" included.
    void closeEvent(QCloseEvent* event) override;
    // The mouse's back and forward buttons pressed over this window; the first paint
    // while shown schedules the study database's opening.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnCreate();
    // The form follows the sets chosen in the "역본" menu.
    void OnSetsChosen(bool mainChanged);
    void ShowCompanions();
    void ReportSkippedSets();
    void SetShellTitleText();
    // Opens the study database with its checks and makes the day's backup on a thread; then,
    // back on this one, keeps it and tells the user once what went wrong, if anything.
    void OpenStudyDb();
    void StudyDbReady(const std::shared_ptr<tavrin::CStudyDb>& db, const tavrin::SStudyOpen& opened,
                      const std::string& path);
    void CreateStudyCommands(QMenu* file, QMenu* edit, QAction* exit);
    // A checkable 보기 entry that builds its dock on first use and shows or hides it.
    QAction* DockAction(const char* name, const QString& text,
                        const std::function<QDockWidget*()>& dock);
    void KeepChecked(QDockWidget* dock, const char* actionName);
    // Widens the window so that dock, about to be shown, leaves the form its first width.
    void MakeRoomFor(QDockWidget* dock);
    // The reader showed a chapter to its last verse: the 통독 option marks it read.
    void OnChapterShownToEnd(tavrin::Testament testament, const QString& chapter);

    CTavrinView* m_pView = nullptr;
    CPlanPanel* m_pPlanPanel = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QAction* m_actAbout = nullptr;
    QAction* m_actNew = nullptr;
    QAction* m_actOpen = nullptr;
    QAction* m_actBack = nullptr;
    QAction* m_actForward = nullptr;
    QMenu* m_menuView = nullptr;
    QAction* m_actChapterParagraphs = nullptr;  // 보기's item for the reader's layout
    tavrin::SReaderState m_state;               // as read at start-up, updated by each save
    std::shared_ptr<tavrin::CStudyDb> m_pStudyDb;
    std::thread m_studyOpener;             // opens and checks the database once
    CSetChooser* m_pSetChooser = nullptr;  // the "역본" menu and drop-down
    bool m_bFirstPainted = false;          // the first text has been painted
    bool m_bCompanionsPending = false;     // RestoreState's companions wait for that
    // Why there is no database ("" while it is open or not yet tried), in Korean, for the
    // marking commands to report.
    QString m_strStudyProblem;
    CStudyCommands* m_pStudy = nullptr;
    CStudyDock* m_pStudyDock = nullptr;
};

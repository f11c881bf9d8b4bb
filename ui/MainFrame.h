// MainFrame.h - the main window: menu, tool bar, accelerators, the two text
// fonts, the display settings' load and save, and command routing.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <QString>

#include <map>
#include <optional>

#include "CmdTarget.h"
#include "DisplaySettings.h"
#include "ReaderState.h"

class CTavrinDoc;
class CTavrinView;
class QAction;
class QToolBar;

// 1 while CreateFonts' two fonts are in force, 0 after DeleteFonts.
extern int g_bFontsCreated;

class CMainFrame : public QMainWindow, public CCmdTarget {
    Q_OBJECT

public:
    // Loads the display settings (writing the defaults when there is no usable
    // file), then builds the window with the navigator form in it. The form
    // reads its stores from storeFolder, or when it is empty from the first
    // folder FindStoreFolder finds. doc is not owned and must outlive the frame.
    explicit CMainFrame(CTavrinDoc* doc, const QString& storeFolder = QString());
    ~CMainFrame() override;

    // The application's main window, or null when there is none.
    static CMainFrame* Instance();

    QFont m_fontMain;     // navigator text pane
    QFont m_fontChapter;  // chapter reader text

    // (Re)creates both fonts from g_strFontFace and the two sizes.
    void CreateFonts();
    // Drops both fonts (back to the default font) and clears g_bFontsCreated.
    void DeleteFonts();
    // Reads the settings file into items and the globals; false (nothing
    // changed) when there is no file, it is empty or it is not valid.
    bool LoadSettings(COLORITEM* items);
    // Writes items and the globals to the settings file; false when it failed.
    bool SaveSettings(COLORITEM* items);

    CTavrinView* View() const { return m_pView; }
    CTavrinDoc* Document() const { return m_pDoc; }
    // The action of a menu, tool bar or accelerator command, or null.
    QAction* Action(int id) const;
    QToolBar* ToolBar() const { return m_pToolBar; }

    // Routes a command view -> document -> frame -> application; true when handled.
    bool OnCommand(int id);
    bool OnCmdMsg(int id) override;

    // Reads the state file (ReaderStateFilePath) and puts the window where
    // it was, and the form on the passage it showed when that is still in
    // the store set; otherwise the form stays as its first showing left it.
    // Call after the form's first showing, before the window is shown.
    void RestoreState();
    // Writes the form's passage (the one read from the file when the form
    // shows none), this window's place and the chapter reader's last place
    // to the state file; false when it could not be written.
    bool SaveState();
    // Where the chapter reader last stood, if it was ever placed.
    std::optional<tavrin::SWindowPlace> ChapterPlace() const { return m_state.m_chapterPlace; }
    void SetChapterPlace(const tavrin::SWindowPlace& place) { m_state.m_chapterPlace = place; }
    // "tavrin-state.ini" in the user's configuration folder (the folder is created).
    static QString ReaderStateFilePath();

protected:
    // The state is saved whenever the window closes, "종료" included.
    void closeEvent(QCloseEvent* event) override;

private:
    void OnCreate();
    void SetShellTitleText();
    QAction* AddCommand(int id, const QString& text);

    CTavrinDoc* m_pDoc;
    CTavrinView* m_pView = nullptr;
    QToolBar* m_pToolBar = nullptr;
    std::map<int, QAction*> m_mapActions;
    tavrin::SReaderState m_state;  // as read at start-up, updated by each save
};

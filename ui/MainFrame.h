// MainFrame.h - the main window: menu, tool bar, accelerators, the two text
// fonts, the display settings' load and save, and command routing.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <QString>

#include <map>

#include "CmdTarget.h"
#include "DisplaySettings.h"

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

private:
    void OnCreate();
    void SetShellTitleText();
    QAction* AddCommand(int id, const QString& text);

    CTavrinDoc* m_pDoc;
    CTavrinView* m_pView = nullptr;
    QToolBar* m_pToolBar = nullptr;
    std::map<int, QAction*> m_mapActions;
};

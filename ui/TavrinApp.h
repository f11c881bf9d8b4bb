// TavrinApp.h - the application object: start-up, the document, the main
// window, and the commands no window takes (About, New, Open, Exit).
#pragma once

#include <QApplication>
#include <QString>

#include <memory>

#include "CmdTarget.h"

class CMainFrame;
class CTavrinDoc;

class CTavrinApp : public QApplication, public CCmdTarget {
    Q_OBJECT

public:
    // Sets the application's names (they place the settings file) and its
    // font, Tahoma 9 pt, with a Hangul face standing in where Tahoma is missing.
    CTavrinApp(int& argc, char** argv);
    ~CTavrinApp() override;

    // The running application object, or null.
    static CTavrinApp* Instance();

    // Creates the document and the main frame, runs the navigator form's first
    // showing, restores the place and passage of the last run (see
    // CMainFrame::RestoreState) and shows the window. The stores are read from
    // storeFolder, or from FindStoreFolder's first set when it is empty (the
    // program passes nothing). False when the window could not be made.
    bool InitInstance(const QString& storeFolder = QString());
    // Destroys the main frame and the document (stores closed, fonts released).
    void ExitInstance();

    CMainFrame* MainFrame() const { return m_pMainWnd; }
    CTavrinDoc* Document() const { return m_pDoc.get(); }

    bool OnCmdMsg(int id) override;
    // Runs the About box modally.
    void OnAppAbout();
    // Re-initialises the document; the form runs its first showing again.
    void OnFileNew();
    // Asks for a file; for a chosen one, the same as OnFileNew.
    void OnFileOpen();

private:
    std::unique_ptr<CTavrinDoc> m_pDoc;
    CMainFrame* m_pMainWnd = nullptr;
};

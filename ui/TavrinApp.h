// TavrinApp.h - the application object: start-up, Qt's Korean texts, the main
// window, and the commands no window takes (About, New, Open).
#pragma once

#include <QApplication>
#include <QString>

class CMainFrame;

class CTavrinApp : public QApplication {
    Q_OBJECT

public:
    // Sets the application's names (they place the settings file), its font,
    // Tahoma 9 pt, with a Hangul face standing in where Tahoma is missing, and
    // Qt's own Korean texts (qtbase_ko) for its dialogs' buttons, when installed.
    CTavrinApp(int& argc, char** argv);
    ~CTavrinApp() override;

    // Creates the main frame, runs the navigator form's first showing,
    // restores the place and passage of the last run (see
    // CMainFrame::RestoreState) and shows the window. The stores are read from
    // storeFolder, or from the library's default set when it is empty (the program passes nothing).
    // False when the window could not be made.
    bool InitInstance(const QString& storeFolder = QString());
    // Destroys the main frame (stores closed, fonts released).
    void DestroyMainWindow();

    CMainFrame* MainFrame() const { return m_pMainWnd; }

    // Runs the About box modally.
    void OnAppAbout();
    // A new document: the form runs its first showing again.
    void OnFileNew();
    // Asks for a file; for a chosen one, the same as OnFileNew.
    void OnFileOpen();

private:
    CMainFrame* m_pMainWnd = nullptr;
};

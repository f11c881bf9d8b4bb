// startup_probe.cpp - tavrin-startup [STORE-DIR]: the tavrin program's own start-up
// (the same application object and InitInstance as its main) that ends at the
// first text shown, so a timer around the process measures start-up to it.
#include <QString>

#include "FirstPaint.h"
#include "MainFrame.h"
#include "PopupEdit.h"
#include "TavrinApp.h"
#include "TavrinView.h"

int main(int argc, char** argv) {
    CTavrinApp app(argc, argv);
    // The program reads the set beside itself; the probe lives elsewhere.
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (!app.InitInstance(folder)) {
        return 1;
    }
    ExitAtFirstPaint(
        app.MainFrame()->View()->findChild<QPlainTextEdit*>(QStringLiteral("IDC_EDIT_TEXT")));
    return app.exec();
}

// TavrinApp.cpp - start-up, shutdown and the application's commands.
#include "TavrinApp.h"

#include <QAction>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

#include "AboutDlg.h"
#include "CompanionPane.h"
#include "MainFrame.h"
#include "TavrinView.h"

namespace {
// Faces with Hangul glyphs, most preferred first, for a missing "Tahoma".
const QStringList kHangulFaces = {
    QStringLiteral("Noto Sans CJK KR"), QStringLiteral("Noto Sans KR"),
    QStringLiteral("NanumGothic"),      QStringLiteral("UnDotum"),
    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans CJK SC")};
}  // namespace

CTavrinApp::CTavrinApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("tavrin"));
    setApplicationDisplayName(QString());
    setDesktopFileName(QStringLiteral("tavrin"));
    // Tahoma is the face of the forms and the default text face; on a system
    // without it, a Korean face must stand in, or Hangul would fall to
    // whatever font fontconfig picks first.
    const QStringList families = QFontDatabase::families();
    if (!families.contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive)) {
        QStringList present;
        for (const QString& face : kHangulFaces) {
            if (families.contains(face, Qt::CaseInsensitive)) {
                present << face;
            }
        }
        if (!present.isEmpty()) {
            QFont::insertSubstitutions(QStringLiteral("Tahoma"), present);
        }
    }
    setFont(QFont(QStringLiteral("Tahoma"), 9));
    // The program speaks Korean, and so do the buttons of Qt's own dialogs.
    auto* translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_ko"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    // A session that ends does not close the window first.
    connect(this, &QGuiApplication::commitDataRequest, this, [this] {
        if (m_pMainWnd)
            m_pMainWnd->SaveState();
    });
}

CTavrinApp::~CTavrinApp() {
    DestroyMainWindow();
}

bool CTavrinApp::InitInstance(const QString& storeFolder) {
    DestroyMainWindow();
    m_pMainWnd = new CMainFrame(storeFolder);
    m_pMainWnd->setAttribute(Qt::WA_DeleteOnClose, false);
    connect(m_pMainWnd->AboutAction(), &QAction::triggered, this, &CTavrinApp::OnAppAbout);
    connect(m_pMainWnd->NewAction(), &QAction::triggered, this, &CTavrinApp::OnFileNew);
    connect(m_pMainWnd->OpenAction(), &QAction::triggered, this, &CTavrinApp::OnFileOpen);
    m_pMainWnd->View()->OnInitialUpdate();
    m_pMainWnd->RestoreState();
    m_pMainWnd->show();
    // Laid out only now: the chosen reference can be scrolled into view.
    m_pMainWnd->View()->ShowSelectedReference();
    m_pMainWnd->repaint();
    return true;
}

void CTavrinApp::DestroyMainWindow() {
    delete m_pMainWnd;
    m_pMainWnd = nullptr;
}

void CTavrinApp::OnAppAbout() {
    CAboutDlg dlg(m_pMainWnd);
    if (m_pMainWnd && m_pMainWnd->View()) {
        // The main set's description, the companions' below it.
        const CTavrinView* view = m_pMainWnd->View();
        QStringList lines{QString::fromStdU16String(view->Navigator().Stores().ReadDescription())};
        for (const std::u16string& d : view->Companions()->Descriptions())
            lines << QString::fromStdU16String(d);
        lines.removeAll(QString());
        dlg.SetDescription(lines.join(u'\n'));
    }
    dlg.exec();
}

void CTavrinApp::OnFileNew() {
    if (m_pMainWnd)
        m_pMainWnd->View()->OnInitialUpdate();
}

void CTavrinApp::OnFileOpen() {
    // Nothing is read from the file: choosing one only starts a fresh document.
    const QString file = QFileDialog::getOpenFileName(m_pMainWnd);
    if (!file.isEmpty()) {
        OnFileNew();
    }
}

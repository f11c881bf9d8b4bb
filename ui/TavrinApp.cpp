// TavrinApp.cpp - start-up, shutdown and the application's commands.
#include "TavrinApp.h"

#include <QFileDialog>
#include <QFontDatabase>

#include "AboutDlg.h"
#include "CommandIds.h"
#include "MainFrame.h"
#include "TavrinDoc.h"
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
    // A session that ends does not close the window first.
    connect(this, &QGuiApplication::commitDataRequest, this, [this] {
        if (m_pMainWnd)
            m_pMainWnd->SaveState();
    });
}

CTavrinApp::~CTavrinApp() {
    ExitInstance();
}

CTavrinApp* CTavrinApp::Instance() {
    return qobject_cast<CTavrinApp*>(QCoreApplication::instance());
}

bool CTavrinApp::InitInstance(const QString& storeFolder) {
    ExitInstance();
    m_pDoc = std::make_unique<CTavrinDoc>();
    if (!m_pDoc->OnNewDocument()) {
        return false;
    }
    m_pMainWnd = new CMainFrame(m_pDoc.get(), storeFolder);
    m_pMainWnd->setAttribute(Qt::WA_DeleteOnClose, false);
    m_pMainWnd->View()->OnInitialUpdate();
    m_pMainWnd->RestoreState();
    m_pMainWnd->show();
    // Laid out only now: the chosen reference can be scrolled into view.
    m_pMainWnd->View()->ShowSelectedReference();
    m_pMainWnd->repaint();
    return true;
}

void CTavrinApp::ExitInstance() {
    delete m_pMainWnd;
    m_pMainWnd = nullptr;
    m_pDoc.reset();
}

bool CTavrinApp::OnCmdMsg(int id) {
    switch (id) {
        case ID_APP_ABOUT:
            OnAppAbout();
            return true;
        case ID_FILE_NEW:
            OnFileNew();
            return true;
        case ID_FILE_OPEN:
            OnFileOpen();
            return true;
        case ID_APP_EXIT:
            if (m_pMainWnd) {
                m_pMainWnd->close();
            }
            return true;
        default:
            return false;
    }
}

void CTavrinApp::OnAppAbout() {
    CAboutDlg dlg(m_pMainWnd);
    if (m_pMainWnd && m_pMainWnd->View())
        dlg.SetDescription(
            QString::fromStdU16String(m_pMainWnd->View()->Navigator().Stores().ReadDescription()));
    dlg.exec();
}

void CTavrinApp::OnFileNew() {
    if (m_pDoc && m_pMainWnd && m_pDoc->OnNewDocument()) {
        m_pMainWnd->View()->OnInitialUpdate();
    }
}

void CTavrinApp::OnFileOpen() {
    // The document reads nothing: a chosen file only starts a fresh document.
    const QString file = QFileDialog::getOpenFileName(m_pMainWnd);
    if (!file.isEmpty()) {
        OnFileNew();
    }
}

// ReaderHarness.h - the reader program started offscreen on a store set of the
// test's making, with a private home: its windows, keys and modal dialogs.
#pragma once

#include <QComboBox>
#include <QDir>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "ChapterListBox.h"
#include "MainFrame.h"
#include "Messages.h"
#include "PopupEdit.h"
#include "StoreFixture.h"
#include "TavrinApp.h"
#include "TavrinView.h"

class CReaderHarness : public QObject {
protected:
    CMainFrame* Frame() { return CTavrinApp::Instance()->MainFrame(); }
    CTavrinView* View() { return Frame()->View(); }
    template <typename T = QWidget>
    T* Find(const char* name) {
        return View()->findChild<T*>(name);
    }
    CChapterListBox* List() { return Find<CChapterListBox>("IDC_LIST_REF"); }
    CPopupEdit* Edit() { return Find<CPopupEdit>("IDC_EDIT_TEXT"); }
    QComboBox* Books() { return Find<QComboBox>("IDC_COMBO_BOOK"); }

    void Reset() {  // no settings, state or notes file; messages recorded
        for (auto place : {QStandardPaths::AppConfigLocation, QStandardPaths::DocumentsLocation})
            QDir(QStandardPaths::writableLocation(place)).removeRecursively();
        ResetDisplaySettings(g_colorItems);
        m_arrMessages.clear();
        SetMessageSinkForTesting([this](const QString& m) { m_arrMessages << m; });
    }
    void Start(const std::function<void(tavrin::test::CStoreFixture&)>& fill) {  // a new set
        m_pFixture = std::make_unique<tavrin::test::CStoreFixture>();
        fill(*m_pFixture);
        m_pFixture->Build();
        Restart();
    }
    void Restart() {
        QVERIFY(CTavrinApp::Instance()->InitInstance(QString::fromStdString(m_pFixture->Folder())));
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }
    void CtrlKey(Qt::Key key) {
        Frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
        QTest::keyClick(Frame(), key, Qt::ControlModifier);
    }
    // Runs act, which opens a modal dialog, and meanwhile then on that dialog (closed after).
    template <typename T>
    void OnModal(const std::function<void()>& act, const std::function<void(T*)>& then) {
        bool ran = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!dlg || !dlg->isVisible() || ran)
                return;
            then((ran = true, dlg));
            if (dlg->isVisible())
                dlg->reject();
        });
        poll.start(20);
        act();
        QVERIFY(ran);
    }

    std::unique_ptr<tavrin::test::CStoreFixture> m_pFixture;
    QStringList m_arrMessages;
};

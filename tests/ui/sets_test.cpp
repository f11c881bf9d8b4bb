// sets_test.cpp - the "역본" menu driven offscreen: companions in the pane, a switch of the main
// set, a damaged companion, a set skipped at start-up.
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <filesystem>

#include "CodePage.h"
#include "CompanionPane.h"
#include "MainFrame.h"
#include "Messages.h"
#include "PopupEdit.h"
#include "SetInfo.h"
#include "StoreFixture.h"
#include "TavrinApp.h"
#include "TavrinView.h"

class CSetsTest : public QObject {
    Q_OBJECT

    static CTavrinApp* App() { return static_cast<CTavrinApp*>(QCoreApplication::instance()); }
    static QAction* Act(const QString& name) {
        return App()->MainFrame()->findChild<QAction*>(name);
    }
    // A set with 요3: 16 reading text, named name, copied into folder.
    static void Put(const std::string& folder, std::u16string name, std::u16string_view text) {
        tavrin::test::CStoreFixture fx;
        fx.AddSampleSet();
        fx.AddBook(tavrin::Testament::New, u"요한복음", {{u"요3: 16", std::u16string(text)}});
        fx.PutText(tavrin::kKeyOldFile, std::string(tavrin::kShortNameKey),
                   tavrin::EncodeAnsi(name));
        fx.Build();
        fx.CopyTo(folder);
    }

private slots:
    void companionsAndMainFromTheMenu() {
        QStringList messages;
        SetMessageSinkForTesting([&messages](const QString& m) { messages << m; });
        tavrin::test::CStoreFixture root;
        const std::string main = root.Folder();
        Put(main, u"개역한글", u"하나님이 세상을");
        Put(main + "kjv", u"KJV", u"For God so loved");
        Put(main + "web", u"WEB", u"For God so loved the world");
        Put(main + "bad", u"BAD", u"-");
        std::filesystem::resize_file(main + "bad/" + tavrin::kDatNewFile, 100);
        QVERIFY(App()->InitInstance(QString::fromStdString(main)));
        CTavrinView* view = App()->MainFrame()->View();
        auto* text = view->findChild<CPopupEdit*>("IDC_EDIT_TEXT");
        auto* combo = App()->MainFrame()->findChild<QComboBox*>("IDC_COMBO_SET");
        // The skipped set is named once, after the first text.
        QTRY_COMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains("bad ("));
        QCOMPARE(combo->currentText(), "개역한글");
        QVERIFY(view->Companions()->isHidden());
        QCOMPARE(view->GoTo("요3:16"), "");

        Act("ID_SET_COMPANION_kjv")->trigger();
        QVERIFY(!view->Companions()->isHidden());
        QCOMPARE(view->Companions()->toPlainText(), "KJV For God so loved");
        QCOMPARE(text->toPlainText(), "하나님이 세상을");
        QVERIFY(!Act("ID_SET_COMPANION_main")->isEnabled());
        // Damaged after the library looked: named unreadable, the main text unharmed.
        std::filesystem::resize_file(main + "web/" + tavrin::kDatNewFile, 100);
        Act("ID_SET_COMPANION_web")->trigger();
        QCOMPARE(view->Companions()->toPlainText(), "KJV For God so loved\nWEB 읽을 수 없습니다");
        const QTextDocument* doc = view->Companions()->document();  // the sets' texts apart
        QVERIFY(doc->size().height() >=
                2.5 * view->Companions()->fontMetrics().lineSpacing() + 2 * doc->documentMargin());
        QCOMPARE(text->toPlainText(), "하나님이 세상을");

        // KJV as the main text: the passage kept, dropped as a companion.
        Act("ID_SET_MAIN_kjv")->trigger();
        QCOMPARE(text->toPlainText(), "For God so loved");
        QCOMPARE(view->SelectedReference(), "요3: 16");
        QCOMPARE(combo->currentText(), "KJV");
        QCOMPARE(view->Companions()->toPlainText(), "WEB 읽을 수 없습니다");
        // A search of another set moves the form by the result's name.
        QVERIFY(view->GoTo("마1:1").isEmpty());
        Act("ID_EDIT_FIND")->trigger();
        auto* search = App()->MainFrame()->findChild<QDialog*>("IDD_SEARCH");
        auto* sets = search->findChild<QComboBox*>("IDC_COMBO_SEARCH_SET");
        QCOMPARE(sets->itemText(0) + sets->itemText(1), "KJV개역한글");
        sets->setCurrentIndex(1);
        search->findChild<QLineEdit*>("IDC_EDIT_QUERY")->setText("하나님이");
        auto* results = search->findChild<QListView*>("IDC_LIST_RESULTS");
        QCOMPARE(results->model()->rowCount(), 1);
        results->setCurrentIndex(results->model()->index(0, 0));
        QCOMPARE(text->toPlainText(), "For God so loved");
        Act("ID_SET_COMPANION_web")->trigger();
        QVERIFY(view->Companions()->isHidden());
        QCOMPARE(messages.size(), 1);
        App()->DestroyMainWindow();
    }
};

int main(int argc, char** argv) {
    CTavrinApp app(argc, argv);
    CSetsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "sets_test.moc"

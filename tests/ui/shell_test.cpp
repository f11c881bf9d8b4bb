// shell_test.cpp - the reader program's start-up, panes, copy, notes, settings
// and menus, driven through its windows on the offscreen platform.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>
#include <tuple>

#include "AboutDlg.h"
#include "ChapterListBox.h"
#include "CodePage.h"
#include "CommandIds.h"
#include "DisplaySettings.h"
#include "MainFrame.h"
#include "Messages.h"
#include "Notes.h"
#include "Palette.h"
#include "PopupEdit.h"
#include "StoreFixture.h"
#include "TavrinApp.h"
#include "TavrinView.h"

using tavrin::Testament;
using tavrin::test::CStoreFixture;

namespace {
// The rows of a combo box's or a list's model, in order.
QStringList Items(const QAbstractItemModel* model) {
    QStringList out;
    for (int i = 0; i < model->rowCount(); ++i) out << model->index(i, 0).data().toString();
    return out;
}
QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
// A right press, the context menu it raises, and the release.
void RightClick(QWidget* w, const QPoint& p) {
    QTest::mousePress(w, Qt::RightButton, {}, p);
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, w->mapToGlobal(p));
    QApplication::sendEvent(w, &event);
    QTest::mouseRelease(w, Qt::RightButton, {}, p);
}
}  // namespace

class CShellTest : public QObject {
    Q_OBJECT

private:
    CTavrinApp* App() { return CTavrinApp::Instance(); }
    CTavrinView* View() { return App()->MainFrame()->View(); }
    // Starts the program on the sample set, or on the books add puts in.
    void Start(const std::function<void(CStoreFixture&)>& add = {}) {
        m_pFixture = std::make_unique<CStoreFixture>();
        add ? add(*m_pFixture) : m_pFixture->AddSampleSet();
        m_pFixture->Build();
        QVERIFY(App()->InitInstance(QString::fromStdString(m_pFixture->Folder())));
    }
    // The About box's title and description ("(hidden)" when not shown) as the action opens it.
    QStringList AboutTitleAndDescription(QAction* about) {
        QStringList shown;
        QTimer::singleShot(300, this, [&shown] {
            if (auto* dlg = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget())) {
                auto* label = dlg->findChild<QLabel*>("IDC_STATIC_DESCRIPTION");
                shown << dlg->windowTitle()
                      << (label && label->isVisibleTo(dlg) ? label->text() : "(hidden)");
                dlg->accept();
            }
        });
        about->trigger();
        return shown;
    }
    // Records in m_arrLabels the pop-up menu the next action opens ("(off)"
    // marks a greyed entry), then closes it.
    void RecordNextPopup() {
        m_arrLabels.clear();
        QTimer::singleShot(900, this, [this] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* a : menu->actions())
                m_arrLabels << a->text() + (a->isEnabled() ? "" : " (off)");
            menu->close();
        });
    }

    std::unique_ptr<CStoreFixture> m_pFixture;
    QStringList m_arrMessages;
    QStringList m_arrLabels;

private slots:
    void init() {
        for (auto place : {QStandardPaths::AppConfigLocation, QStandardPaths::DocumentsLocation})
            QDir(QStandardPaths::writableLocation(place)).removeRecursively();
        ResetDisplaySettings(g_colorItems);
        m_arrMessages.clear();
        SetMessageSinkForTesting([this](const QString& m) { m_arrMessages << m; });
        QApplication::clipboard()->setText(QStringLiteral("before"));
    }
    void cleanup() { App()->ExitInstance(); }

    void startsInNewTestamentWithAbout() {
        Start();
        CTavrinView* v = View();
        QVERIFY(v->findChild<QRadioButton*>("IDC_RADIO_NEW")->isChecked() &&
                !v->findChild<QRadioButton*>("IDC_RADIO_OLD")->isChecked());
        QCOMPARE(Items(v->findChild<QComboBox*>("IDC_COMBO_BOOK")->model()),
                 QStringList({"마태복음", "요한계시록"}));
        QCOMPARE(v->CurrentBookName(), QString("마태복음"));
        QCOMPARE(Items(v->findChild<CChapterListBox*>("IDC_LIST_REF")->model()),
                 QStringList({"마1: 1", "마1: 2", "마2: 1"}));
        QCOMPARE(v->SelectedReference(), QString("마1: 1"));
        QCOMPARE(v->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->toPlainText(), QString("마1: 1 말씀"));
        QVERIFY(QTest::qWaitForWindowActive(App()->MainFrame()));
        QCOMPARE(QApplication::focusWidget(), v->findChild<CChapterListBox*>("IDC_LIST_REF"));
        QCOMPARE(App()->MainFrame()->windowTitle(), QString("Tavrin"));
        // Colours of the default settings from the first showing on.
        QCOMPARE(v->palette().color(QPalette::Window), ColorOf(0x00CDFAEB));
        QCOMPARE(v->findChild<CChapterListBox*>("IDC_LIST_REF")->palette().color(QPalette::Base),
                 ColorOf(0x00E6F2F0));
        QCOMPARE(v->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->palette().color(QPalette::Base),
                 ColorOf(0x00E1EDFC));
        // Pop-up commands without a meaning do nothing, even with a range saved.
        delete v->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->CreatePopupMenu(0u | (3u << 16));
        for (int id : {10000, 10005, 10050, 10100}) QVERIFY(App()->MainFrame()->OnCommand(id));
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
        QVERIFY(m_arrMessages.isEmpty());
        QVERIFY(!QFile::exists(CTavrinView::NotesFilePath()));
        QCOMPARE(v->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->toPlainText(), QString("마1: 1 말씀"));
        // About opens from the tool bar's button as from the menu.
        QAction* about = App()->MainFrame()->Action(ID_APP_ABOUT);
        QVERIFY(App()->MainFrame()->ToolBar()->actions().contains(about));
        QCOMPARE(AboutTitleAndDescription(about), QStringList({"About Tavrin", "(hidden)"}));
    }

    // A set that carries a description shows it under the version; one built
    // elsewhere (above) shows nothing more.
    void aboutShowsTheSetsDescription() {
        Start([](CStoreFixture& fx) {
            fx.AddSampleSet();
            fx.PutText(tavrin::kKeyOldFile, std::string(tavrin::kDescriptionKey),
                       tavrin::EncodeAnsi(u"성경전서 개역한글판 (1961) · 대한성서공회"));
        });
        QCOMPARE(AboutTitleAndDescription(App()->MainFrame()->Action(ID_APP_ABOUT)),
                 QStringList({"About Tavrin", "성경전서 개역한글판 (1961) · 대한성서공회"}));
    }

    void missingStoreLeavesPanesEmpty() {
        Start([](CStoreFixture& fx) {
            fx.AddSampleSet();
            fx.Omit(tavrin::kKeyOldFile);
        });
        CTavrinView* v = View();
        QCOMPARE(m_arrMessages, QStringList({QString::fromStdU16String(
                                    std::u16string(tavrin::kMissingStoresMessage))}));
        QVERIFY(v->findChild<QRadioButton*>("IDC_RADIO_NEW")->isChecked());
        QCOMPARE(v->findChild<QComboBox*>("IDC_COMBO_BOOK")->count(), 0);
        QCOMPARE(v->findChild<CChapterListBox*>("IDC_LIST_REF")->count(), 0);
        QVERIFY(v->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->toPlainText().isEmpty());
        QCOMPARE(v->SelectedReference(), QString());
    }

    void cascadeFollowsTheUsersChoices() {
        Start();
        CTavrinView* v = View();
        QTest::mouseClick(v->findChild<QRadioButton*>("IDC_RADIO_OLD"), Qt::LeftButton);
        QCOMPARE(Items(v->findChild<QComboBox*>("IDC_COMBO_BOOK")->model()),
                 QStringList({"창세기", "출애굽기"}));
        QCOMPARE(v->findChild<CChapterListBox*>("IDC_LIST_REF")->count(), 5);
        QCOMPARE(v->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->toPlainText(), QString("창1:1 말씀"));
        v->findChild<QComboBox*>("IDC_COMBO_BOOK")->setCurrentIndex(1);  // as the user's pick
        QCOMPARE(Items(v->findChild<CChapterListBox*>("IDC_LIST_REF")->model()),
                 QStringList({"출1:1"}));
        QCOMPARE(v->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->toPlainText(), QString("출1:1 말씀"));
        QTest::mouseClick(v->findChild<QRadioButton*>("IDC_RADIO_NEW"), Qt::LeftButton);
        QCOMPARE(v->CurrentBookName(), QString("마태복음"));
        QTest::mouseClick(
            v->findChild<CChapterListBox*>("IDC_LIST_REF")->viewport(), Qt::LeftButton, {},
            v->findChild<CChapterListBox*>("IDC_LIST_REF")
                ->visualRect(v->findChild<CChapterListBox*>("IDC_LIST_REF")->model()->index(2, 0))
                .center());
        QCOMPARE(v->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->toPlainText(), QString("마2: 1 말씀"));
        QTest::keyClick(v->findChild<CChapterListBox*>("IDC_LIST_REF"), Qt::Key_Up);
        QCOMPARE(v->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->toPlainText(), QString("마1: 2 말씀"));
        QCOMPARE(v->findChild<CChapterListBox*>("IDC_LIST_REF")->count(), 3);
        // A new document runs the first showing again on the open stores.
        QTest::mouseClick(v->findChild<QRadioButton*>("IDC_RADIO_OLD"), Qt::LeftButton);
        App()->MainFrame()->Action(ID_FILE_NEW)->trigger();
        QVERIFY(v->findChild<QRadioButton*>("IDC_RADIO_NEW")->isChecked() &&
                !v->findChild<QRadioButton*>("IDC_RADIO_OLD")->isChecked());
        QCOMPARE(v->CurrentBookName(), QString("마태복음"));
        QVERIFY(m_arrMessages.isEmpty());
    }

    void recordOrderIsKept() {
        Start([](CStoreFixture& fx) {
            for (const char16_t* book : {u"하박국", u"요한복음", u"마가복음", u"가나"})
                fx.AddBook(Testament::New, book, {{std::u16string(book) + u"1: 1", u"본문"}});
            fx.AddBook(Testament::New, u"다니엘",
                       {{u"다3: 1", u"셋"}, {u"다1: 1", u"하나"}, {u"다2: 1", u"둘"}});
            fx.AddBook(Testament::Old, u"창세기", {{u"창1:1", u"태초"}});
        });
        CTavrinView* v = View();
        QCOMPARE(Items(v->findChild<QComboBox*>("IDC_COMBO_BOOK")->model()),
                 QStringList({"하박국", "요한복음", "마가복음", "가나", "다니엘"}));
        v->findChild<QComboBox*>("IDC_COMBO_BOOK")->setCurrentIndex(4);
        QCOMPARE(Items(v->findChild<CChapterListBox*>("IDC_LIST_REF")->model()),
                 QStringList({"다3: 1", "다1: 1", "다2: 1"}));
        QCOMPARE(v->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->toPlainText(), QString("셋"));
    }

    void textPaneTakesNoTypingAndCopiesByMenu() {
        Start([](CStoreFixture& fx) {
            fx.AddBook(Testament::New, u"책", {{u"책1: 1", u"0123456789abcdefghij"}});
            fx.AddBook(Testament::Old, u"창세기", {{u"창1:1", u"태초"}});
        });
        CMainFrame* frame = App()->MainFrame();
        CPopupEdit* edit = View()->findChild<CPopupEdit*>("IDC_EDIT_TEXT");
        // Before any menu the saved range is empty: copying changes nothing.
        frame->Action(ID_VERSE_COPY)->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
        const QString before = edit->toPlainText();
        edit->setFocus();
        QTest::keyClicks(edit, "abc ");
        QKeyEvent hangul(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("가"));
        QApplication::sendEvent(edit, &hangul);
        for (auto key : {Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Delete})
            QTest::keyClick(edit, key);
        QCOMPARE(edit->toPlainText(), before);
        // Keys below the character level still select and copy.
        QTest::keyClick(edit, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < 3; ++i) QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), before.left(3));
        // A double click selects no word.
        edit->moveCursor(QTextCursor::Start);
        QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {}, QPoint(20, 8));
        QVERIFY(!edit->textCursor().hasSelection());
        for (auto [start, end, copied] :
             {std::tuple{5, 12, "56789ab"}, std::tuple{0, 20, "0123456789abcdefghij"},
              std::tuple{18, 99, "ij"}}) {
            delete edit->CreatePopupMenu(quint32(start) | (quint32(end) << 16));
            edit->moveCursor(QTextCursor::End);  // the visible selection moved on
            QVERIFY(frame->OnCommand(ID_POPUP_COPY));
            QCOMPARE(QApplication::clipboard()->text(), QString(copied));
        }
        edit->moveCursor(QTextCursor::Start);
        QVERIFY(frame->OnCommand(ID_POPUP_COPY_ALL));
        QCOMPARE(QApplication::clipboard()->text(), QString("0123456789abcdefghij"));

        // Hold with nothing selected: "복사" greyed, the rest offered.
        edit->moveCursor(QTextCursor::Start);
        RecordNextPopup();
        QTest::mousePress(edit->viewport(), Qt::LeftButton, {}, QPoint(10, 8));
        QTest::qWait(1300);
        QTest::mouseRelease(edit->viewport(), Qt::LeftButton, {}, QPoint(10, 8));
        QCOMPARE(m_arrLabels, QStringList({"복사 (off)", "전체 복사", "", "파일에 저장"}));

        // Right-click with characters 5-12 selected keeps that range.
        QTextCursor c = edit->textCursor();
        c.setPosition(5);
        c.setPosition(12, QTextCursor::KeepAnchor);
        edit->setTextCursor(c);
        RecordNextPopup();
        RightClick(edit->viewport(), QPoint(30, 8));
        QCOMPARE(m_arrLabels, QStringList({"복사", "전체 복사", "", "파일에 저장"}));
        QCOMPARE(edit->m_dwMenuSel, 5u | (12u << 16));

        // A short click on the reference pane opens no menu.
        CChapterListBox* list = View()->findChild<CChapterListBox*>("IDC_LIST_REF");
        const QPoint p = list->visualRect(list->model()->index(0, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, p);
        QTest::qWait(700);
        QVERIFY(!QApplication::activePopupWidget());
        RecordNextPopup();
        RightClick(list->viewport(), p);
        QCOMPARE(m_arrLabels, QStringList({"'장'  전체 보기"}));
    }

    void notesAreAppendedWithHeaderAndStamp() {
        Start();
        CTavrinView* v = View();
        const QString saved = QString::fromStdU16String(std::u16string(tavrin::kNoteSavedMessage));
        // A folder where the file should be: the save fails and says where.
        const QString path = CTavrinView::NotesFilePath();
        QVERIFY(QDir().mkpath(path));
        App()->MainFrame()->Action(ID_VERSE_SAVE)->trigger();
        QCOMPARE(m_arrMessages.size(), 1);
        QVERIFY(m_arrMessages[0].contains(path) && !m_arrMessages[0].contains("저장되었습니다"));
        QVERIFY(QDir(path).removeRecursively());

        App()->MainFrame()->Action(ID_FILE_SAVE)->trigger();
        QTest::mouseClick(v->findChild<QRadioButton*>("IDC_RADIO_OLD"), Qt::LeftButton);
        v->findChild<CChapterListBox*>("IDC_LIST_REF")
            ->selectionModel()
            ->setCurrentIndex(v->findChild<CChapterListBox*>("IDC_LIST_REF")->model()->index(1, 0),
                              QItemSelectionModel::ClearAndSelect);
        QVERIFY(App()->MainFrame()->OnCommand(ID_POPUP_SAVE));
        QCOMPARE(m_arrMessages.mid(1), QStringList({saved, saved}));

        const QByteArray bytes = ReadAll(path);
        QVERIFY(bytes.startsWith("\xFF\xFE"));
        QCOMPARE(bytes.count("\xFF\xFE"), 1);
        const QString text = QString::fromUtf16(
            reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
        static const QRegularExpression record(
            R"(^\r\n▶ 일시 \d{4}-\d\d-\d\d / \d\d:\d\d:\d\d \r\n신약 - 마태복음 - 마1: 1\r\n마1: 1 말씀\r\n)"
            R"(\r\n▶ 일시 [-0-9/: ]+\r\n구약 - 창세기 - 창1:2\r\n창1:2 말씀\r\n$)");
        QVERIFY2(record.match(text).hasMatch(), qPrintable(text));
    }

    void settingsFileAtStartUp_data() {
        QTest::addColumn<QByteArray>("existing");  // null: no file
        QTest::addColumn<QByteArray>("after");
        ResetDisplaySettings(g_colorItems);
        const QByteArray defaults = EncodeSettings(g_colorItems);
        g_colorItems[4].crColor = MakeColor(10, 20, 30);
        g_nMainFontSize = 20;
        g_nChapterFontSize = 28;
        g_strFontFace = QString(300, QChar(u'가'));
        const QByteArray edited = EncodeSettings(g_colorItems);
        QTest::newRow("none") << QByteArray() << defaults;
        QTest::newRow("empty") << QByteArray("") << defaults;
        QTest::newRow("edited, long face") << edited << edited;
        QTest::newRow("cut short") << defaults.left(50) << defaults;
    }
    void settingsFileAtStartUp() {
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, after);
        QFile file(SettingsFilePath());
        QVERIFY(existing.isNull() ||
                (file.open(QIODevice::WriteOnly) && file.write(existing) == existing.size()));
        file.close();
        Start();
        QCOMPARE(ReadAll(file.fileName()), after);
        QCOMPARE(EncodeSettings(g_colorItems), after);
        QCOMPARE(View()->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->font().pixelSize(),
                 g_nMainFontSize);
        QCOMPARE(App()->MainFrame()->m_fontChapter.family(), g_strFontFace);
        QCOMPARE(App()->MainFrame()->m_fontChapter.pixelSize(), g_nChapterFontSize);
    }
};

int main(int argc, char** argv) {
    CTavrinApp app(argc, argv);
    CShellTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "shell_test.moc"

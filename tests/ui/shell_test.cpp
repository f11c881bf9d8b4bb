// shell_test.cpp - the reader program's start-up, panes, copy, notes, settings
// and menus, driven through its windows on the offscreen platform.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>

#include "AboutDlg.h"
#include "ChapterDlg.h"
#include "ChapterListBox.h"
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
QStringList Items(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    return out;
}
QStringList Items(const QListWidget* l) {
    QStringList out;
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
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
QString Utf16(const QByteArray& bytes) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                              bytes.size() / 2);
}
}  // namespace

class CShellTest : public QObject {
    Q_OBJECT

private:
    CTavrinApp* App() { return CTavrinApp::Instance(); }
    CTavrinView* View() { return App()->MainFrame()->View(); }
    void Start(CStoreFixture& fx) {
        fx.Build();
        QVERIFY(App()->InitInstance(QString::fromStdString(fx.Folder())));
    }
    // Runs check on the pop-up menu the next action opens, then closes it.
    void OnNextPopup(std::function<void(QMenu*)> check) {
        QTimer::singleShot(900, this, [check] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            check(menu);
            if (menu)
                menu->close();
        });
    }

    QStringList m_arrMessages;

private slots:
    void init() {
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
            .removeRecursively();
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .removeRecursively();
        ResetDisplaySettings(g_colorItems);
        m_arrMessages.clear();
        SetMessageSinkForTesting([this](const QString& m) { m_arrMessages << m; });
        QApplication::clipboard()->setText(QStringLiteral("before"));
    }
    void cleanup() { App()->ExitInstance(); }

    void startsInNewTestament() {
        CStoreFixture fx;
        fx.AddSampleSet();
        Start(fx);
        CTavrinView* v = View();
        QVERIFY(m_arrMessages.isEmpty());
        QVERIFY(v->m_radioNew->isChecked());
        QVERIFY(!v->m_radioOld->isChecked());
        QCOMPARE(Items(v->m_comboBook), QStringList({"마태복음", "요한계시록"}));
        QCOMPARE(v->CurrentBookName(), QString("마태복음"));
        QCOMPARE(Items(v->m_listRef), QStringList({"마1: 1", "마1: 2", "마2: 1"}));
        QCOMPARE(v->SelectedReference(), QString("마1: 1"));
        QCOMPARE(v->m_editText->toPlainText(), QString("마1: 1 말씀"));
        QVERIFY(QTest::qWaitForWindowActive(App()->MainFrame()));
        QCOMPARE(QApplication::focusWidget(), v->m_listRef);
        QCOMPARE(App()->MainFrame()->windowTitle(), QString("Tavrin"));
        // Colours of the default settings from the first showing on.
        QCOMPARE(v->palette().color(QPalette::Window), ColorOf(0x00CDFAEB));
        QCOMPARE(v->m_listRef->palette().color(QPalette::Base), ColorOf(0x00E6F2F0));
        QCOMPARE(v->m_editText->palette().color(QPalette::Base), ColorOf(0x00E1EDFC));
        QCOMPARE(v->m_editText->font().pixelSize(), 13);
    }

    void missingStoreLeavesPanesEmpty() {
        CStoreFixture fx;
        fx.AddSampleSet();
        fx.Omit(tavrin::kKeyOldFile);
        Start(fx);
        CTavrinView* v = View();
        QCOMPARE(m_arrMessages, QStringList({QString::fromStdU16String(
                                    std::u16string(tavrin::kMissingStoresMessage))}));
        QVERIFY(v->m_radioNew->isChecked());
        QCOMPARE(v->m_comboBook->count(), 0);
        QCOMPARE(v->m_listRef->count(), 0);
        QVERIFY(v->m_editText->toPlainText().isEmpty());
        QCOMPARE(v->SelectedReference(), QString());
    }

    void cascadeFollowsTheUsersChoices() {
        CStoreFixture fx;
        fx.AddSampleSet();
        Start(fx);
        CTavrinView* v = View();
        QTest::mouseClick(v->m_radioOld, Qt::LeftButton);
        QCOMPARE(Items(v->m_comboBook), QStringList({"창세기", "출애굽기"}));
        QCOMPARE(v->m_listRef->count(), 5);
        QCOMPARE(v->m_editText->toPlainText(), QString("창1:1 말씀"));
        v->m_comboBook->setCurrentIndex(1);  // as the user's pick
        QCOMPARE(Items(v->m_listRef), QStringList({"출1:1"}));
        QCOMPARE(v->m_editText->toPlainText(), QString("출1:1 말씀"));
        QTest::mouseClick(v->m_radioNew, Qt::LeftButton);
        QCOMPARE(v->CurrentBookName(), QString("마태복음"));
        QTest::mouseClick(v->m_listRef->viewport(), Qt::LeftButton, {},
                          v->m_listRef->visualItemRect(v->m_listRef->item(2)).center());
        QCOMPARE(v->m_editText->toPlainText(), QString("마2: 1 말씀"));
        QTest::keyClick(v->m_listRef, Qt::Key_Up);
        QCOMPARE(v->m_editText->toPlainText(), QString("마1: 2 말씀"));
        QCOMPARE(v->m_listRef->count(), 3);
        // A new document runs the first showing again on the open stores.
        QTest::mouseClick(v->m_radioOld, Qt::LeftButton);
        App()->MainFrame()->Action(ID_FILE_NEW)->trigger();
        QVERIFY(v->m_radioNew->isChecked() && !v->m_radioOld->isChecked());
        QCOMPARE(v->CurrentBookName(), QString("마태복음"));
        QVERIFY(m_arrMessages.isEmpty());
    }

    void recordOrderIsKept() {
        CStoreFixture fx;
        for (const char16_t* book : {u"하박국", u"요한복음", u"마가복음", u"가나"}) {
            fx.AddBook(Testament::New, book, {{std::u16string(book) + u"1: 1", u"본문"}});
        }
        fx.AddBook(Testament::New, u"다니엘",
                   {{u"다3: 1", u"셋"}, {u"다1: 1", u"하나"}, {u"다2: 1", u"둘"}});
        fx.AddBook(Testament::Old, u"창세기", {{u"창1:1", u"태초"}});
        Start(fx);
        CTavrinView* v = View();
        QCOMPARE(Items(v->m_comboBook),
                 QStringList({"하박국", "요한복음", "마가복음", "가나", "다니엘"}));
        v->m_comboBook->setCurrentIndex(4);
        QCOMPARE(Items(v->m_listRef), QStringList({"다3: 1", "다1: 1", "다2: 1"}));
        QCOMPARE(v->m_editText->toPlainText(), QString("셋"));
    }

    void textPaneTakesNoTyping() {
        CStoreFixture fx;
        fx.AddSampleSet();
        Start(fx);
        CPopupEdit* edit = View()->m_editText;
        const QString before = edit->toPlainText();
        edit->setFocus();
        QTest::keyClicks(edit, "abc ");
        QKeyEvent hangul(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("가"));
        QApplication::sendEvent(edit, &hangul);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Delete);
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
    }

    void copyCommandsUseTheSavedRange() {
        CStoreFixture fx;
        fx.AddBook(Testament::New, u"책", {{u"책1: 1", u"0123456789abcdefghij"}});
        fx.AddBook(Testament::Old, u"창세기", {{u"창1:1", u"태초"}});
        Start(fx);
        CMainFrame* frame = App()->MainFrame();
        CPopupEdit* edit = View()->m_editText;
        // Before any menu the saved range is empty: copying changes nothing.
        frame->Action(ID_VERSE_COPY)->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));

        struct SCase {
            int start, end;
            QString copied;
        };
        for (const SCase& c :
             {SCase{5, 12, "56789ab"}, SCase{0, 20, "0123456789abcdefghij"}, SCase{18, 99, "ij"}}) {
            delete edit->CreatePopupMenu(quint32(c.start) | (quint32(c.end) << 16));
            edit->moveCursor(QTextCursor::End);  // the visible selection moved on
            QVERIFY(frame->OnCommand(ID_POPUP_COPY));
            QCOMPARE(QApplication::clipboard()->text(), c.copied);
        }
        edit->moveCursor(QTextCursor::Start);
        QVERIFY(frame->OnCommand(ID_POPUP_COPY_ALL));
        QCOMPARE(QApplication::clipboard()->text(), QString("0123456789abcdefghij"));
    }

    void popupMenusOpenOnHoldAndRightClick() {
        CStoreFixture fx;
        fx.AddBook(Testament::New, u"책", {{u"책1: 1", u"0123456789abcdefghij"}});
        fx.AddBook(Testament::Old, u"창세기", {{u"창1:1", u"태초"}});
        Start(fx);
        CPopupEdit* edit = View()->m_editText;
        QStringList labels;
        bool copyEnabled = true;
        auto record = [&](QMenu* menu) {
            QVERIFY(menu);
            for (QAction* a : menu->actions()) {
                labels << a->text();
                if (a->text() == "복사")
                    copyEnabled = a->isEnabled();
            }
        };
        // Hold with nothing selected: "복사" greyed, the rest offered.
        OnNextPopup(record);
        QTest::mousePress(edit->viewport(), Qt::LeftButton, {}, QPoint(10, 8));
        QTest::qWait(1300);
        QTest::mouseRelease(edit->viewport(), Qt::LeftButton, {}, QPoint(10, 8));
        QCOMPARE(labels, QStringList({"복사", "전체 복사", "", "파일에 저장"}));
        QVERIFY(!copyEnabled);

        // Right-click with characters 5-12 selected keeps that range.
        QTextCursor c = edit->textCursor();
        c.setPosition(5);
        c.setPosition(12, QTextCursor::KeepAnchor);
        edit->setTextCursor(c);
        labels.clear();
        OnNextPopup(record);
        RightClick(edit->viewport(), QPoint(30, 8));
        QVERIFY(copyEnabled);
        QCOMPARE(edit->m_dwMenuSel, 5u | (12u << 16));

        // A short click on the reference pane opens no menu.
        CChapterListBox* list = View()->m_listRef;
        const QPoint p = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, p);
        QTest::qWait(700);
        QVERIFY(!QApplication::activePopupWidget());
        labels.clear();
        OnNextPopup(record);
        RightClick(list->viewport(), p);
        QCOMPARE(labels, QStringList({"'장'  전체 보기"}));
    }

    void wholeChapterOpensTheReaderWhichTakesTheTextBoxCommands() {
        CStoreFixture fx;
        fx.AddSampleSet();
        Start(fx);
        CTavrinView* v = View();
        v->m_listRef->setCurrentRow(1);
        QStringList verses;
        QString title, copied;
        QTimer::singleShot(300, this, [&] {
            auto* dlg = qobject_cast<CChapterDlg*>(QApplication::activeModalWidget());
            if (!dlg || dlg != g_pChapterDlg)
                return;
            verses = dlg->m_arrChapter;
            title = dlg->windowTitle();
            App()->MainFrame()->OnCommand(ID_POPUP_COPY_ALL);  // meant for the reader
            copied = QApplication::clipboard()->text();
            dlg->reject();
        });
        QVERIFY(App()->MainFrame()->OnCommand(ID_POPUP_WHOLE_CHAPTER));
        QCOMPARE(verses, QStringList({"마1: 1", "마1: 1 말씀", "마1: 2", "마1: 2 말씀"}));
        QCOMPARE(v->m_strChapter, QString("마1:"));
        QCOMPARE(title, QString("마태복음"));
        QVERIFY(copied.contains("[마1: 2]"));
        QVERIFY(!g_pChapterDlg);
        QCOMPARE(App()->MainFrame()->windowTitle(), QString("Tavrin"));
        QCOMPARE(v->SelectedReference(), QString("마1: 2"));
    }

    void notesAreAppendedWithHeaderAndStamp() {
        CStoreFixture fx;
        fx.AddSampleSet();
        Start(fx);
        CTavrinView* v = View();
        const QString saved = QString::fromStdU16String(std::u16string(tavrin::kNoteSavedMessage));
        App()->MainFrame()->Action(ID_FILE_SAVE)->trigger();
        QTest::mouseClick(v->m_radioOld, Qt::LeftButton);
        v->m_listRef->setCurrentRow(1);
        QVERIFY(App()->MainFrame()->OnCommand(ID_POPUP_SAVE));
        QCOMPARE(m_arrMessages, QStringList({saved, saved}));

        const QByteArray bytes = ReadAll(CTavrinView::NotesFilePath());
        QVERIFY(bytes.startsWith("\xFF\xFE"));
        QCOMPARE(bytes.count("\xFF\xFE"), 1);
        const QString text = Utf16(bytes.mid(2));
        static const QRegularExpression record(
            "^\r\n▶ 일시 \\d{4}-\\d\\d-\\d\\d / \\d\\d:\\d\\d:\\d\\d \r\n신약 - 마태복음 - 마1: "
            "1\r\n"
            "마1: 1 말씀\r\n\r\n▶ 일시 [-0-9/: ]+\r\n구약 - 창세기 - 창1:2\r\n창1:2 말씀\r\n$");
        QVERIFY2(record.match(text).hasMatch(), qPrintable(text));
    }

    void failedNoteSaveSaysSo() {
        CStoreFixture fx;
        fx.AddSampleSet();
        Start(fx);
        const QString path = CTavrinView::NotesFilePath();
        QVERIFY(QDir().mkpath(path));  // a folder where the file should be
        App()->MainFrame()->Action(ID_VERSE_SAVE)->trigger();
        QCOMPARE(m_arrMessages.size(), 1);
        QVERIFY(m_arrMessages[0].contains(path));
        QVERIFY(!m_arrMessages[0].contains("저장되었습니다"));
    }

    void otherPopupCommandsDoNothing() {
        CStoreFixture fx;
        fx.AddSampleSet();
        Start(fx);
        CTavrinView* v = View();
        delete v->m_editText->CreatePopupMenu(0u | (3u << 16));
        for (int id : {10000, 10005, 10050, 10100}) {
            QVERIFY(App()->MainFrame()->OnCommand(id));
        }
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
        QVERIFY(m_arrMessages.isEmpty());
        QVERIFY(!QFile::exists(CTavrinView::NotesFilePath()));
        QCOMPARE(v->m_editText->toPlainText(), QString("마1: 1 말씀"));
    }

    void settingsFileAtStartUp_data() {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("after");
        ResetDisplaySettings(g_colorItems);
        const QByteArray defaults = EncodeSettings(g_colorItems);
        QByteArray edited = defaults;
        edited.replace(16, 4, QByteArray("\x0A\x14\x1E\x00", 4));
        edited.replace(32, 4, QByteArray("\x14\x00\x00\x00", 4));
        edited.replace(36, 4, QByteArray("\x1C\x00\x00\x00", 4));
        QTest::newRow("none") << QByteArray() << false << defaults;
        QTest::newRow("empty") << QByteArray() << true << defaults;
        QTest::newRow("edited") << edited << true << edited;
        QTest::newRow("cut short") << defaults.left(50) << true << defaults;
        QTest::newRow("string too long") << defaults.left(43) + "\x40" << true << defaults;
    }
    void settingsFileAtStartUp() {
        QFETCH(QByteArray, existing);
        QFETCH(bool, present);
        QFETCH(QByteArray, after);
        QCOMPARE(after.size(), 56);
        const QString path = SettingsFilePath();
        if (present) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(existing);
        }
        CStoreFixture fx;
        fx.AddSampleSet();
        Start(fx);
        QCOMPARE(ReadAll(path), after);
        QCOMPARE(EncodeSettings(g_colorItems), after);
        QCOMPARE(View()->m_editText->font().pixelSize(), g_nMainFontSize);
    }

    void longFaceNameReachesTheFonts() {
        g_strFontFace = QString(300, QChar(u'가'));
        g_nChapterFontSize = 22;
        QVERIFY(SaveSettingsFile(SettingsFilePath(), g_colorItems));
        ResetDisplaySettings(g_colorItems);
        CStoreFixture fx;
        fx.AddSampleSet();
        Start(fx);
        CMainFrame* frame = App()->MainFrame();
        QCOMPARE(frame->m_fontChapter.family(), QString(300, QChar(u'가')));
        QCOMPARE(frame->m_fontChapter.pixelSize(), 22);
        frame->CreateFonts();
        QCOMPARE(g_bFontsCreated, 1);
        frame->DeleteFonts();
        QCOMPARE(g_bFontsCreated, 0);
    }

    void colorsCommandAppliesAndSavesWhateverTheDialogLeft() {
        CStoreFixture fx;
        fx.AddSampleSet();
        Start(fx);
        // The dialog edits the settings in place; it is then left with Esc.
        QTimer::singleShot(300, this, [] {
            g_colorItems[3].crColor = MakeColor(1, 2, 3);
            g_nMainFontSize = 20;
            if (QWidget* dlg = QApplication::activeModalWidget())
                dlg->close();
        });
        App()->MainFrame()->Action(ID_VIEW_COLORS)->trigger();
        CTavrinView* v = View();
        QCOMPARE(v->m_editText->palette().color(QPalette::Base), QColor(1, 2, 3));
        QCOMPARE(v->m_editText->font().pixelSize(), 20);
        QCOMPARE(ReadAll(SettingsFilePath()), EncodeSettings(g_colorItems));
        QCOMPARE(ReadAll(SettingsFilePath()).mid(32, 4), QByteArray("\x14\x00\x00\x00", 4));
    }

    void aboutOpensFromMenuAndButton() {
        CStoreFixture fx;
        fx.AddSampleSet();
        Start(fx);
        QAction* about = App()->MainFrame()->Action(ID_APP_ABOUT);
        QVERIFY(App()->MainFrame()->ToolBar()->actions().contains(about));
        for (int run = 0; run < 2; ++run) {
            QString title;
            QTimer::singleShot(300, this, [&title] {
                if (auto* dlg = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget())) {
                    title = dlg->windowTitle();
                    dlg->accept();
                }
            });
            about->trigger();
            QCOMPARE(title, QString("About Tavrin"));
        }
    }
};

int main(int argc, char** argv) {
    QDir().mkpath(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    QFile::setPermissions(qEnvironmentVariable("XDG_RUNTIME_DIR"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    CTavrinApp app(argc, argv);
    CShellTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "shell_test.moc"

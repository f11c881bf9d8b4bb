// chapter_test.cpp - the chapter reader opened from the navigator form: its
// text, colours and title, chapter moves, and its text box's commands.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <functional>

#include "ChapterDlg.h"
#include "ChapterListBox.h"
#include "CommandIds.h"
#include "DisplaySettings.h"
#include "MainFrame.h"
#include "Messages.h"
#include "PopupEdit.h"
#include "StoreFixture.h"
#include "TavrinApp.h"
#include "TavrinView.h"

using tavrin::Testament;
using tavrin::test::CStoreFixture;

namespace {

const QString kNextMissing =
    QStringLiteral("다음 장이 존재하지 않습니다. 메인 페이지로 이동합니다.");

// Genesis as the tests know it: chapter 1 has 31 verses, 2 has three, 3 has
// two, 4 is missing and 5 (behind the gap) has one. Verse n of chapter c
// reads "창세기 c장 n".
void AddGenesis(CStoreFixture& fx) {
    fx.AddBook(Testament::Old, u"창세기",
               {{u"창1:1", u"창세기 1장 1"},
                {u"창1:2", u"창세기 1장 2"},
                {u"창2:1", u"창세기 2장 1"},
                {u"창3:1", u"창세기 3장 1"},
                {u"창5:1", u"창세기 5장 1"}});
    fx.AddVerses(Testament::Old, u"창1:", 3, 31, u"창세기 1장");
    fx.AddVerses(Testament::Old, u"창2:", 2, 3, u"창세기 2장");
    fx.AddVerses(Testament::Old, u"창3:", 2, 2, u"창세기 3장");
    // A chapter number at the top of the int range has no next chapter.
    fx.AddBook(Testament::Old, u"큰수", {{u"큰2147483647:1", u"끝"}});
    fx.AddBook(Testament::New, u"마태복음", {{u"마1: 1", u"마1: 1 말씀"}});
}

// The reader's text for chapter c of Genesis with count verses.
QString GenesisText(int c, int count) {
    QString text;
    for (int n = 1; n <= count; ++n) {
        text += QStringLiteral("  [창%1:%2]\r\n창세기 %1장 %2\r\n\r\n").arg(c).arg(n);
    }
    return text;
}

QString Utf16(const QByteArray& bytes) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                              bytes.size() / 2);
}

}  // namespace

class CChapterTest : public QObject {
    Q_OBJECT

private:
    CTavrinApp* App() { return CTavrinApp::Instance(); }
    CMainFrame* Frame() { return App()->MainFrame(); }
    CTavrinView* View() { return Frame()->View(); }

    // Starts the program on the Genesis set with reference selected in the
    // Old Testament.
    void Start(CStoreFixture& fx, const QString& book, const QString& reference) {
        AddGenesis(fx);
        fx.Build();
        QVERIFY(App()->InitInstance(QString::fromStdString(fx.Folder())));
        View()->m_radioOld->click();
        View()->m_comboBook->setCurrentIndex(View()->m_comboBook->findText(book));
        const auto items = View()->m_listRef->findItems(reference, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        View()->m_listRef->setCurrentItem(items.front());
        QCOMPARE(View()->SelectedReference(), reference);
    }

    // Opens the reader as the reference pane's menu does, runs inside while it
    // is open, then closes it if it is still open.
    void WithReader(const std::function<void(CChapterDlg*)>& inside) {
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            ran = true;
            CChapterDlg* dlg = g_pChapterDlg;
            auto close = qScopeGuard([dlg] {
                if (dlg != nullptr && dlg->isVisible()) {
                    dlg->reject();
                }
            });
            QVERIFY(dlg != nullptr);
            QVERIFY(dlg->isVisible());
            inside(dlg);
        });
        View()->OnPopupCommand(ID_POPUP_WHOLE_CHAPTER);
        QVERIFY(ran);
        QCOMPARE(g_pChapterDlg, nullptr);
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

    void opensOnTheSelectedChapter() {
        CStoreFixture fx;
        Start(fx, QStringLiteral("창세기"), QStringLiteral("창1:2"));
        const QString paneText = View()->m_editText->toPlainText();
        g_colorItems[6].crColor = MakeColor(0x10, 0x20, 0x30);
        g_colorItems[7].crColor = MakeColor(0xF0, 0xE0, 0xD0);
        QCOMPARE(Frame()->windowTitle(), QString("Tavrin"));

        WithReader([&](CChapterDlg* dlg) {
            CPopupEdit* edit = dlg->m_editChapter;
            QCOMPARE(dlg->m_arrChapter.size(), 62);
            QCOMPARE(dlg->m_strChapterText, GenesisText(1, 31));
            QCOMPARE(edit->toPlainText(), QString(GenesisText(1, 31)).replace("\r\n", "\n"));
            QCOMPARE(dlg->windowTitle(), QString("창세기"));
            QCOMPARE(edit->font(), Frame()->m_fontChapter);
            QCOMPARE(edit->palette().color(QPalette::Text), QColor(0x10, 0x20, 0x30));
            QCOMPARE(edit->palette().color(QPalette::Base), QColor(0xF0, 0xE0, 0xD0));
            // The box fills the dialog below the two buttons, previous first.
            QVERIFY(edit->width() >= dlg->width() - 2);
            QCOMPARE(edit->geometry().bottom(), dlg->rect().bottom());
            QVERIFY(!edit->geometry().intersects(dlg->m_toolBar->geometry()));
            const QList<QAction*> buttons = dlg->m_toolBar->actions();
            QCOMPARE(buttons.size(), 2);
            QCOMPARE(buttons[0]->toolTip(), QString("이전 장으로 이동합니다."));
            QCOMPARE(buttons[1]->toolTip(), QString("다음 장으로 이동합니다."));
            QVERIFY(!buttons[0]->icon().isNull() && !buttons[1]->icon().isNull());
            QCOMPARE(QApplication::overrideCursor(), nullptr);
        });

        // Closing gives the title back and leaves the form's panes as they were.
        QCOMPARE(Frame()->windowTitle(), QString("Tavrin"));
        QCOMPARE(View()->CurrentBookName(), QString("창세기"));
        QCOMPARE(View()->SelectedReference(), QString("창1:2"));
        QCOMPARE(View()->m_editText->toPlainText(), paneText);
        QVERIFY(m_arrMessages.isEmpty());
    }

    void movesBetweenChapters_data() {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("moves");    // n next, p previous, via the buttons
        QTest::addColumn<QString>("chapter");  // the form's chapter afterwards
        QTest::addColumn<QString>("text");     // the reader's text; null: closed
        QTest::addColumn<QStringList>("messages");

        const QString genesis = QStringLiteral("창세기");
        QTest::newRow("next to three verses") << genesis << "창1:1"
                                              << "n"
                                              << "창2:" << GenesisText(2, 3) << QStringList();
        QTest::newRow("next to two verses is shown")
            << genesis << "창2:1"
            << "n"
            << "창3:" << GenesisText(3, 2) << QStringList();
        QTest::newRow("next to a missing chapter closes")
            << genesis << "창3:1"
            << "n"
            << "창4:" << QString() << QStringList{kNextMissing};
        QTest::newRow("previous on chapter 1 is ignored")
            << genesis << "창1:1"
            << "p"
            << "창1:" << GenesisText(1, 31) << QStringList();
        QTest::newRow("previous on chapter 2") << genesis << "창2:1"
                                               << "p"
                                               << "창1:" << GenesisText(1, 31) << QStringList();
        QTest::newRow("each move starts from the last")
            << genesis << "창1:1"
            << "nnppn"
            << "창2:" << GenesisText(2, 3) << QStringList();
        QTest::newRow("previous then next around the gap")
            << genesis << "창5:1"
            << "pn"
            << "창5:" << GenesisText(5, 1) << QStringList();
        QTest::newRow("no next past the largest number") << "큰수"
                                                         << "큰2147483647:1"
                                                         << "n"
                                                         << "큰2147483647:"
                                                         << "  [큰2147483647:1]\r\n끝\r\n\r\n"
                                                         << QStringList();
    }
    void movesBetweenChapters() {
        QFETCH(QString, book);
        QFETCH(QString, reference);
        QFETCH(QString, moves);
        QFETCH(QString, chapter);
        QFETCH(QString, text);
        QFETCH(QStringList, messages);
        CStoreFixture fx;
        Start(fx, book, reference);

        bool closed = false;
        QString shown;
        QStringList titles;
        int busyAfterMove = 0;
        WithReader([&](CChapterDlg* dlg) {
            const QList<QAction*> buttons = dlg->m_toolBar->actions();
            for (QChar move : moves) {
                buttons[move == 'n' ? 1 : 0]->trigger();
                busyAfterMove += QApplication::overrideCursor() != nullptr ? 1 : 0;
                if (!dlg->isVisible()) {
                    closed = true;
                    break;
                }
                titles << dlg->windowTitle();
            }
            shown = dlg->m_strChapterText;
            if (!closed) {
                QCOMPARE(dlg->m_arrChapter, View()->m_arrVerses);
                QCOMPARE(dlg->m_editChapter->toPlainText(), QString(shown).replace("\r\n", "\n"));
            }
        });
        QCOMPARE(busyAfterMove, 0);
        QCOMPARE(closed, text.isNull());
        if (!closed) {
            QCOMPARE(shown, text);
        }
        QCOMPARE(View()->m_strChapter, chapter);
        QCOMPARE(m_arrMessages, messages);
        // The title stays the book name through every move, and the form's
        // reference pane keeps the entry the reader was opened from.
        QCOMPARE(titles, QStringList(titles.size(), book));
        QCOMPARE(View()->SelectedReference(), reference);
        QCOMPARE(Frame()->windowTitle(), QString("Tavrin"));
    }

    void textBoxCommandsReachTheReader() {
        CStoreFixture fx;
        Start(fx, QStringLiteral("창세기"), QStringLiteral("창1:2"));
        const QString paneText = View()->m_editText->toPlainText();
        QString copiedAll;
        QString copiedRange;
        QString readerText;
        WithReader([&](CChapterDlg* dlg) {
            dlg->m_toolBar->actions()[1]->trigger();  // on to chapter 2
            readerText = dlg->m_editChapter->toPlainText();
            // The commands come from the frame, through the form, as the menu sends them.
            QVERIFY(Frame()->OnCommand(ID_POPUP_COPY_ALL));
            copiedAll = QApplication::clipboard()->text();
            dlg->m_editChapter->m_dwMenuSel = (14u << 16) | 2u;
            QVERIFY(Frame()->OnCommand(ID_POPUP_COPY));
            copiedRange = QApplication::clipboard()->text();
            QVERIFY(Frame()->OnCommand(ID_POPUP_SAVE));
            QVERIFY(dlg->isVisible());
        });
        QCOMPARE(copiedAll, readerText);
        QVERIFY(copiedAll != paneText);
        QCOMPARE(copiedRange, readerText.mid(2, 12));
        QCOMPARE(copiedRange, QString("[창2:1]\n창세기 2"));

        // The note is the whole chapter shown, under the form's heading.
        QFile notes(CTavrinView::NotesFilePath());
        QVERIFY(notes.open(QIODevice::ReadOnly));
        const QString written = Utf16(notes.readAll());
        const QString entry = "구약 - 창세기 - 창1:2\r\n" + GenesisText(2, 3) + "\r\n";
        QVERIFY2(written.endsWith(entry), qPrintable(written.right(200)));
        QCOMPARE(written.count(QString("▶ 일시 ")), 1);
        QCOMPARE(m_arrMessages.size(), 1);
        QVERIFY(m_arrMessages.front().contains("BibleNote.txt"));
    }
};

int main(int argc, char** argv) {
    QDir().mkpath(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    QFile::setPermissions(qEnvironmentVariable("XDG_RUNTIME_DIR"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    CTavrinApp app(argc, argv);
    CChapterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "chapter_test.moc"

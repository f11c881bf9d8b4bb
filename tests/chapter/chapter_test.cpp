// chapter_test.cpp - the chapter reader opened from the navigator form: its
// text, colours and title, chapter moves, and its text box's commands.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
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
#include "MainFrame.h"
#include "Messages.h"
#include "PopupEdit.h"
#include "StoreFixture.h"
#include "TavrinApp.h"
#include "TavrinView.h"

using tavrin::Testament;

namespace {

// Verse n of chapter c of a book reads "<book> c장 n"; Genesis (창) has
// chapters 1 (31 verses), 2 (three), 3 (two) and 5 (one), but no chapter 4.
QString Chapter(const QString& book, int c, int count) {
    QString text;
    for (int n = 1; n <= count; ++n)
        text += QString::asprintf("  [%s%d:%d]\r\n%s %d장 %d\r\n\r\n", qPrintable(book.left(1)), c,
                                  n, qPrintable(book), c, n);
    return text;
}

const struct SMove {
    const char *name, *book, *reference, *moves;  // moves: n next, p previous
    const char* chapter;                          // the form's chapter afterwards
    int c, count;  // the chapter shown at the end; no verses: the reader closed
} kMoves[] = {
    {"opening", "창세기", "창1:2", "", "창1:", 1, 31},
    {"next, three verses", "창세기", "창1:1", "n", "창2:", 2, 3},
    {"next, two verses", "창세기", "창2:1", "n", "창3:", 3, 2},
    {"next, missing", "창세기", "창3:1", "n", "창4:", 4, 0},
    {"previous on 1", "창세기", "창1:1", "p", "창1:", 1, 31},
    {"previous on 2", "창세기", "창2:1", "p", "창1:", 1, 31},
    {"in a row", "창세기", "창1:1", "nnppn", "창2:", 2, 3},
    {"over the gap", "창세기", "창5:1", "pn", "창5:", 5, 1},
    {"no next number", "큰수", "큰2147483647:1", "n", "큰2147483647:", 2147483647, 1},
};

}  // namespace

class CChapterTest : public QObject {
    Q_OBJECT

    CMainFrame* Frame() { return CTavrinApp::Instance()->MainFrame(); }
    CTavrinView* View() { return Frame()->View(); }

    // Starts the program on Genesis (and a book whose chapter number has no
    // successor) and selects reference in the Old Testament.
    void Start(const QString& book, const QString& reference) {
        m_pFixture = std::make_unique<tavrin::test::CStoreFixture>();
        auto& fx = *m_pFixture;
        fx.AddBook(Testament::Old, u"창세기",
                   {{u"창1:1", u"창세기 1장 1"},
                    {u"창1:2", u"창세기 1장 2"},
                    {u"창2:1", u"창세기 2장 1"},
                    {u"창3:1", u"창세기 3장 1"},
                    {u"창5:1", u"창세기 5장 1"}});
        fx.AddVerses(Testament::Old, u"창1:", 3, 31, u"창세기 1장");
        fx.AddVerses(Testament::Old, u"창2:", 2, 3, u"창세기 2장");
        fx.AddVerses(Testament::Old, u"창3:", 2, 2, u"창세기 3장");
        fx.AddBook(Testament::Old, u"큰수", {{u"큰2147483647:1", u"큰수 2147483647장 1"}});
        fx.Build();
        QVERIFY(CTavrinApp::Instance()->InitInstance(QString::fromStdString(fx.Folder())));
        View()->findChild<QRadioButton*>("IDC_RADIO_OLD")->click();
        View()
            ->findChild<QComboBox*>("IDC_COMBO_BOOK")
            ->setCurrentIndex(View()->findChild<QComboBox*>("IDC_COMBO_BOOK")->findText(book));
        CChapterListBox* list = View()->findChild<CChapterListBox*>("IDC_LIST_REF");
        const auto items = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole,
                                                reference, 1, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        list->selectionModel()->setCurrentIndex(items.front(), QItemSelectionModel::ClearAndSelect);
        g_colorItems[6].crColor = MakeColor(0x10, 0x20, 0x30);
        g_colorItems[7].crColor = MakeColor(0xF0, 0xE0, 0xD0);
    }

    // Opens the reader as the reference pane's menu does, checks how it looks,
    // runs inside while it is open, then closes it if it is still open. The
    // form is as it was after.
    void WithReader(const std::function<void(CChapterDlg*)>& inside) {
        const QString reference = View()->SelectedReference();
        const QString paneText = View()->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->toPlainText();
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            ran = true;
            CChapterDlg* dlg = g_pChapterDlg;
            auto close = qScopeGuard([dlg] {
                if (dlg && dlg->isVisible())
                    dlg->reject();
            });
            QVERIFY(dlg && dlg->isVisible());
            CPopupEdit* edit = dlg->findChild<CPopupEdit*>("IDC_EDIT_CHAPTER");
            QCOMPARE(dlg->windowTitle(), View()->CurrentBookName());
            QCOMPARE(edit->font(), Frame()->m_fontChapter);
            QCOMPARE(edit->palette().color(QPalette::Text), QColor(0x10, 0x20, 0x30));
            QCOMPARE(edit->palette().color(QPalette::Base), QColor(0xF0, 0xE0, 0xD0));
            // The box fills the dialog below the buttons: previous, then next.
            QCOMPARE(edit->geometry().bottom(), dlg->rect().bottom());
            QVERIFY(edit->width() >= dlg->width() - 2);
            QVERIFY(!edit->geometry().intersects(
                dlg->findChild<QToolBar*>("IDR_CHAPTER_BAR")->geometry()));
            QStringList tips;
            for (QAction* button : dlg->findChild<QToolBar*>("IDR_CHAPTER_BAR")->actions())
                tips << button->toolTip();
            QCOMPARE(tips, QStringList({"이전 장으로 이동합니다.", "다음 장으로 이동합니다."}));
            QCOMPARE(QApplication::overrideCursor(), nullptr);
            inside(dlg);
        });
        View()->OnPopupCommand(ID_POPUP_WHOLE_CHAPTER);
        QVERIFY(ran);
        QCOMPARE(g_pChapterDlg, nullptr);
        QCOMPARE(Frame()->windowTitle(), QString("Tavrin"));
        QCOMPARE(View()->SelectedReference(), reference);
        QCOMPARE(View()->findChild<CPopupEdit*>("IDC_EDIT_TEXT")->toPlainText(), paneText);
    }

    std::unique_ptr<tavrin::test::CStoreFixture> m_pFixture;
    QStringList m_arrMessages;

private slots:
    void init() {
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .removeRecursively();
        ResetDisplaySettings(g_colorItems);
        m_arrMessages.clear();
        SetMessageSinkForTesting([this](const QString& m) { m_arrMessages << m; });
    }
    void cleanup() { CTavrinApp::Instance()->ExitInstance(); }

    void movesBetweenChapters_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kMoves)); ++i) QTest::newRow(kMoves[i].name) << i;
    }
    void movesBetweenChapters() {
        QFETCH(int, row);
        const SMove& m = kMoves[row];
        const QString text = m.count ? Chapter(m.book, m.c, m.count) : QString();
        Start(m.book, m.reference);
        bool closed = false;
        WithReader([&](CChapterDlg* dlg) {
            for (char move : std::string_view(m.moves)) {
                dlg->findChild<QToolBar*>("IDR_CHAPTER_BAR")
                    ->actions()[move == 'n' ? 1 : 0]
                    ->trigger();
                QCOMPARE(QApplication::overrideCursor(), nullptr);
                if ((closed = !dlg->isVisible()))
                    return;
                QCOMPARE(dlg->windowTitle(), QString(m.book));
            }
            QCOMPARE(dlg->m_strChapterText, text);
            QCOMPARE(dlg->findChild<CPopupEdit*>("IDC_EDIT_CHAPTER")->toPlainText(),
                     QString(text).replace("\r\n", "\n"));
        });
        QCOMPARE(closed, text.isNull());
        QCOMPARE(m_arrMessages,
                 closed ? QStringList{"다음 장이 존재하지 않습니다. 메인 페이지로 이동합니다."}
                        : QStringList());
        QCOMPARE(View()->ChapterReference(), QString(m.chapter));
    }

    void textBoxCommandsReachTheReader() {
        Start("창세기", "창1:2");
        QString copiedAll, copiedRange;
        WithReader([&](CChapterDlg* dlg) {
            dlg->findChild<QToolBar*>("IDR_CHAPTER_BAR")
                ->actions()[1]
                ->trigger();  // on to chapter 2
            // The commands come from the frame, through the form, as the menu sends them.
            QVERIFY(Frame()->OnCommand(ID_POPUP_COPY_ALL));
            copiedAll = QApplication::clipboard()->text();
            dlg->findChild<CPopupEdit*>("IDC_EDIT_CHAPTER")->m_dwMenuSel = (14u << 16) | 2u;
            QVERIFY(Frame()->OnCommand(ID_POPUP_COPY));
            copiedRange = QApplication::clipboard()->text();
            QVERIFY(Frame()->OnCommand(ID_POPUP_SAVE));
            QVERIFY(dlg->isVisible());
        });
        QCOMPARE(copiedAll, Chapter("창세기", 2, 3).replace("\r\n", "\n"));
        QCOMPARE(copiedRange, QString("[창2:1]\n창세기 2"));
        // The note is the whole chapter shown, under the form's heading.
        QFile notes(CTavrinView::NotesFilePath());
        QVERIFY(notes.open(QIODevice::ReadOnly));
        const QByteArray bytes = notes.readAll();
        const QString written = QString::fromUtf16(
            reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
        QVERIFY(written.endsWith("구약 - 창세기 - 창1:2\r\n" + Chapter("창세기", 2, 3) + "\r\n"));
        QCOMPARE(written.count("▶ 일시 "), 1);
        QCOMPARE(m_arrMessages.size(), 1);
    }
};

int main(int argc, char** argv) {
    CTavrinApp app(argc, argv);
    CChapterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "chapter_test.moc"

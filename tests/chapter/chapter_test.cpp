// chapter_test.cpp - the chapter reader opened from the navigator form: its
// look, the chosen verse at the top, and moves by its buttons and keys.
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolBar>

#include "ChapterDlg.h"
#include "CommandIds.h"
#include "ReaderHarness.h"

namespace {
// Chapter c of 창 (Old: 31, 3 and 2 verses) or 마 (New: 20 and 1) as the reader
// lays it out, or as "key\ttext" lines; verse n of chapter c reads "c장 n".
QString Chapter(const QString& book, int c, const char* layout = "  [%1]\r\n%2\r\n\r\n") {
    const bool old = book == "창";
    QString text;
    for (int n = 1; n <= (old ? std::vector{31, 3, 2} : std::vector{20, 1}).at(c - 1); ++n)
        text +=
            QString(layout).arg(book + QString::number(c) + (old ? ":" : ": ") + QString::number(n),
                                QString("%1장 %2").arg(c).arg(n));
    return text;
}
}  // namespace

class CChapterTest : public CReaderHarness {
    Q_OBJECT

private slots:
    void init() { Reset(); }
    void cleanup() { CTavrinApp::Instance()->ExitInstance(); }

    // Each way of opening puts the chosen verse's line at the top (or scrolls
    // as far as it goes); each button and key moves as its command does.
    void opensAtTheVerseAndMoves_data() {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("top");    // the first line shown; "end": scrolled to the end
        QTest::addColumn<QString>("move");   // a button, or keys
        QTest::addColumn<QString>("shown");  // the text after the move; null: the reader closed
        for (const auto& [way, reference, top, move, shown] :
             {std::tuple<const char*, const char*, const char*, const char*, QString>{
                  "Enter", "창1:20", "  [창1:20]", "Alt+Right", Chapter("창", 2)},
              {"keypad Enter", "창2:1", "  [창2:1]", "Ctrl+PgUp", Chapter("창", 1)},
              {"double click", "창1:2", "  [창1:2]", "next", Chapter("창", 2)},
              {"menu", "창2:1", "  [창2:1]", "Alt+Left", Chapter("창", 1)},
              {"menu, New", "마1: 10", "  [마1: 10]", "Ctrl+PgDown", Chapter("마", 2)},
              {"Enter, last verse", "마1: 20", "end", "previous", Chapter("마", 1)},
              {"Enter, next missing", "창3:1", "  [창3:1]", "Alt+Right", QString()}})
            QTest::newRow(way) << QString(reference) << QString(top) << QString(move) << shown;
    }
    void opensAtTheVerseAndMoves() {
        QFETCH(QString, reference);
        QFETCH(QString, top);
        QFETCH(QString, move);
        QFETCH(QString, shown);
        Start([](tavrin::test::CStoreFixture& fx) {  // every verse listed
            for (const QString book : {"창", "마"}) {
                std::vector<tavrin::test::SReference> verses;
                for (int c = 1; c <= (book == "창" ? 3 : 2); ++c)
                    for (const QString& v :
                         Chapter(book, c, "%1\t%2\n").split('\n', Qt::SkipEmptyParts))
                        verses.push_back({v.section('\t', 0, 0).toStdU16String(),
                                          v.section('\t', 1).toStdU16String()});
                fx.AddBook(book == "창" ? tavrin::Testament::Old : tavrin::Testament::New,
                           book.toStdU16String(), verses);
            }
        });
        if (reference.startsWith(u'창'))
            Find<QRadioButton>("IDC_RADIO_OLD")->click();
        List()->keyboardSearch(reference);
        g_colorItems[6].crColor = 0x302010, g_colorItems[7].crColor = 0xD0E0F0;
        const QString way = QTest::currentDataTag(), book = Books()->currentText();
        const auto open = [&] {
            if (way.startsWith("menu"))
                View()->OnPopupCommand(ID_POPUP_WHOLE_CHAPTER);
            else if (way.startsWith("double"))
                QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {},
                                   List()->visualRect(List()->currentIndex()).center());
            else
                QTest::keyClick(List(), way.startsWith("keypad") ? Qt::Key_Enter : Qt::Key_Return,
                                way.startsWith("keypad") ? Qt::KeypadModifier : Qt::NoModifier);
        };
        OnModal<CChapterDlg>(open, [&](CChapterDlg* dlg) {
            auto* edit = dlg->findChild<CPopupEdit*>("IDC_EDIT_CHAPTER");
            auto* tools = dlg->findChild<QToolBar*>("IDR_CHAPTER_BAR");
            const QScrollBar* bar = edit->verticalScrollBar();
            QCOMPARE(QStringList({dlg->windowTitle(), edit->palette().color(QPalette::Text).name(),
                                  edit->palette().color(QPalette::Base).name(),
                                  tools->actions()[0]->toolTip(), tools->actions()[1]->toolTip(),
                                  bar->value() > 0 && bar->value() == bar->maximum()
                                      ? "end"
                                      : edit->cursorForPosition({4, 4}).block().text()}),
                     QStringList({book, "#102030", "#f0e0d0", "이전 장으로 이동합니다.",
                                  "다음 장으로 이동합니다.", top}));
            // The chapter font, the dialog filled below the buttons, no busy cursor.
            QVERIFY(edit->font() == Frame()->m_fontChapter && !QApplication::overrideCursor() &&
                    edit->geometry().bottom() == dlg->rect().bottom() &&
                    edit->width() >= dlg->width() - 2 &&
                    !edit->geometry().intersects(tools->geometry()));
            if (move == "next" || move == "previous")
                tools->actions()[move == "next"]->trigger();
            else
                QTest::keySequence(edit, QKeySequence(move));
            QCOMPARE(dlg->isVisible() ? dlg->m_strChapterText : QString(), shown);
            QVERIFY(!dlg->isVisible() ||
                    (edit->toPlainText() == QString(shown).replace("\r\n", "\n") &&
                     dlg->windowTitle() == book && (top == "end" || bar->value() == 0)));
        });
        QVERIFY(g_pChapterDlg == nullptr && Frame()->windowTitle() == "Tavrin");
        QCOMPARE(View()->SelectedReference(), reference);
        QCOMPARE(m_arrMessages,
                 shown.isNull()
                     ? QStringList{"다음 장이 존재하지 않습니다. 메인 페이지로 이동합니다."}
                     : QStringList());
    }
};

int main(int argc, char** argv) {
    CTavrinApp app(argc, argv);
    CChapterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "chapter_test.moc"

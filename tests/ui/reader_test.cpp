// reader_test.cpp - the chapter reader on a host of its own, offscreen: layouts, the mark,
// steps, zoom, copy with the reference, PDF.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>

#include "ChapterDlg.h"
#include "ColorScheme.h"
#include "DisplaySettings.h"
#include "Messages.h"
#include "ParallelView.h"
#include "PopupEdit.h"
#include "PrintText.h"

namespace {

// 요한복음 3 with n verses ("요3: n", text "말씀 n").
QStringList John3(int verses) {
    QStringList pairs;
    for (int n = 1; n <= verses; ++n)
        pairs << QStringLiteral("요3: %1").arg(n) << QStringLiteral("말씀 %1").arg(n);
    return pairs;
}

class CFakeHost : public CChapterHost {
public:
    tavrin::EChapterMove m_nextMove = tavrin::EChapterMove::Moved;
    QStringList m_arrVerses = John3(120);
    QString m_strTitle = QStringLiteral("요한복음 3장");
    QList<int> m_arrZooms;
    QString m_strNote;
    bool m_bParagraphs = false;
    QFont m_font;
    int m_nFormat = 0;

    tavrin::EChapterMove MoveChapter(tavrin::EDirection) override { return m_nextMove; }
    QStringList Verses() const override { return m_arrVerses.mid(0, 198); }
    QStringList WholeChapter() const override { return m_arrVerses; }
    QString ChapterBook() const override { return QStringLiteral("요한복음"); }
    QString ChapterTitle() const override { return m_strTitle; }
    void SaveNote(const QString& text) override { m_strNote = text; }
    QFont ChapterFont() const override { return m_font; }
    void ZoomChapter(int steps) override {
        m_arrZooms << steps;
        m_font.setPixelSize(steps == 0 ? 13 : m_font.pixelSize() + steps);
    }
    bool ChapterParagraphs() const override { return m_bParagraphs; }
    void KeepChapterParagraphs(bool paragraphs) override { m_bParagraphs = paragraphs; }
    int CitationFormat() const override { return m_nFormat; }
    QString SetName() const override { return QStringLiteral("개역한글"); }
    SParallelChapter m_parallel;
    SParallelChapter ParallelChapter() const override { return m_parallel; }
    QStringList m_arrEnds;
    void ChapterShownToEnd(const QString& chapter) override { m_arrEnds << chapter; }
};

}  // namespace

class CReaderTest : public QObject {
    Q_OBJECT

    CFakeHost m_host;
    QStringList m_arrMessages;
    std::unique_ptr<CChapterDlg> m_pDlg;

    CPopupEdit* Edit() { return m_pDlg->findChild<CPopupEdit*>("IDC_EDIT_CHAPTER"); }
    QAction* Act(const char* name) { return m_pDlg->findChild<QAction*>(name); }
    // Opens the reader at verse top (0-based), as the form does.
    void Open(int top) {
        m_pDlg = std::make_unique<CChapterDlg>(m_host, nullptr);
        m_pDlg->SetVerses(m_host.Verses());
        m_pDlg->m_arrWholeChapter = m_host.WholeChapter();
        m_pDlg->m_nTopVerse = top;
        m_pDlg->m_strTitle = m_host.ChapterTitle();
        m_pDlg->show();
        QVERIFY(QTest::qWaitForWindowActive(m_pDlg.get()));
    }
    QString Marked() {
        const auto marks = Edit()->extraSelections();
        return marks.size() == 1 ? marks[0].cursor.selectedText()
                                 : QString("(%1 marks)").arg(marks.size());
    }

private slots:
    void init() {
        m_host = CFakeHost();
        m_host.m_font.setPixelSize(16);
        m_arrMessages.clear();
        SetMessageSinkForTesting([this](const QString& text) { m_arrMessages << text; });
    }
    void cleanup() {
        m_pDlg.reset();
        SetPdfPathAskerForTesting({});
    }

    // Both layouts mark the verse opened at; the choice goes to the host.
    void marksTheVerseInEitherLayout() {
        Open(15);
        QCOMPARE(m_pDlg->windowTitle(), "요한복음 3장");
        QCOMPARE(Marked(), QString("  [요3: 16]\u2029말씀 16"));
        QCOMPARE(m_pDlg->m_layout.m_arrSpans.size(), size_t(99));
        Act("ID_VIEW_CHAPTER_PARAGRAPHS")->trigger();
        QVERIFY(m_host.m_bParagraphs);
        QCOMPARE(Marked(), "16 말씀 16");
        QCOMPARE(Edit()->cursorForPosition({4, 4}).block().text(), "16 말씀 16");  // still on top
        QCOMPARE(m_pDlg->m_layout.m_arrSpans.size(), size_t(120));                 // every verse
        QVERIFY(m_pDlg->m_strChapterText.startsWith("1 말씀 1\r\n2 말씀 2\r\n"));
        // Save takes the layout shown.
        Act("ID_POPUP_SAVE")->trigger();
        QCOMPARE(m_host.m_strNote, m_pDlg->m_strChapterText);
        // The mark reads in both palettes.
        const QColor mark = Edit()->extraSelections()[0].format.background().color();
        QVERIFY(tavrin::ContrastRatio({mark.red(), mark.green(), mark.blue()},
                                      tavrin::RgbOf(g_colorItems[6].crColor)) >= 4.5);
    }
    // With companions: a column per set, the verse marked, copies with the rows' labels.
    void parallelLayoutWithCompanions() {
        QStringList kjv = John3(20);
        kjv.remove(30, 2);  // no 요3: 16
        const auto pairs = [](const QStringList& l) {
            std::vector<std::u16string> v;
            for (const QString& s : l) v.push_back(s.toStdU16String());
            return v;
        };
        m_host.m_parallel = {{"개역한글", "KJV"},
                             tavrin::AlignVerses({{"main", pairs(John3(16))}, {"kjv", pairs(kjv)}},
                                                 tavrin::Testament::New, {})};
        Open(15);
        auto* table = m_pDlg->findChild<CParallelView*>("IDC_TABLE_PARALLEL");
        QVERIFY(table->isVisible());
        QVERIFY(!Edit()->isVisible());
        QCOMPARE(table->model()->headerData(1, Qt::Horizontal).toString(), "KJV");
        QCOMPARE(table->model()->index(15, 1).data().toString(), "");
        QVERIFY(table->model()->index(15, 0).data(Qt::BackgroundRole).isValid());
        QVERIFY(!table->model()->index(14, 0).data(Qt::BackgroundRole).isValid());
        table->selectRow(15);
        Act("ID_EDIT_COPY_CITED")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 "요3: 16\r\n개역한글\t말씀 16\r\nKJV\t\r\n\r\n");
        Act("ID_POPUP_SAVE")->trigger();
        QVERIFY(m_host.m_strNote.startsWith("요3: 1\r\n개역한글\t말씀 1\r\nKJV\t말씀 1\r\n"));
        QCOMPARE(m_host.m_strNote.count("\r\n\r\n"), 20);
    }
    void parallelLayoutOpensAtTheMarkAndTellsTheEnd() {
        m_host.m_parallel.m_arrNames = {"개역한글"};
        const std::u16string text = QString("말씀 ").repeated(40).toStdU16String();
        for (int n = 1; n <= 120; ++n)  // rows as tall as the columns are narrow
            m_host.m_parallel.m_arrRows.push_back(
                {u"요3: " + QString::number(n).toStdU16String(), {text}, {}});
        Open(60);
        auto* table = m_pDlg->findChild<CParallelView*>("IDC_TABLE_PARALLEL");
        QTRY_COMPARE(table->TopRow(), 60);
        QCOMPARE(m_host.m_arrEnds, QStringList());
        QScrollBar* bar = table->verticalScrollBar();
        bar->setValue(bar->maximum());
        QCOMPARE(m_host.m_arrEnds, QStringList({"요3:"}));
    }
    void opensInTheLayoutKept() {
        m_host.m_bParagraphs = true;
        Open(0);
        QVERIFY(Act("ID_VIEW_CHAPTER_PARAGRAPHS")->isChecked());
        QCOMPARE(Marked(), "1 말씀 1");
    }

    // Before the first chapter the reader stays; past the last it closes.
    void stepsTellWhereTheBibleEnds() {
        Open(0);
        m_host.m_nextMove = tavrin::EChapterMove::NoNeighbour;
        QTest::keyClick(Edit(), Qt::Key_Left, Qt::AltModifier);
        QVERIFY(m_pDlg->isVisible());
        m_host.m_nextMove = tavrin::EChapterMove::OtherBook;
        m_host.m_strTitle = QStringLiteral("시편 1편");
        m_host.m_arrVerses = John3(3);
        QTest::keyClick(Edit(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(m_pDlg->windowTitle(), "시편 1편");
        QCOMPARE(Marked(), "(0 marks)");  // the mark stays with the chapter opened
        m_host.m_nextMove = tavrin::EChapterMove::Missing;
        QTest::keyClick(Edit(), Qt::Key_Right, Qt::AltModifier);
        QTRY_VERIFY(!m_pDlg->isVisible());
        QCOMPARE(m_arrMessages,
                 QStringList({"이전 장이 존재하지 않습니다.",
                              "다음 장이 존재하지 않습니다. 메인 페이지로 이동합니다."}));
    }

    // Each key and the wheel with Ctrl go through the host's steps.
    void zoomsThroughTheHost() {
        Open(0);
        for (const Qt::Key key : {Qt::Key_Equal, Qt::Key_Minus, Qt::Key_0})
            QTest::keyClick(Edit(), key, Qt::ControlModifier);
        const QPoint at = Edit()->viewport()->rect().center();
        QWheelEvent wheel(at, Edit()->viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Edit()->viewport(), &wheel);
        QCOMPARE(m_host.m_arrZooms, QList<int>({1, -1, 0, -1}));
        QCOMPARE(Edit()->font().pixelSize(), 12);
    }

    // The selection as it stands, REF spanning the verses it touches.
    void copiesWithTheReference() {
        m_host.m_nFormat = 3;  // reference last, abbreviated
        m_host.m_bParagraphs = true;
        Open(0);
        QTextCursor cursor(Edit()->document());
        cursor.setPosition(2);  // "말씀 1" through "2 말씀"
        cursor.setPosition(12, QTextCursor::KeepAnchor);
        Edit()->setTextCursor(cursor);
        QTest::keyClick(Edit(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), "말씀 1 2 말씀 (요3:1-2)");
    }

    // The host hears once a chapter was shown to its last verse, never for part of it.
    void tellsWhenTheLastVerseIsShown() {
        Open(0);
        QScrollBar* bar = Edit()->verticalScrollBar();
        bar->setValue(bar->maximum());  // the first 99 verses of 120
        QCOMPARE(m_host.m_arrEnds, QStringList());
        Act("ID_VIEW_CHAPTER_PARAGRAPHS")->trigger();
        QCOMPARE(m_host.m_arrEnds, QStringList());
        bar->setValue(bar->maximum() - 1);
        bar->setValue(bar->maximum());
        QCOMPARE(m_host.m_arrEnds, QStringList({"요3:"}));
        m_host.m_arrVerses = John3(3);
        Act("ID_NEXT_CHAPTER")->trigger();  // one that fits the box
        QCOMPARE(m_host.m_arrEnds, QStringList({"요3:", "요3:"}));
    }

    // A PDF is written whole; an unwritable folder leaves nothing and says so.
    void savesAPdfOrNothing() {
        QTemporaryDir dir;
        const QString good = dir.filePath("요3.pdf");
        const QString bad = dir.filePath("none/요3.pdf");
        Open(0);
        for (const QString& path : {good, bad}) {
            SetPdfPathAskerForTesting([path](const QString&) { return path; });
            Act("ID_FILE_SAVE_PDF")->trigger();
        }
        QFile pdf(good);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        QVERIFY(!QFile::exists(bad));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"요3.pdf"}));
        QCOMPARE(m_arrMessages, QStringList({bad + " 파일에 저장하지 못했습니다."}));
    }
};

QTEST_MAIN(CReaderTest)
#include "reader_test.moc"

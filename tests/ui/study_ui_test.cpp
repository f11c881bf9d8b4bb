// study_ui_test.cpp - the reader's marks driven through its actions, offscreen: highlight and
// bookmark on the chosen reference, the text pane's and the reader's highlight, the 내 노트
// panel's remove and undo, and a damaged or unopenable study database.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

#include "ChapterDlg.h"
#include "ChapterListBox.h"
#include "DisplaySettings.h"
#include "FileBytes.h"
#include "MainFrame.h"
#include "Messages.h"
#include "ParallelView.h"
#include "Plan.h"
#include "PlanPanel.h"
#include "PlanProgress.h"
#include "PopupEdit.h"
#include "StoreFixture.h"
#include "StudyDock.h"
#include "StudyMarks.h"
#include "TavrinApp.h"
#include "TavrinView.h"

using tavrin::EColour;
using tavrin::EItemKind;

class CStudyUiTest : public QObject {
    Q_OBJECT

    static CTavrinApp* App() { return static_cast<CTavrinApp*>(QCoreApplication::instance()); }
    CMainFrame* Frame() { return App()->MainFrame(); }
    QAction* Act(const char* name) { return Frame()->findChild<QAction*>(name); }
    CPopupEdit* Edit() { return Frame()->findChild<CPopupEdit*>("IDC_EDIT_TEXT"); }
    static QString DataFolder() { return qEnvironmentVariable("XDG_DATA_HOME") + "/tavrin"; }
    size_t Count(EItemKind kind) { return Frame()->StudyDb()->List({{kind}, {}}).size(); }
    static QColor Fill(EColour colour, int text, int back) {
        const tavrin::SRgb rgb =
            tavrin::HighlightRgb(colour, tavrin::RgbOf(g_colorItems[text].crColor),
                                 tavrin::RgbOf(g_colorItems[back].crColor));
        return QColor(rgb.m_nRed, rgb.m_nGreen, rgb.m_nBlue);
    }
    static void ClearData() {
        QDir(DataFolder()).removeRecursively();
        QFile::remove(DataFolder());
    }
    void Start(const tavrin::test::CStoreFixture* companion = nullptr) {
        m_pFixture = std::make_unique<tavrin::test::CStoreFixture>();
        m_pFixture->AddSampleSet();
        m_pFixture->Build();
        if (companion)
            companion->CopyTo(m_pFixture->Folder() + "alt");
        QVERIFY(App()->InitInstance(QString::fromStdString(m_pFixture->Folder())));
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }

    std::unique_ptr<tavrin::test::CStoreFixture> m_pFixture;
    QStringList m_arrMessages;

private slots:
    void init() {
        ClearData();
        ResetDisplaySettings(g_colorItems);
        m_arrMessages.clear();
        SetMessageSinkForTesting([this](const QString& m) { m_arrMessages << m; });
    }
    void cleanup() {
        App()->DestroyMainWindow();
        ClearData();  // the home is the other window tests' too
    }

    void marksShowInThePanesAndThePanelUndoes() {
        Start();
        QTRY_VERIFY(Frame()->StudyDb());
        Act("ID_STUDY_HIGHLIGHT_YELLOW")->trigger();  // on 마1: 1, the reference shown
        QCOMPARE(Frame()->StudyDb()->List()[0].m_verse.m_strKey, "마1: 1");
        auto marks = Edit()->extraSelections();
        QCOMPARE(marks.size(), 1);
        QCOMPARE(marks[0].cursor.selectionStart(), 0);
        QCOMPARE(marks[0].cursor.selectionEnd(), Edit()->toPlainText().size());
        QCOMPARE(marks[0].format.background().color(), Fill(EColour::Yellow, 2, 3));
        auto* list = Frame()->findChild<CChapterListBox*>("IDC_LIST_REF");
        QVERIFY(list->RowMark(0).isValid());
        QVERIFY(!list->RowMark(1).isValid());
        QTest::keyClick(Frame(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(Count(EItemKind::Bookmark), 1u);
        QTest::keyClick(Frame(), Qt::Key_D, Qt::ControlModifier);  // toggled off
        QCOMPARE(Count(EItemKind::Bookmark), 0u);
        QVERIFY(Frame()->View()->GoTo("창1:2").isEmpty());  // the other testament
        Act("ID_STUDY_HIGHLIGHT_PINK")->trigger();
        QCOMPARE(Edit()->extraSelections()[0].format.background().color(),
                 Fill(EColour::Pink, 2, 3));

        // The panel lists both in the Bible's order; removed and brought back.
        const int formWidth = Frame()->centralWidget()->width();
        Act("ID_VIEW_STUDY_DOCK")->trigger();
        CStudyDock* dock = Frame()->StudyDock();
        QTRY_VERIFY(dock->isVisible());
        // The window widened for the panel: the form kept its width.
        QTRY_COMPARE(Frame()->centralWidget()->width(), formWidth);
        auto* tree = dock->findChild<QTreeWidget*>("IDC_STUDY_ITEMS");
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(0)->text(0), "창1:2");
        tree->selectAll();
        dock->findChild<QAction*>("ID_STUDY_REMOVE")->trigger();
        QCOMPARE(tree->topLevelItemCount(), 0);
        QVERIFY(Edit()->extraSelections().isEmpty());
        dock->findChild<QAction*>("ID_STUDY_UNDO")->trigger();
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(Edit()->extraSelections().size(), 1);
        tree->setCurrentItem(tree->topLevelItem(1));
        dock->OnGoTo();
        QCOMPARE(Frame()->View()->SelectedReference(), "마1: 1");

        // The reader paints the highlight over its verse and marks its own selection.
        Frame()->View()->LoadChapter("마1: 1");
        CChapterDlg reader(*Frame()->View(), Frame());
        reader.SetVerses(Frame()->View()->Verses());
        reader.show();
        QVERIFY(QTest::qWaitForWindowExposed(&reader));
        auto* text = reader.findChild<CPopupEdit*>("IDC_EDIT_CHAPTER");
        const QColor yellow =
            Fill(EColour::Yellow, tavrin::kReaderTextItem, tavrin::kReaderBackItem);
        marks = text->extraSelections();
        QCOMPARE(marks.size(), 2);  // the highlight, then the verse opened at
        QCOMPARE(marks[0].cursor.selectionStart(), int(reader.m_layout.m_arrSpans[0].m_nStart));
        QCOMPARE(marks[0].format.background().color(), yellow);
        QTextCursor second(text->document());
        second.setPosition(int(tavrin::ShownPosition(reader.m_layout.m_strText,
                                                     reader.m_layout.m_arrSpans[1].m_nStart)) +
                           2);
        second.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 2);
        text->setTextCursor(second);
        reader.findChild<QAction*>("ID_STUDY_HIGHLIGHT_GREEN")->trigger();
        const auto green = Frame()->StudyDb()->List({{}, {EColour::Green}});
        QCOMPARE(green.back().m_verse.m_strKey, "마1: 2");
        QCOMPARE(text->extraSelections().size(), 3);
    }

    void parallelRowsMarkedAndPanelFollowsTheMainSet() {
        tavrin::test::CStoreFixture alt;  // 요한계시록 before 마태복음, and a 마1: 3
        alt.AddBook(tavrin::Testament::New, u"요한계시록", {{u"계1: 1", u"계"}});
        alt.AddBook(tavrin::Testament::New, u"마태복음",
                    {{u"마1: 1", u"가"}, {u"마1: 2", u"나"}, {u"마1: 3", u"다"}});
        alt.Build();
        Start(&alt);
        QTRY_VERIFY(Frame()->StudyDb());
        Act("ID_SET_COMPANION_alt")->trigger();
        Frame()->View()->LoadChapter("마1: 1");
        CChapterDlg reader(*Frame()->View(), Frame());
        reader.show();
        auto* table = reader.findChild<CParallelView*>("IDC_TABLE_PARALLEL");
        QCOMPARE(std::unique_ptr<QMenu>(table->CreatePopupMenu())->actions().last()->objectName(),
                 "ID_STUDY_NOTE");
        table->selectRow(1);
        reader.findChild<QAction*>("ID_STUDY_HIGHLIGHT_YELLOW")->trigger();
        QCOMPARE(table->model()->index(1, 0).data(Qt::BackgroundRole),
                 Fill(EColour::Yellow, tavrin::kReaderTextItem, tavrin::kReaderBackItem));
        table->clearSelection();
        table->selectRow(2);  // 마1: 3, the companion's alone
        reader.findChild<QAction*>("ID_STUDY_BOOKMARK")->trigger();
        QCOMPARE(Count(EItemKind::Bookmark), 0u);
        QVERIFY(Frame()->StudyDb()->SetBookmark({{tavrin::Testament::New, "계1: 1"}}, ""));
        Act("ID_VIEW_STUDY_DOCK")->trigger();
        auto* tree = Frame()->StudyDock()->findChild<QTreeWidget*>("IDC_STUDY_ITEMS");
        QCOMPARE(tree->topLevelItem(0)->text(0), "마1: 2");
        Act("ID_SET_MAIN_alt")->trigger();
        QCOMPARE(tree->topLevelItem(0)->text(0), "계1: 1");
    }

    // The 통독 option marks what the reader showed before its panel was ever built.
    void readingToTheEndMarksPlansWithoutThePanel() {
        Start();
        QTRY_VERIFY(Frame()->StudyDb());
        tavrin::CPlanBook book(*Frame()->StudyDb());
        const auto chapters = tavrin::ReadSetChapters(Frame()->View()->Navigator().Stores());
        const auto made = tavrin::MakePlan(chapters, "custom:마-계:3");
        const auto id =
            book.Start(made.m_plan, chapters, CPlanPanel::DayNumber(QDate::currentDate()));
        QVERIFY(id);
        CTavrinView* view = Frame()->View();
        emit view->chapterShownToEnd(tavrin::Testament::New, QStringLiteral("마1:"));
        QCOMPARE(book.Load(*id)->m_nRead, 0u);
        QVERIFY(book.SetMarkByReading(true));
        emit view->chapterShownToEnd(tavrin::Testament::New, QStringLiteral("마1:"));
        QCOMPARE(book.Load(*id)->m_nRead, 1u);
        QAction* plans = Act("ID_VIEW_PLANS");
        plans->trigger();
        QVERIFY(Frame()->PlanPanel()->isVisible());
        QVERIFY(plans->isChecked());
        Frame()->PlanPanel()->close();
        QVERIFY(!plans->isChecked());
    }

    void damagedDatabaseMovedAsideAndReadingGoesOn() {
        QDir().mkpath(DataFolder());
        const std::string damaged(4096, 'x'),
            path = (DataFolder() + "/study.sqlite3").toStdString();
        tavrin::test::WriteBytes(path, damaged);
        Start();
        QTRY_VERIFY(Frame()->StudyDb());
        QCOMPARE(m_arrMessages.size(), 1);
        const QStringList moved = QDir(DataFolder()).entryList({"study.sqlite3.damaged-*"});
        QCOMPARE(moved.size(), 1);
        QVERIFY(m_arrMessages[0].contains(DataFolder() + '/' + moved[0]));
        QCOMPARE(tavrin::test::ReadBytes(path + moved[0].mid(13).toStdString()), damaged);
        QVERIFY(!Edit()->toPlainText().isEmpty());
    }

    void unopenableDatabaseSaysSoOnceAndCommandsReportIt() {
        tavrin::test::WriteBytes(DataFolder().toStdString(), "a file where the folder goes");
        Start();
        QTRY_COMPARE(m_arrMessages.size(), 1);
        QVERIFY(!Frame()->StudyDb());
        Act("ID_STUDY_BOOKMARK")->trigger();
        QCOMPARE(m_arrMessages.size(), 2);
        QVERIFY(m_arrMessages[1].contains("저장하지 않았습니다"));
    }
};

int main(int argc, char** argv) {
    CTavrinApp app(argc, argv);
    CStudyUiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "study_ui_test.moc"

// planpanel_test.cpp - the 통독 panel offscreen over a study database: a plan started two days
// back, a chapter ticked, one opened, one read to its end.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "Messages.h"
#include "PlanPanel.h"

namespace {

// 창세기 1 and 마태복음 1-180, of one length each: nt-90 reads two a day.
tavrin::SSetChapters Set() {
    tavrin::SSetChapters set;
    set.m_arrBooks = {{tavrin::Testament::Old, u"창세기", u"창", 0, 1},
                      {tavrin::Testament::New, u"마태복음", u"마", 1, 180}};
    set.m_arrChapters.push_back({0, u"창1:", 1, 50});
    for (int c = 1; c <= 180; ++c)
        set.m_arrChapters.push_back({1, u"마" + QString::number(c).toStdU16String() + u':', c, 50});
    return set;
}

}  // namespace

class CPlanPanelTest : public QObject {
    Q_OBJECT

private slots:
    void StartTickOpenAndReadToTheEnd() {
        QStringList messages;
        SetMessageSinkForTesting([&](const QString& text) { messages << text; });
        QTemporaryDir dir;
        tavrin::CStudyDb db;
        QCOMPARE(db.Open(QFile::encodeName(dir.filePath("study.sqlite3")).toStdString()),
                 tavrin::CStudyDb::EOpen::Opened);
        CPlanPanel panel(Set, nullptr);
        panel.SetDatabase(&db);
        panel.show();
        panel.findChild<QComboBox*>("IDC_PLAN_KIND")->setCurrentIndex(1);  // 신약 90일
        panel.findChild<QDateEdit*>("IDC_PLAN_START")->setDate(QDate::currentDate().addDays(-2));
        panel.findChild<QPushButton*>("IDC_PLAN_BEGIN")->click();
        const QLabel* progress = panel.findChild<QLabel*>("IDC_PLAN_PROGRESS");
        QCOMPARE(progress->text(),
                 QStringLiteral("180장 중 0장 읽음 (0%) · 오늘 3일째 / 90일 · 밀린 분량 4장"));
        QListWidget* day = panel.findChild<QListWidget*>("IDC_PLAN_DAY");
        QCOMPARE(day->count(), 2);
        QCOMPARE(day->item(0)->text(), QStringLiteral("마태복음 5장"));
        day->item(0)->setCheckState(Qt::Checked);
        QCOMPARE(progress->text(),
                 QStringLiteral("180장 중 1장 읽음 (0%) · 오늘 3일째 / 90일 · 밀린 분량 4장"));
        QCOMPARE(panel.findChild<QListWidget*>("IDC_PLAN_BEHIND")->count(), 4);

        QString opened;
        connect(&panel, &CPlanPanel::openChapter, this,
                [&](tavrin::Testament, const QString& book, const QString& chapter) {
                    opened = book + chapter;
                });
        emit day->itemActivated(day->item(1));
        QCOMPARE(opened, QStringLiteral("마태복음마6:"));

        // Read to the end: marked only with the option on, and only where due.
        panel.OnChapterShownToEnd(tavrin::Testament::New, QStringLiteral("마1:"));
        QVERIFY(progress->text().startsWith(QStringLiteral("180장 중 1장 읽음")));
        panel.findChild<QCheckBox*>()->setChecked(true);
        panel.OnChapterShownToEnd(tavrin::Testament::New, QStringLiteral("마7:"));
        panel.OnChapterShownToEnd(tavrin::Testament::New, QStringLiteral("마1:"));
        QCOMPARE(progress->text(),
                 QStringLiteral("180장 중 2장 읽음 (1%) · 오늘 3일째 / 90일 · 밀린 분량 3장"));
        QVERIFY(messages.isEmpty());
        SetMessageSinkForTesting({});
    }
};

QTEST_MAIN(CPlanPanelTest)
#include "planpanel_test.moc"

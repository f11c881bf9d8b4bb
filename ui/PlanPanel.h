// PlanPanel.h - the 통독 panel: starts reading plans, shows a day's chapters as a checklist,
// the progress, the chapters behind, the whole schedule, and the plans stopped.
#pragma once

#include <QDockWidget>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "PlanProgress.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;
class QTabWidget;

class CPlanPanel : public QDockWidget {
    Q_OBJECT

public:
    // readChapters reads the main set's chapters and their lengths; it is called when a plan
    // is first started or the custom plan's books are first needed, and its answer kept.
    CPlanPanel(std::function<tavrin::SSetChapters()> readChapters, QWidget* parent);
    ~CPlanPanel() override;

    // The database the plans live in (not owned; it must outlive the panel). Until one is
    // given the panel says there is none and starts nothing.
    void SetDatabase(tavrin::CStudyDb* db);

    // A day number (days since 1970-01-01) and its date.
    static int64_t DayNumber(const QDate& date);
    static QDate DateOf(int64_t day);

    // "시작": starts the chosen plan on the chosen date and shows it.
    void OnStart();
    // The kind of plan chosen: the custom plan's books and days show for it.
    void OnKindChosen(int index);
    // A followed plan chosen in the list: its progress, today's portion and schedule.
    void OnPlanChosen();
    // A chapter's check box in the portion or the list behind.
    void OnItemChanged(QListWidgetItem* item);
    // Double-click or Enter on a chapter: the reader opens there.
    void OnOpenItem(QListWidgetItem* item);
    // A day of the schedule: its chapters become the checklist.
    void OnDayChosen(QListWidgetItem* item);
    // "시작일 변경": the chosen plan starts on the date beside it; its marks stay.
    void OnChangeStart();
    // "중지": asks, then moves the chosen plan to the stopped list.
    void OnStop();
    // "삭제": deletes the chosen stopped plan with its marks.
    void OnDelete();
    void OnMarkByReading(bool on);
    // The reader showed chapter to its last verse: with the option on, the chapter is marked in
    // every followed plan where it is due and unread.
    void OnChapterShownToEnd(tavrin::Testament testament, const QString& chapter);

signals:
    // The user asked to read chapter ("창1:") of book.
    void openChapter(tavrin::Testament testament, const QString& book, const QString& chapter);

private:
    const tavrin::SSetChapters& Chapters();
    void FillPlans(int64_t chosen);  // both lists; chosen (a plan id) selected when followed
    void ShowPlan();                 // everything of the chosen plan
    void ShowDay(int day);           // its checklist
    QListWidgetItem* ReadingItem(QListWidget* list, tavrin::SPlanPlace place, bool withDay);
    std::optional<int64_t> ChosenPlan() const;
    void Tell(const QString& problem);

    std::function<tavrin::SSetChapters()> m_fnReadChapters;
    std::optional<tavrin::SSetChapters> m_chapters;
    std::unique_ptr<tavrin::CPlanBook> m_pBook;
    std::optional<tavrin::SStartedPlan> m_plan;  // the chosen plan, loaded
    int m_nShownDay = 0;                         // of the checklist

    QComboBox* m_comboKind = nullptr;
    QComboBox* m_comboFirst = nullptr;
    QComboBox* m_comboLast = nullptr;
    QSpinBox* m_spinDays = nullptr;
    QWidget* m_customRow = nullptr;
    QDateEdit* m_editStart = nullptr;
    QPushButton* m_btnStart = nullptr;
    QListWidget* m_listPlans = nullptr;
    QLabel* m_labelProgress = nullptr;
    QLabel* m_labelDay = nullptr;
    QTabWidget* m_tabs = nullptr;
    QListWidget* m_listDay = nullptr;
    QListWidget* m_listBehind = nullptr;
    QListWidget* m_listSchedule = nullptr;
    QDateEdit* m_editNewStart = nullptr;
    QPushButton* m_btnNewStart = nullptr;
    QPushButton* m_btnStop = nullptr;
    QCheckBox* m_checkByReading = nullptr;
    QListWidget* m_listStopped = nullptr;
    QPushButton* m_btnDelete = nullptr;
};

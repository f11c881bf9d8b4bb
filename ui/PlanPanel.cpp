// PlanPanel.cpp - the 통독 panel's widgets and the slots that drive the plans in the study
// database.
#include "PlanPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "CodePage.h"
#include "Messages.h"
#include "PassageMessages.h"
#include "WaitCursor.h"

namespace {

constexpr int64_t kJulianDayOfEpoch = 2440588;  // 1970-01-01
constexpr int kDayRole = Qt::UserRole;
constexpr int kPositionRole = Qt::UserRole + 1;

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString ReadingText(const tavrin::SPlanReading& reading) {
    const std::u16string book = tavrin::Utf8ToUtf16(reading.m_strBook);
    return QStringLiteral("%1 %2%3")
        .arg(QString::fromStdU16String(book))
        .arg(reading.m_nChapter)
        .arg(QString::fromStdU16String(std::u16string(tavrin::ChapterCounter(book))));
}

QString StateText(tavrin::EDayState state) {
    switch (state) {
        case tavrin::EDayState::Done:
            return QStringLiteral("다 읽음");
        case tavrin::EDayState::Partly:
            return QStringLiteral("일부 읽음");
        case tavrin::EDayState::NotYet:
            return QStringLiteral("안 읽음");
        case tavrin::EDayState::Future:
            break;
    }
    return QStringLiteral("예정");
}

QString PlanError(const tavrin::SPlanResult& made) {
    const QString detail = Q(made.m_strDetail);
    switch (made.m_error) {
        case tavrin::EPlanError::BadDays:
            return QStringLiteral("날 수는 1에서 %1 사이여야 합니다.").arg(tavrin::kMaxPlanDays);
        case tavrin::EPlanError::UnknownBook:
            return QStringLiteral("본문에 %1 책이 없습니다.").arg(detail);
        case tavrin::EPlanError::BooksBackwards:
            return QStringLiteral("마지막 책이 첫 책보다 앞에 있습니다.");
        case tavrin::EPlanError::TooManyDays:
            return QStringLiteral("날 수가 읽을 장 수(%1)보다 많습니다.").arg(detail);
        default:
            break;
    }
    return QStringLiteral("이 통독표를 만들 수 없습니다.");
}

}  // namespace

CPlanPanel::CPlanPanel(std::function<tavrin::SSetChapters()> readChapters, QWidget* parent)
    : QDockWidget(QStringLiteral("통독"), parent), m_fnReadChapters(std::move(readChapters)) {
    setObjectName(QStringLiteral("IDD_PLAN_PANEL"));
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);

    // A new plan: which, from when.
    auto* form = new QFormLayout;
    m_comboKind = new QComboBox(body);
    m_comboKind->setObjectName(QStringLiteral("IDC_PLAN_KIND"));
    for (const tavrin::SPlanInfo& info : tavrin::BuiltInPlans())
        m_comboKind->addItem(QString::fromStdU16String(std::u16string(info.m_strName)),
                             QString::fromUtf8(info.m_strId.data(), int(info.m_strId.size())));
    m_comboKind->addItem(QStringLiteral("직접 정하기"));
    form->addRow(QStringLiteral("통독표"), m_comboKind);
    m_customRow = new QWidget(body);
    auto* custom = new QHBoxLayout(m_customRow);
    custom->setContentsMargins(0, 0, 0, 0);
    m_comboFirst = new QComboBox(m_customRow);
    m_comboLast = new QComboBox(m_customRow);
    m_spinDays = new QSpinBox(m_customRow);
    m_spinDays->setRange(1, tavrin::kMaxPlanDays);
    m_spinDays->setValue(30);
    m_spinDays->setSuffix(QStringLiteral("일"));
    custom->addWidget(m_comboFirst, 1);
    custom->addWidget(new QLabel(QStringLiteral("~"), m_customRow));
    custom->addWidget(m_comboLast, 1);
    custom->addWidget(m_spinDays);
    m_customRow->hide();
    form->addRow(m_customRow);
    m_editStart = new QDateEdit(QDate::currentDate(), body);
    m_editStart->setObjectName(QStringLiteral("IDC_PLAN_START"));
    m_editStart->setCalendarPopup(true);
    m_editStart->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_btnStart = new QPushButton(QStringLiteral("시작"), body);
    m_btnStart->setObjectName(QStringLiteral("IDC_PLAN_BEGIN"));
    auto* startRow = new QHBoxLayout;
    startRow->addWidget(m_editStart, 1);
    startRow->addWidget(m_btnStart);
    form->addRow(QStringLiteral("시작일"), startRow);
    column->addLayout(form);

    // The plans followed and the chosen one's state.
    column->addWidget(new QLabel(QStringLiteral("읽는 중"), body));
    m_listPlans = new QListWidget(body);
    m_listPlans->setObjectName(QStringLiteral("IDC_PLAN_LIST"));
    m_listPlans->setMaximumHeight(80);
    column->addWidget(m_listPlans);
    m_labelProgress = new QLabel(body);
    m_labelProgress->setObjectName(QStringLiteral("IDC_PLAN_PROGRESS"));
    m_labelProgress->setWordWrap(true);
    column->addWidget(m_labelProgress);
    m_labelDay = new QLabel(body);
    column->addWidget(m_labelDay);
    m_tabs = new QTabWidget(body);
    m_listDay = new QListWidget(m_tabs);
    m_listDay->setObjectName(QStringLiteral("IDC_PLAN_DAY"));
    m_listBehind = new QListWidget(m_tabs);
    m_listBehind->setObjectName(QStringLiteral("IDC_PLAN_BEHIND"));
    m_listSchedule = new QListWidget(m_tabs);
    m_listSchedule->setObjectName(QStringLiteral("IDC_PLAN_SCHEDULE"));
    m_tabs->addTab(m_listDay, QStringLiteral("읽을 분량"));
    m_tabs->addTab(m_listBehind, QStringLiteral("밀린 분량"));
    m_tabs->addTab(m_listSchedule, QStringLiteral("전체 일정"));
    column->addWidget(m_tabs, 1);
    auto* changeRow = new QHBoxLayout;
    m_editNewStart = new QDateEdit(QDate::currentDate(), body);
    m_editNewStart->setCalendarPopup(true);
    m_editNewStart->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_btnNewStart = new QPushButton(QStringLiteral("시작일 변경"), body);
    m_btnStop = new QPushButton(QStringLiteral("중지"), body);
    m_btnStop->setObjectName(QStringLiteral("IDC_PLAN_STOP"));
    changeRow->addWidget(m_editNewStart, 1);
    changeRow->addWidget(m_btnNewStart);
    changeRow->addWidget(m_btnStop);
    column->addLayout(changeRow);
    m_checkByReading =
        new QCheckBox(QStringLiteral("장을 마지막 절까지 읽으면 읽음으로 표시"), body);
    column->addWidget(m_checkByReading);

    column->addWidget(new QLabel(QStringLiteral("중지한 통독"), body));
    m_listStopped = new QListWidget(body);
    m_listStopped->setObjectName(QStringLiteral("IDC_PLAN_STOPPED"));
    m_listStopped->setMaximumHeight(60);
    column->addWidget(m_listStopped);
    m_btnDelete = new QPushButton(QStringLiteral("삭제"), body);
    column->addWidget(m_btnDelete, 0, Qt::AlignRight);
    setWidget(body);

    connect(m_comboKind, &QComboBox::currentIndexChanged, this, &CPlanPanel::OnKindChosen);
    connect(m_btnStart, &QPushButton::clicked, this, &CPlanPanel::OnStart);
    connect(m_listPlans, &QListWidget::currentRowChanged, this, &CPlanPanel::OnPlanChosen);
    for (QListWidget* list : {m_listDay, m_listBehind}) {
        connect(list, &QListWidget::itemChanged, this, &CPlanPanel::OnItemChanged);
        connect(list, &QListWidget::itemActivated, this, &CPlanPanel::OnOpenItem);
    }
    connect(m_listSchedule, &QListWidget::itemActivated, this, &CPlanPanel::OnDayChosen);
    connect(m_btnNewStart, &QPushButton::clicked, this, &CPlanPanel::OnChangeStart);
    connect(m_btnStop, &QPushButton::clicked, this, &CPlanPanel::OnStop);
    connect(m_checkByReading, &QCheckBox::toggled, this, &CPlanPanel::OnMarkByReading);
    connect(m_btnDelete, &QPushButton::clicked, this, &CPlanPanel::OnDelete);
    SetDatabase(nullptr);
}

CPlanPanel::~CPlanPanel() = default;

int64_t CPlanPanel::DayNumber(const QDate& date) {
    return date.toJulianDay() - kJulianDayOfEpoch;
}

QDate CPlanPanel::DateOf(int64_t day) {
    return QDate::fromJulianDay(day + kJulianDayOfEpoch);
}

void CPlanPanel::SetDatabase(tavrin::CStudyDb* db) {
    m_pBook = db ? std::make_unique<tavrin::CPlanBook>(*db) : nullptr;
    widget()->setEnabled(db != nullptr);
    {
        const QSignalBlocker block(m_checkByReading);
        m_checkByReading->setChecked(m_pBook && m_pBook->MarkByReading());
    }
    FillPlans(0);
    if (!db)
        m_labelProgress->setText(
            QStringLiteral("학습 자료 파일이 열리지 않아 통독을 쓸 수 없습니다."));
}

const tavrin::SSetChapters& CPlanPanel::Chapters() {
    if (!m_chapters) {
        const CWaitCursor wait;
        m_chapters = m_fnReadChapters();
    }
    return *m_chapters;
}

void CPlanPanel::Tell(const QString& problem) {
    ShowInformation(this, problem);
}

void CPlanPanel::OnKindChosen(int index) {
    const bool custom = m_comboKind->itemData(index).toString().isEmpty();
    if (custom && m_comboFirst->count() == 0) {
        for (const tavrin::SPlanBook& book : Chapters().m_arrBooks) {
            const QString name = QString::fromStdU16String(book.m_strName);
            m_comboFirst->addItem(name);
            m_comboLast->addItem(name);
        }
        m_comboLast->setCurrentIndex(m_comboLast->count() - 1);
    }
    m_customRow->setVisible(custom);
}

void CPlanPanel::OnStart() {
    QString id = m_comboKind->currentData().toString();
    if (id.isEmpty())
        id = QStringLiteral("custom:%1-%2:%3")
                 .arg(m_comboFirst->currentText(), m_comboLast->currentText())
                 .arg(m_spinDays->value());
    if (!m_pBook)
        return;
    const CWaitCursor wait;
    const tavrin::SPlanResult made = tavrin::MakePlan(Chapters(), id.toStdString());
    if (made.m_error != tavrin::EPlanError::None)
        return Tell(PlanError(made));
    const auto started = m_pBook->Start(made.m_plan, Chapters(), DayNumber(m_editStart->date()));
    if (!started)
        return Tell(QStringLiteral("통독을 시작하지 못했습니다: %1").arg(Q(m_pBook->LastError())));
    FillPlans(*started);
}

void CPlanPanel::FillPlans(int64_t chosen) {
    const std::vector<tavrin::SStartedPlan> plans =
        m_pBook ? m_pBook->List() : std::vector<tavrin::SStartedPlan>();
    {
        const QSignalBlocker block(m_listPlans);
        m_listPlans->clear();
        m_listStopped->clear();
        for (const tavrin::SStartedPlan& plan : plans) {
            auto* item = new QListWidgetItem(
                QStringLiteral("%1 (%2 시작)")
                    .arg(Q(plan.m_strName), DateOf(plan.m_nStartDay).toString(Qt::ISODate)));
            item->setData(kDayRole, QVariant::fromValue<qlonglong>(plan.m_nId));
            (plan.m_bStopped ? m_listStopped : m_listPlans)->addItem(item);
            if (plan.m_nId == chosen && !plan.m_bStopped)
                m_listPlans->setCurrentItem(item);
        }
        if (!m_listPlans->currentItem() && m_listPlans->count() > 0)
            m_listPlans->setCurrentRow(0);
    }
    m_btnDelete->setEnabled(m_listStopped->count() > 0);
    OnPlanChosen();
}

std::optional<int64_t> CPlanPanel::ChosenPlan() const {
    const QListWidgetItem* item = m_listPlans->currentItem();
    if (!item)
        return std::nullopt;
    return item->data(kDayRole).toLongLong();
}

void CPlanPanel::OnPlanChosen() {
    const std::optional<int64_t> id = ChosenPlan();
    m_plan = id && m_pBook ? m_pBook->Load(*id) : std::nullopt;
    m_nShownDay = 0;
    if (m_plan) {
        const int64_t today = DayNumber(QDate::currentDate()) - m_plan->m_nStartDay + 1;
        m_nShownDay = static_cast<int>(
            std::clamp<int64_t>(today, 1, static_cast<int64_t>(m_plan->m_arrDays.size())));
        m_editNewStart->setDate(DateOf(m_plan->m_nStartDay));
    }
    ShowPlan();
}

QListWidgetItem* CPlanPanel::ReadingItem(QListWidget* list, tavrin::SPlanPlace place,
                                         bool withDay) {
    const tavrin::SPlanReading& reading =
        m_plan->m_arrDays[size_t(place.m_nDay - 1)][size_t(place.m_nPosition)];
    QString text = ReadingText(reading);
    if (withDay)
        text = QStringLiteral("%1일째 · %2").arg(place.m_nDay).arg(text);
    auto* item = new QListWidgetItem(text, list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(reading.m_bRead ? Qt::Checked : Qt::Unchecked);
    item->setData(kDayRole, place.m_nDay);
    item->setData(kPositionRole, place.m_nPosition);
    return item;
}

void CPlanPanel::ShowPlan() {
    const QSignalBlocker blockBehind(m_listBehind);
    m_listBehind->clear();
    m_listSchedule->clear();
    for (QWidget* w : {static_cast<QWidget*>(m_btnNewStart), static_cast<QWidget*>(m_btnStop),
                       static_cast<QWidget*>(m_editNewStart)})
        w->setEnabled(m_plan.has_value());
    if (!m_plan) {
        m_labelProgress->setText(
            QStringLiteral("읽는 통독이 없습니다. 통독표와 시작일을 고르고 "
                           "시작하십시오."));
        ShowDay(0);
        return;
    }
    const tavrin::SPlanProgress progress =
        tavrin::PlanProgress(*m_plan, DayNumber(QDate::currentDate()));
    const int days = static_cast<int>(m_plan->m_arrDays.size());
    QString when;
    if (progress.m_nToday < 1)
        when = QStringLiteral("%1일 뒤 시작").arg(1 - progress.m_nToday);
    else if (progress.m_nToday > days)
        when = QStringLiteral("일정 끝 (%1일)").arg(days);
    else
        when = QStringLiteral("오늘 %1일째 / %2일").arg(progress.m_nToday).arg(days);
    m_labelProgress->setText(QStringLiteral("%1장 중 %2장 읽음 (%3%) · %4 · 밀린 분량 %5장")
                                 .arg(progress.m_nTotal)
                                 .arg(progress.m_nRead)
                                 .arg(progress.m_nPercent)
                                 .arg(when)
                                 .arg(progress.m_arrBehind.size()));
    for (const tavrin::SPlanPlace& place : progress.m_arrBehind)
        ReadingItem(m_listBehind, place, true);
    m_tabs->setTabText(1, QStringLiteral("밀린 분량 (%1)").arg(progress.m_arrBehind.size()));
    for (int day = 1; day <= days; ++day) {
        const QString span =
            QString::fromStdU16String(tavrin::DaySummary(m_plan->m_arrDays[size_t(day - 1)]));
        auto* item = new QListWidgetItem(
            QStringLiteral("%1일 (%2) %3 · %4")
                .arg(day)
                .arg(DateOf(m_plan->m_nStartDay + day - 1).toString(QStringLiteral("M/d")))
                .arg(span, StateText(progress.m_arrDayStates[size_t(day - 1)])),
            m_listSchedule);
        item->setData(kDayRole, day);
    }
    ShowDay(m_nShownDay);
}

void CPlanPanel::ShowDay(int day) {
    const QSignalBlocker block(m_listDay);
    m_listDay->clear();
    m_nShownDay = day;
    if (!m_plan || day < 1 || size_t(day) > m_plan->m_arrDays.size()) {
        m_labelDay->clear();
        return;
    }
    m_labelDay->setText(QStringLiteral("%1일째 (%2) 읽을 분량")
                            .arg(day)
                            .arg(DateOf(m_plan->m_nStartDay + day - 1).toString(Qt::ISODate)));
    for (size_t p = 0; p < m_plan->m_arrDays[size_t(day - 1)].size(); ++p)
        ReadingItem(m_listDay, {day, int(p)}, false);
    m_listSchedule->setCurrentRow(day - 1);
}

void CPlanPanel::OnItemChanged(QListWidgetItem* item) {
    if (!m_plan || !m_pBook)
        return;
    const tavrin::SPlanPlace place{item->data(kDayRole).toInt(), item->data(kPositionRole).toInt()};
    if (!m_pBook->SetRead(m_plan->m_nId, place, item->checkState() == Qt::Checked))
        Tell(QStringLiteral("읽음 표시를 하지 못했습니다: %1").arg(Q(m_pBook->LastError())));
    m_plan = m_pBook->Load(m_plan->m_nId);
    ShowPlan();
}

void CPlanPanel::OnOpenItem(QListWidgetItem* item) {
    if (!m_plan)
        return;
    const tavrin::SPlanReading& reading =
        m_plan->m_arrDays.at(size_t(item->data(kDayRole).toInt() - 1))
            .at(size_t(item->data(kPositionRole).toInt()));
    emit openChapter(reading.m_testament, Q(reading.m_strBook), Q(reading.m_strChapter));
}

void CPlanPanel::OnDayChosen(QListWidgetItem* item) {
    ShowDay(item->data(kDayRole).toInt());
    m_tabs->setCurrentWidget(m_listDay);
}

void CPlanPanel::OnChangeStart() {
    const std::optional<int64_t> id = ChosenPlan();
    if (!id || !m_pBook)
        return;
    if (!m_pBook->SetStartDay(*id, DayNumber(m_editNewStart->date())))
        Tell(QStringLiteral("시작일을 바꾸지 못했습니다: %1").arg(Q(m_pBook->LastError())));
    FillPlans(*id);
}

void CPlanPanel::OnStop() {
    const std::optional<int64_t> id = ChosenPlan();
    if (!id || !m_pBook || !m_plan)
        return;
    const auto answer = QMessageBox::question(
        this, QStringLiteral("Tavrin"),
        QStringLiteral("'%1' 통독을 중지할까요? 읽음 표시는 중지한 통독 목록에 남습니다.")
            .arg(Q(m_plan->m_strName)));
    if (answer != QMessageBox::Yes)
        return;
    if (!m_pBook->Stop(*id))
        Tell(QStringLiteral("통독을 중지하지 못했습니다: %1").arg(Q(m_pBook->LastError())));
    FillPlans(0);
}

void CPlanPanel::OnDelete() {
    const QListWidgetItem* item = m_listStopped->currentItem();
    if (!item || !m_pBook)
        return;
    if (!m_pBook->Delete(item->data(kDayRole).toLongLong()))
        Tell(QStringLiteral("통독을 삭제하지 못했습니다: %1").arg(Q(m_pBook->LastError())));
    FillPlans(ChosenPlan().value_or(0));
}

void CPlanPanel::OnMarkByReading(bool on) {
    if (m_pBook && !m_pBook->SetMarkByReading(on))
        Tell(QStringLiteral("설정을 저장하지 못했습니다: %1").arg(Q(m_pBook->LastError())));
}

void CPlanPanel::OnChapterShownToEnd(tavrin::Testament testament, const QString& chapter) {
    if (!m_pBook || !m_checkByReading->isChecked())
        return;
    const std::vector<int64_t> marked =
        m_pBook->MarkChapterRead(testament, chapter.toStdString(), DayNumber(QDate::currentDate()));
    if (!marked.empty()) {
        const int day = m_nShownDay;
        FillPlans(ChosenPlan().value_or(0));
        if (m_plan)
            ShowDay(day);
    }
}

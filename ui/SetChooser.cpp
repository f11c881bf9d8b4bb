// SetChooser.cpp - the "역본" menu and drop-down kept in step with the chosen sets.
#include "SetChooser.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QMenu>
#include <QSignalBlocker>

#include <algorithm>

namespace {
QString ToQ(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

CSetChooser::CSetChooser(QMenu* menu, QComboBox* combo, QObject* parent)
    : QObject(parent), m_pMenu(menu), m_pCombo(combo) {
    connect(m_pCombo, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && static_cast<size_t>(index) < m_arrSets.size())
            ChooseMain(m_arrSets[static_cast<size_t>(index)].m_strId);
    });
}

void CSetChooser::SetSets(const std::vector<tavrin::SLibrarySet>& sets,
                          const tavrin::SSetChoice& choice) {
    m_pMenu->clear();
    delete m_pMainGroup;
    m_pMainGroup = new QActionGroup(this);
    m_pMainGroup->setExclusive(true);
    m_arrSets = sets;
    m_arrMain.clear();
    m_arrCompanions.clear();
    const QSignalBlocker block(m_pCombo);
    m_pCombo->clear();
    for (const tavrin::SLibrarySet& set : sets) {
        const QString name = ToQ(tavrin::DisplayName(set));
        const QString id = QString::fromStdString(set.m_strId);
        QAction* main = m_pMenu->addAction(name);
        main->setObjectName(QStringLiteral("ID_SET_MAIN_") + id);
        main->setCheckable(true);
        main->setActionGroup(m_pMainGroup);
        connect(main, &QAction::triggered, this, [this, id = set.m_strId] { ChooseMain(id); });
        m_arrMain.push_back(main);
        m_pCombo->addItem(name);
    }
    m_pMenu->addSection(QStringLiteral("함께 보기"));
    for (const tavrin::SLibrarySet& set : sets) {
        QAction* companion = m_pMenu->addAction(ToQ(tavrin::DisplayName(set)));
        companion->setObjectName(QStringLiteral("ID_SET_COMPANION_") +
                                 QString::fromStdString(set.m_strId));
        companion->setCheckable(true);
        connect(companion, &QAction::triggered, this,
                [this, id = set.m_strId](bool on) { ToggleCompanion(id, on); });
        m_arrCompanions.push_back(companion);
    }
    m_choice = tavrin::ResolveSetChoice(sets, choice);
    Sync();
}

void CSetChooser::ChooseMain(const std::string& id) {
    if (id == m_choice.m_strMain) {
        Sync();
        return;
    }
    tavrin::SSetChoice wanted = m_choice;
    wanted.m_strMain = id;
    m_choice = tavrin::ResolveSetChoice(m_arrSets, wanted);
    Sync();
    emit mainChosen();
}

void CSetChooser::ToggleCompanion(const std::string& id, bool on) {
    tavrin::SSetChoice wanted = m_choice;
    auto& ids = wanted.m_arrCompanions;
    ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
    if (on)
        ids.push_back(id);
    m_choice = tavrin::ResolveSetChoice(m_arrSets, wanted);
    Sync();
    emit companionsChosen();
}

void CSetChooser::Sync() {
    const auto& ids = m_choice.m_arrCompanions;
    const bool full = ids.size() >= tavrin::kMaxCompanions;
    for (size_t i = 0; i < m_arrSets.size(); ++i) {
        const std::string& id = m_arrSets[i].m_strId;
        const bool isMain = id == m_choice.m_strMain;
        const bool isCompanion = std::find(ids.begin(), ids.end(), id) != ids.end();
        m_arrMain[i]->setChecked(isMain);
        m_arrCompanions[i]->setChecked(isCompanion);
        m_arrCompanions[i]->setEnabled(!isMain && (isCompanion || !full));
        if (isMain) {
            const QSignalBlocker block(m_pCombo);
            m_pCombo->setCurrentIndex(static_cast<int>(i));
        }
    }
}

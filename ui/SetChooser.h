// SetChooser.h - the "역본" menu and the tool bar's drop-down: which usable set is the main text
// (one, exclusive) and which up to two others are shown beside it as companions.
#pragma once

#include <QObject>

#include <string>
#include <vector>

#include "ParallelRows.h"
#include "SetLibrary.h"

class QAction;
class QActionGroup;
class QComboBox;
class QMenu;

class CSetChooser : public QObject {
    Q_OBJECT

public:
    // Fills menu (its main sets, then "함께 보기" with the companions) and
    // combo (the main set, by name) once SetSets is called; both outlive it.
    CSetChooser(QMenu* menu, QComboBox* combo, QObject* parent);

    // Lists sets (each by DisplayName) with choice checked (ResolveSetChoice's).
    void SetSets(const std::vector<tavrin::SLibrarySet>& sets, const tavrin::SSetChoice& choice);
    const tavrin::SSetChoice& Choice() const { return m_choice; }

signals:
    // The user chose another main set (the companions may have lost it).
    void mainChosen();
    // The user checked or unchecked a companion.
    void companionsChosen();

private:
    void ChooseMain(const std::string& id);
    void ToggleCompanion(const std::string& id, bool on);
    // Checks and enables the actions and the combo to match m_choice: the
    // main set is no companion, and with kMaxCompanions checked the rest wait.
    void Sync();

    QMenu* m_pMenu;
    QComboBox* m_pCombo;
    QActionGroup* m_pMainGroup = nullptr;
    std::vector<tavrin::SLibrarySet> m_arrSets;
    std::vector<QAction*> m_arrMain;        // per set
    std::vector<QAction*> m_arrCompanions;  // per set
    tavrin::SSetChoice m_choice;
};

// StudyDock.h - "내 노트": the panel listing the study items in the Bible's order or by date,
// filtered by kind and colour, with a note search; it goes to an item's verse, removes the
// chosen items and brings back the last removal.
#pragma once

#include <QDockWidget>

#include <functional>
#include <string>
#include <vector>

#include "StudyDb.h"

class CStudyCommands;
class QComboBox;
class QLineEdit;
class QTreeWidget;

class CStudyDock : public QDockWidget {
    Q_OBJECT

public:
    // stores gives the set whose order lists the items and names their books; goTo shows a
    // verse (its testament, its book's name and its key) in the form.
    using GoTo = std::function<void(tavrin::Testament, const std::u16string& book,
                                    const std::u16string& key)>;
    CStudyDock(CStudyCommands& commands, std::function<const tavrin::CStoreSet&()> stores,
               GoTo goTo, QWidget* parent);

    // Lists the items again as the filters say (after any change, when shown).
    void Refresh();
    // The set behind stores changed: its order is read at the next listing, at once when shown.
    void OnSetChanged();

    // Go to the current row's verse; remove the chosen rows; bring back the last removal.
    void OnGoTo();
    void OnRemove();
    void OnUndo();

protected:
    void showEvent(QShowEvent* event) override;

private:
    CStudyCommands& m_commands;
    std::function<const tavrin::CStoreSet&()> m_fnStores;
    GoTo m_fnGoTo;
    tavrin::CBibleOrder m_order;
    bool m_bOrderLoaded = false;  // m_order is the present set's
    QComboBox* m_comboOrder = nullptr;
    QComboBox* m_comboKind = nullptr;
    QComboBox* m_comboColour = nullptr;
    QLineEdit* m_editSearch = nullptr;
    QTreeWidget* m_treeItems = nullptr;
    std::vector<tavrin::SStudyItem> m_arrItems;  // the rows' items
};

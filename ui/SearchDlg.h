// SearchDlg.h - the search window: a query field, the testaments to search,
// the number of matches and the matching references with the matched
// characters highlighted; choosing one moves the navigator form there.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "SearchIndex.h"
#include "SearchQuery.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;

class CSearchDlg : public QDialog {
    Q_OBJECT

public:
    // Called with the reference the user chose (a click, the arrow keys, Enter).
    using ChooseFn = std::function<void(const tavrin::SSearchEntry&)>;

    // Searches the store set in folder, read into memory at the first search
    // (from the search cache when it is current).
    // Stays open beside its parent until closed (Escape); not modal.
    CSearchDlg(std::string folder, ChooseFn choose, QWidget* parent = nullptr);
    ~CSearchDlg() override;

    // Sets the search may read instead, by name and folder, the first being
    // the one given at construction; the set choice shows for two or more.
    void SetSets(const std::vector<std::pair<QString, std::string>>& sets);

    // Searches for query in the chosen testaments and lists the matches, as
    // typing it does.
    void Search();
    // "인쇄..." (Ctrl+P) and "PDF로 저장...": the matches listed, one line
    // each (reference, then the text), titled with the query and the count.
    void OnPrint();
    void OnSavePdf();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class CModel;
    class CDelegate;

    void Choose(const QModelIndex& index);
    QString PagesTitle() const;
    QString PagesText() const;

    std::string m_strFolder;
    ChooseFn m_choose;
    tavrin::CSearchIndex m_index;
    tavrin::CSearchQuery m_query;
    std::vector<size_t> m_arrResults;
    QLineEdit* m_editQuery;
    QComboBox* m_comboScope;
    QComboBox* m_comboSet;
    std::vector<std::string> m_arrSetFolders;  // per entry of m_comboSet
    QLabel* m_labelCount;
    QListView* m_listResults;
    CModel* m_pModel;
    bool m_bPlaced = false;
};

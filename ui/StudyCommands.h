// StudyCommands.h - the marking commands on verses (책갈피, 형광펜, 메모) over the window's study
// database, and their menu entries, which each window that carries them out owns.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "StoreSet.h"
#include "StudyDb.h"

class QAction;
class QMenu;
class QWidget;

// Verses chosen in a pane: their testament and keys as the reference list shows them.
struct SChosenVerses {
    tavrin::Testament m_testament = tavrin::Testament::New;
    std::vector<std::u16string> m_arrKeys;
};

class CStudyCommands : public QObject {
    Q_OBJECT

public:
    // db gives the open database or nullptr; problem what to say while there is none.
    CStudyCommands(std::function<tavrin::CStudyDb*()> db, std::function<QString()> problem,
                   QObject* parent);

    tavrin::CStudyDb* Db() const { return m_fnDb(); }
    // The database, or nullptr after telling parent why there is none.
    tavrin::CStudyDb* Usable(QWidget* parent);
    // The same, and nullptr (nothing said) when no verse is chosen.
    tavrin::CStudyDb* Usable(QWidget* parent, const SChosenVerses& chosen);

    // Each reports a failure (no database, or what the database said) to parent, and
    // announces a change with itemsChanged. Nothing chosen does nothing.
    // Bookmarks every chosen verse; when every one has one already, removes them.
    void ToggleBookmark(QWidget* parent, const SChosenVerses& chosen);
    // Asks for the label of the first chosen verse's bookmark and sets it on each.
    void EditBookmarkLabel(QWidget* parent, const SChosenVerses& chosen);
    // Highlights each chosen verse in colour; nullopt removes their highlights.
    void Highlight(QWidget* parent, const SChosenVerses& chosen,
                   std::optional<tavrin::EColour> colour);
    // The first chosen verse's note in the editor: its latest note edited (emptied: removed),
    // or a new one added.
    void EditNote(QWidget* parent, const SChosenVerses& chosen);
    // Removes items by id; brings back the last removal.
    void Remove(QWidget* parent, const std::vector<int64_t>& ids);
    void UndoRemove(QWidget* parent);

signals:
    void itemsChanged();

private:
    void Done(QWidget* parent, bool ok);

    std::function<tavrin::CStudyDb*()> m_fnDb;
    std::function<QString()> m_fnProblem;
};

// The entries: "책갈피" (Ctrl+D), "책갈피 이름...", "형광펜" with the five colours and "지우기",
// "메모..." (Ctrl+M). Actions of owner, their keys live in context.
struct SStudyActions {
    QAction* m_actBookmark = nullptr;
    QAction* m_actLabel = nullptr;
    QMenu* m_menuHighlight = nullptr;
    std::array<QAction*, 5> m_arrColours{};  // EColour's order
    QAction* m_actClear = nullptr;
    QAction* m_actNote = nullptr;
    // Adds the entries to menu (the highlight submenu as one entry).
    void AddTo(QMenu* menu) const;
};
// Makes the entries, run by commands on what chosen() gives at the time.
SStudyActions CreateStudyActions(QWidget* owner, Qt::ShortcutContext context,
                                 CStudyCommands* commands, std::function<SChosenVerses()> chosen);

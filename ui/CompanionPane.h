// CompanionPane.h - the pane under the text pane: the companions' texts of the reference the form
// shows, each labelled with its set's name; it owns the companions' open stores.
#pragma once

#include <QTextEdit>

#include <memory>
#include <string>
#include <vector>

#include "ParallelRows.h"
#include "SetLibrary.h"
#include "StoreSet.h"

// A rich text box: the plain one draws no space between the sets' paragraphs.
class CCompanionPane : public QTextEdit {
    Q_OBJECT

public:
    // The message shown for a companion that cannot be read.
    static constexpr const char16_t* kUnreadable = u"읽을 수 없습니다";

    explicit CCompanionPane(QWidget* parent = nullptr);
    ~CCompanionPane() override;

    // Opens sets as the companions, each checked (CheckSetFolder) before its
    // stores are opened, so a damaged set only shows as unreadable; the pane
    // hides when sets is empty. Clears the text until the next ShowReference.
    void SetCompanions(const std::vector<tavrin::SLibrarySet>& sets);
    // The notes shown where a companion divides verses differently.
    void SetDivisions(std::vector<tavrin::SDivision> table) { m_arrDivisions = std::move(table); }
    const std::vector<tavrin::SDivision>& Divisions() const { return m_arrDivisions; }
    bool HasCompanions() const { return !m_arrCompanions.empty(); }

    // Shows each companion's text of reference: "NAME TEXT"; a companion
    // lacking it its name alone, then its division note if any; an unreadable
    // one its name and kUnreadable.
    void ShowReference(tavrin::Testament testament, std::u16string_view reference);

    // Each companion's verses of chapterReference (every verse), its name
    // (kUnreadable added when unreadable) and its description, in order.
    std::vector<tavrin::SParallelColumn> Chapters(tavrin::Testament testament,
                                                  std::u16string_view chapterReference) const;
    std::vector<std::u16string> Names() const;
    std::vector<std::u16string> Descriptions() const;

private:
    struct SCompanion {
        tavrin::SLibrarySet m_set;
        std::unique_ptr<tavrin::CStoreSet> m_pStores;  // null when the set is unreadable
    };
    std::vector<SCompanion> m_arrCompanions;
    std::vector<tavrin::SDivision> m_arrDivisions;
};

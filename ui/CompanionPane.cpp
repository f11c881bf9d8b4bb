// CompanionPane.cpp - the companions' texts of the form's reference, labelled by set name.
#include "CompanionPane.h"

#include <QTextCursor>

#include "Chapter.h"

namespace {
QString ToQ(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

CCompanionPane::CCompanionPane(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("IDC_EDIT_COMPANIONS"));
    setReadOnly(true);
    setAcceptRichText(false);
    setUndoRedoEnabled(false);  // replaced on every choice: nothing to undo, nothing to keep
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setHidden(true);
}

CCompanionPane::~CCompanionPane() = default;

void CCompanionPane::SetCompanions(const std::vector<tavrin::SLibrarySet>& sets) {
    m_arrCompanions.clear();
    for (const tavrin::SLibrarySet& set : sets) {
        SCompanion companion{set, nullptr};
        // A set damaged since the library looked is never handed to the engine.
        if (tavrin::CheckSetFolder(set.m_strFolder).empty()) {
            auto stores = std::make_unique<tavrin::CStoreSet>();
            if (stores->OpenStores(set.m_strFolder))
                companion.m_pStores = std::move(stores);
        }
        m_arrCompanions.push_back(std::move(companion));
    }
    clear();
    setVisible(!m_arrCompanions.empty());
}

void CCompanionPane::ShowReference(tavrin::Testament testament, std::u16string_view reference) {
    // Written through a cursor in one edit block: no markup to parse, and the
    // document is laid out once for the whole change.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    QTextCharFormat plain;
    QTextCharFormat label;
    label.setFontWeight(QFont::Bold);
    QTextCharFormat note;
    note.setFontItalic(true);
    // Each set's text ends half a line above the next set's, so they read apart.
    QTextBlockFormat setEnd;
    setEnd.setBottomMargin(fontMetrics().lineSpacing() / 2.0);
    bool first = true;
    const auto line = [&](const QTextCharFormat& format, const QString& text) {
        if (!first)
            cursor.insertBlock(QTextBlockFormat());
        first = false;
        cursor.insertText(text, format);
    };
    for (const SCompanion& c : m_arrCompanions) {
        line(label, ToQ(tavrin::DisplayName(c.m_set)));
        if (!c.m_pStores) {
            cursor.insertText(u' ' + ToQ(kUnreadable), plain);
        } else {
            cursor.insertText(u' ' + ToQ(c.m_pStores->ReadReferenceText(testament, reference)),
                              plain);
            if (const auto n =
                    tavrin::KeyNote(m_arrDivisions, c.m_set.m_strId, reference, testament))
                line(note, QStringLiteral("※ ") + ToQ(*n));
        }
        cursor.setBlockFormat(setEnd);
    }
    cursor.endEditBlock();
}

std::vector<tavrin::SParallelColumn> CCompanionPane::Chapters(
    tavrin::Testament testament, std::u16string_view chapterReference) const {
    std::vector<tavrin::SParallelColumn> columns;
    for (const SCompanion& c : m_arrCompanions) {
        columns.push_back({c.m_set.m_strId, {}});
        if (c.m_pStores)
            columns.back().m_arrVerses = c.m_pStores->LoadChapter(testament, chapterReference,
                                                                  tavrin::kMaxWholeChapterVerses);
    }
    return columns;
}

std::vector<std::u16string> CCompanionPane::Names() const {
    std::vector<std::u16string> names;
    for (const SCompanion& c : m_arrCompanions)
        names.push_back(tavrin::DisplayName(c.m_set) +
                        (c.m_pStores ? u"" : u" (" + std::u16string(kUnreadable) + u")"));
    return names;
}

std::vector<std::u16string> CCompanionPane::Descriptions() const {
    std::vector<std::u16string> descriptions;
    for (const SCompanion& c : m_arrCompanions) descriptions.push_back(c.m_set.m_strDescription);
    return descriptions;
}

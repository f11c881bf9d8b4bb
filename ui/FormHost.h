// FormHost.h - what the navigator form asks of the window it sits in: the
// two text fonts, the settings file and the chapter reader's place and layout.
#pragma once

#include <QFont>

#include <optional>

#include "DisplaySettings.h"
#include "ReaderState.h"

class CStudyCommands;

class CFormHost {
public:
    virtual ~CFormHost() = default;
    // (Re)creates both fonts from the display settings.
    virtual void CreateFonts() = 0;
    virtual const QFont& MainFont() const = 0;     // the text pane's
    virtual const QFont& ChapterFont() const = 0;  // the chapter reader's
    // Writes items and the display settings to the settings file; false when it failed.
    virtual bool SaveSettings(COLORITEM* items) = 0;
    // Where the chapter reader last stood, if it was ever placed.
    virtual std::optional<tavrin::SWindowPlace> ChapterPlace() const = 0;
    // Keeps place as the reader's and writes the state file at once.
    virtual void KeepChapterPlace(const tavrin::SWindowPlace& place) = 0;
    // Whether the reader lays chapters out in paragraphs (kept in the state file).
    virtual bool ChapterParagraphs() const = 0;
    virtual void KeepChapterParagraphs(bool paragraphs) = 0;
    // The marking commands over the reader's study database; nullptr for a host without them.
    virtual CStudyCommands* StudyCommands() const { return nullptr; }
};

// ChapterHost.h - what the chapter reader asks of the form it reads through.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include "Navigator.h"
#include "ParallelRows.h"

// The reader's parallel layout: a column per set, rows aligned by verse.
struct SParallelChapter {
    QStringList m_arrNames;  // the columns' headers
    std::vector<tavrin::SParallelRow> m_arrRows;
};

class CStudyCommands;

class CChapterHost {
public:
    virtual ~CChapterHost() = default;
    // Reads the chapter before or after the one read last in the set's book
    // order (see tavrin::CNavigator::MoveChapter); into another book the
    // form's panes follow to that chapter's first verse.
    virtual tavrin::EChapterMove MoveChapter(tavrin::EDirection direction) = 0;
    // The verses read last: key, text, key, text... (at most 99 verses).
    virtual QStringList Verses() const = 0;
    // The same with every verse of the chapter.
    virtual QStringList WholeChapter() const = 0;
    // The full name of the book of the chapter read last, and the reader's
    // title for that chapter ("요한복음 3장", "시편 23편").
    virtual QString ChapterBook() const = 0;
    virtual QString ChapterTitle() const = 0;
    // Appends text as a note under the form's testament, book and reference,
    // and tells the user how it went.
    virtual void SaveNote(const QString& text) = 0;
    // The font of the reader's text.
    virtual QFont ChapterFont() const = 0;
    // Steps the reader's font size through the zoom steps (steps > 0 larger,
    // < 0 smaller; 0 back to the default size), remakes the fonts and writes
    // the settings file as the colours dialog does.
    virtual void ZoomChapter(int steps) = 0;
    // The reader's layout choice, kept in the state file.
    virtual bool ChapterParagraphs() const = 0;
    virtual void KeepChapterParagraphs(bool paragraphs) = 0;
    // The format of copy with the reference (tavrin::EncodeCitationFormat).
    virtual int CitationFormat() const = 0;
    // The store set's name as a citation names it (tavrin::SetDisplayName).
    virtual QString SetName() const = 0;
    // The marking commands, and the testament of the chapter read last, whose verses they
    // mark; a host without marks gives nullptr.
    virtual CStudyCommands* StudyCommands() const { return nullptr; }
    virtual tavrin::Testament ChapterTestament() const { return tavrin::Testament::New; }
    // The chapter read last beside the companions' (no rows without companions).
    virtual SParallelChapter ParallelChapter() const { return {}; }
    // The reader has shown chapter (its reference with ':', "창1:") down to its
    // last verse; told once each time the reader comes to a chapter.
    virtual void ChapterShownToEnd(const QString& /*chapter*/) {}
};

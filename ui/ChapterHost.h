// ChapterHost.h - what the chapter reader asks of the form it reads through.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include "Navigator.h"

class CChapterHost {
public:
    virtual ~CChapterHost() = default;
    // Reads the chapter before or after the one read last (see
    // tavrin::CNavigator::MoveChapter).
    virtual tavrin::EChapterMove MoveChapter(tavrin::EDirection direction) = 0;
    // The verses read last: key, text, key, text...
    virtual QStringList Verses() const = 0;
    // Appends text as a note under the form's testament, book and reference,
    // and tells the user how it went.
    virtual void SaveNote(const QString& text) = 0;
    // The font of the reader's text.
    virtual QFont ChapterFont() const = 0;
};

// PrintText.h - a titled text on pages (a printer's, or an A4 PDF written
// whole or not at all): the title as every page's header, page numbers below.
#pragma once

#include <QString>

#include <functional>

class QFont;
class QWidget;

// Writes the pages as an A4 PDF to path through a QSaveFile, so a failed
// write leaves nothing new under that name (an old file stays whole).
// Empty when written, else what went wrong, in Korean, naming the file.
QString WritePdf(const QString& path, const QString& title, const QString& text, const QFont& font);

// "인쇄...": Qt's print dialog, then the pages on the printer chosen; a
// printer that fails is told in one message.
void PrintWithDialog(QWidget* parent, const QString& title, const QString& text, const QFont& font);

// "PDF로 저장...": asks for a file name (title + ".pdf" offered in the
// documents folder), then WritePdf; a failure is told in one message.
void SavePdfWithDialog(QWidget* parent, const QString& title, const QString& text,
                       const QFont& font);

// Routes SavePdfWithDialog's question to ask (given the name offered, it
// returns the chosen path, "" for none); an empty function restores the dialog.
void SetPdfPathAskerForTesting(std::function<QString(const QString&)> ask);

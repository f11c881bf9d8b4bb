// NoteEditDlg.h - the small editor of one verse's note: free text, line breaks kept, up to
// tavrin::kMaxNoteChars characters.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;

class CNoteEditDlg : public QDialog {
    Q_OBJECT

public:
    // reference names the verse in the title; text is the note as it stands ("" for a new one).
    CNoteEditDlg(const QString& reference, const QString& text, QWidget* parent);
    // The text as edited, line breaks as LF.
    QString Text() const;

    void accept() override;  // refused, with the reason shown, past the limit

private:
    QPlainTextEdit* m_editNote = nullptr;
    QLabel* m_labelCount = nullptr;
};

// ChapterDlg.h - the chapter reader: one chapter's verses in a large text box,
// with buttons that move to the previous and next chapter, and its commands.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

#include "ChapterHost.h"

class CPopupEdit;
class QToolBar;

namespace Ui {
class CChapterDlg;
}

class CChapterDlg : public QDialog {
    Q_OBJECT

public:
    // host is the navigator form it reads chapters through; it must outlive
    // the reader. The reader is not shown until the caller runs it (exec()).
    CChapterDlg(CChapterHost& host, QWidget* parent);
    ~CChapterDlg() override;

    // Replaces m_arrChapter with a copy of verses (key/text pairs, as in
    // tavrin::CNavigator::m_arrVerses); the first showing lays them out.
    void SetVerses(const QStringList& verses);

    // The text box's menu commands: copy the selection saved when the menu
    // opened; copy the whole text; append the whole chapter text to the notes
    // file through the form and give the focus back to the reader.
    void OnPopupCopy();
    void OnPopupCopyAll();
    void OnPopupSave();

    // Loads the chapter after (before) the one the form read last, through the
    // form, and shows it from its first verse (Alt+Right or Ctrl+PgDn, Alt+Left
    // or Ctrl+PgUp, as the two buttons); the busy cursor shows meanwhile. A next chapter
    // without a single verse is missing: the user is told and the reader
    // closes (accepted). Without a neighbouring chapter number (before
    // chapter 1, or past the largest) nothing happens. A previous chapter
    // without verses is shown empty.
    void OnNextChapter();
    void OnPrevChapter();

    QString m_strTitle;        // the book name shown as title while open
    int m_nTopVerse = 0;       // the verse (0-based) the first showing puts at the top
    QStringList m_arrChapter;  // the verses shown (key/text pairs)
    QString m_strChapterText;  // the laid-out text in the box

protected:
    // The first showing lays out the chapter with verse m_nTopVerse's key line
    // at the top (or scrolled as far as it goes) and applies the title, the
    // chapter font and colour items 6 (text) and 7 (background).
    void showEvent(QShowEvent* event) override;

private:
    void ApplyDisplaySettings();
    void ScrollToVerse(int index);
    void MoveChapter(tavrin::EDirection direction);

    CChapterHost& m_host;
    std::unique_ptr<Ui::CChapterDlg> m_ui;
    CPopupEdit* m_editChapter = nullptr;  // edit 1007, owned by the dialog
    QToolBar* m_toolBar = nullptr;        // previous, next; owned by the dialog
    bool m_bInitialised = false;
};

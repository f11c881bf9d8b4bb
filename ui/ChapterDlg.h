// ChapterDlg.h - the chapter reader: one chapter's verses in a large text box,
// with buttons that move to the previous and next chapter.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

#include "ChapterHost.h"

class CPopupEdit;
class QAction;
class QToolBar;

namespace Ui {
class CChapterDlg;
}

class CChapterDlg : public QDialog {
    Q_OBJECT

public:
    // host is the navigator form (parent the reader's parent window); it
    // becomes g_pView. The reader is not shown until the caller runs it
    // (exec() or open()).
    CChapterDlg(CChapterHost* host, QWidget* parent);
    ~CChapterDlg() override;

    // Replaces m_arrChapter with a copy of verses (key/text pairs, as in
    // CTavrinView::m_arrVerses); the first showing lays them out.
    void SetVerses(const QStringList& verses);

    // The text box's menu commands: 0 copies the selection saved when the
    // menu opened, 1 copies the whole text, 2 appends the whole chapter text
    // to the notes file through the form and gives the focus back to the reader.
    // Other values do nothing.
    void DoPopupCommand(int k);

    // Loads the chapter after (before) the one the form read last, through the
    // form, and shows it from its first verse (Alt+Right or Ctrl+PgDn, Alt+Left
    // or Ctrl+PgUp, as the two buttons); the busy cursor shows meanwhile. A next chapter
    // without a single verse is missing: the user is told and the reader
    // closes (accepted). Without a neighbouring chapter number (before
    // chapter 1, or past the largest) nothing happens. A previous chapter
    // without verses is shown empty. No-ops when there is no g_pView.
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

    std::unique_ptr<Ui::CChapterDlg> m_ui;
    CPopupEdit* m_editChapter = nullptr;  // edit 1007, owned by the dialog
    QToolBar* m_toolBar = nullptr;        // previous, next; owned by the dialog
    bool m_bInitialised = false;
};

// The reader that is open, or null when none is.
extern CChapterDlg* g_pChapterDlg;
// The navigator form the reader reads chapters through; set by the CChapterDlg
// constructor.
extern CChapterHost* g_pView;

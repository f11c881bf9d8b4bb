// ChapterDlg.h - the chapter reader: one chapter's verses in a large text box,
// with buttons that move to the previous and next chapter, and its commands.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

#include "ChapterHost.h"
#include "ChapterLayout.h"
#include "StudyCommands.h"

class CParallelView;
class CPopupEdit;
class QAction;
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
    // opened; copy the whole text; append the whole text shown to the notes
    // file through the form and give the focus back to the reader.
    void OnPopupCopy();
    void OnPopupCopyAll();
    void OnPopupSave();
    // "참조와 함께 복사" (Ctrl+Shift+C): the selection as it stands with the
    // reference of the verses it touches, in the host's citation format; from
    // the menu, the selection saved when it opened. Nothing chosen, nothing copied.
    void OnCopyCited();
    void OnPopupCopyCited();

    // Loads the chapter after (before) the one the form read last, through the
    // form, in the set's book order, and shows it from its first verse
    // (Alt+Right or Ctrl+PgDn, Alt+Left or Ctrl+PgUp, as the two buttons), the
    // title naming it; the busy cursor shows meanwhile. Past the last chapter
    // the user is told and the reader closes (accepted); before the first the
    // user is told and the reader stays.
    void OnNextChapter();
    void OnPrevChapter();

    // Zoom (Ctrl+= or Ctrl++, Ctrl+-, Ctrl+0, Ctrl+wheel on the text): the
    // host steps and saves the reader's size, and the text takes the new font.
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomReset();
    // The layout button: paragraphs when checked, kept by the host; the verse
    // at the top stays at the top.
    void OnLayoutParagraphs(bool paragraphs);
    // "인쇄..." (Ctrl+P) and "PDF로 저장...": the text shown, titled.
    void OnPrint();
    void OnSavePdf();
    // The marking commands' verses: those the selection touches, else the one at the
    // cursor, else the marked one; in the parallel layout the selected rows', else the marked
    // row's, leaving out rows the main set lacks.
    SChosenVerses ChosenVerses() const;

    QString m_strTitle;               // the chapter's title shown while open ("요한복음 3장")
    int m_nTopVerse = 0;              // the verse (0-based) the first showing marks and scrolls to
    QStringList m_arrChapter;         // the verses of the specified layout (key/text pairs)
    QStringList m_arrWholeChapter;    // every verse of the chapter, for the paragraph layout
    QString m_strChapterText;         // the laid-out text in the box
    tavrin::SChapterLayout m_layout;  // the layout shown, with each verse's place
    int m_nMarkedVerse = -1;          // the verse marked (the one opened at), -1 for none

protected:
    // The first showing lays out the chapter, marks verse m_nTopVerse and puts
    // it at the top (or scrolled as far as it goes), and applies the title,
    // the chapter font and colour items 6 (text) and 7 (background).
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsParallel() const;
    // Lays out the host's parallel chapter; false (nothing shown) without companions.
    bool ShowParallel();
    void ApplyDisplaySettings();
    void ShowChapter();
    void ShowMark();  // the host's highlights, then the marked verse
    void ShowParallelMarks();
    const QStringList& LaidOutVerses() const;
    void ScrollToVerse(int index);
    int TopVerse() const;  // the verse at the top of the box, -1 for none
    void MoveChapter(tavrin::EDirection direction);
    void Zoom(int steps);
    void CopyCited(int start, int end);
    // Tells the host once when the chapter's last verse is in view.
    void CheckShownToEnd();

    CChapterHost& m_host;
    std::unique_ptr<Ui::CChapterDlg> m_ui;
    CPopupEdit* m_editChapter = nullptr;  // edit 1007, owned by the dialog
    QToolBar* m_toolBar = nullptr;        // previous, next, layout; owned by the dialog
    QAction* m_actParagraphs = nullptr;   // the layout button
    // The parallel layout (IDC_TABLE_PARALLEL), shown instead of the text box
    // while the host has companions; owned by the dialog.
    CParallelView* m_pParallel = nullptr;
    bool m_bInitialised = false;
    SStudyActions m_study;    // empty when the host has no marks
    bool m_bEndTold = false;  // the host knows this chapter was shown to its end
};

// TavrinView.h - the navigator form: testament, book list, reference list and
// text pane showing a tavrin::CNavigator, and the form's commands.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <string>

#include "ChapterHost.h"
#include "Citation.h"
#include "FormHost.h"
#include "History.h"
#include "Navigator.h"
#include "SearchIndex.h"
#include "SetLibrary.h"
#include "StudyCommands.h"

class CChapterListBox;
class CCompanionPane;
class CSearchDlg;
class CPopupEdit;
class QComboBox;
class QMenu;
class QGroupBox;
class QRadioButton;

namespace Ui {
class CTavrinView;
}

class CTavrinView : public QWidget, public CChapterHost {
    Q_OBJECT

public:
    // host is the window the form sits in; it must outlive the form. The
    // stores are read from storeFolder (its subfolders' sets offered beside
    // it), or when it is empty from the library's default set (the first
    // usable set of the lookup folders). Nothing is opened before OnInitialUpdate.
    CTavrinView(CFormHost& host, const QString& storeFolder, QWidget* parent = nullptr);
    ~CTavrinView() override;

    // First showing (run again by a new document): opens the stores when they
    // are not all open (one message when any is missing), selects the New
    // Testament and fills the panes, focuses the reference pane, applies the
    // colours and the main font.
    void OnInitialUpdate();

    // The testament's radio button was clicked: the navigator takes that
    // testament, and its book list, first book, first reference and text fill
    // the panes.
    void OnRadioOld();
    void OnRadioNew();
    // Takes testament and fills the panes from its book list down to the
    // first reference's text.
    void ShowBookList(tavrin::Testament testament);
    // The user chose a book (its references and first text) or a reference (its text).
    void OnSelchangeBook();
    void OnSelchangeReference();

    // Shows testament, book and reference, as if the user had picked each
    // (see tavrin::CNavigator::Select); false, the panes unchanged, when the
    // store set does not list them.
    bool RestorePassage(tavrin::Testament testament, std::u16string_view book,
                        std::u16string_view reference);
    // Asks for a passage ("요3:16", "요한복음 3장 16절", "창1") in the go-to
    // dialog and goes there.
    void OnGoTo();
    // Moves the panes to the passage typed (tavrin::CNavigator::GoTo) and
    // gives the reference pane the focus; "" when moved, else what is wrong
    // in Korean, with nothing changed.
    QString GoTo(const QString& typed);
    // Opens the search window (built at the first use, kept open beside the
    // form until closed) and puts the keyboard in its query field.
    void OnEditFind();
    // Shows a search result's reference as if the user had picked it.
    void ShowSearchResult(const tavrin::SSearchEntry& entry);
    // Scrolls the reference pane to its selected entry.
    void ShowSelectedReference();

    // Shows the first listed verse of chapter ("창1:") in book and opens the
    // reader there; tells the user when the set does not list the chapter.
    void OpenChapterAt(tavrin::Testament testament, const QString& book, const QString& chapter);

    // Reads the chapter reference belongs to (see tavrin::CNavigator::LoadChapter).
    void LoadChapter(const QString& reference);

    // Appends a note of text under the form's testament, book and reference to
    // the notes file; confirms, or names the file that could not be written.
    void SaveNote(const QString& text) override;
    // The same with the text pane's text.
    void SaveNoteFromForm();
    // Writes one record with entry and tells the user whether it was saved.
    void AppendNote(const QString& entry);

    QString SelectedReference() const;  // the navigator's reference, "" when none

    // Applies colour items 0-5 as palettes: 1 fills the form, 0 colours the
    // text of the radio buttons and the group box, 4 and 5 the reference pane
    // and the book pane (its list and its closed face), 2 and 3 the text pane.
    // Scroll bars keep the application's colours.
    void ApplyColorItems();
    // The colours dialog, modally; its settings are applied, the fonts made
    // again and the settings file written however it was left.
    void OnViewColors();
    // The commands of the menus and the tool bar: save the text pane's text
    // as a note (Ctrl+S and "파일에 저장"), copy the text pane's selection
    // saved when its menu last opened ("복사", also the text pane's menu's).
    void OnFileSave();
    void OnVerseCopy();
    // The rest of the text pane's menu: copy all of it, save its text as a note.
    void OnPopupCopyAll();
    void OnPopupSave();
    // Opens the chapter reader on the selected reference, modally, with that
    // verse at the top, where the reader last stood.
    void OpenChapterReader();

    // Data exchange of m_strText with the text pane: true reads the pane.
    void UpdateData(bool saveAndValidate);

    // The main window's chapter keys: the first listed verse of the previous
    // or next chapter, across books and testaments (NeighbourChapterInSet);
    // nothing changes before the first chapter or past the last.
    void OnPrevChapter();
    void OnNextChapter();
    // Back and forward through the passages shown, skipping those the set
    // no longer lists.
    void OnHistoryBack();
    void OnHistoryForward();
    // Starts recording the passages shown with history, and records the one
    // shown now. Until then nothing is recorded (the first showing is not a
    // visit of the user's).
    void StartHistory(tavrin::CHistory history);
    const tavrin::CHistory& History() const { return m_history; }

signals:
    // After each change of the history: whether back / forward have an entry
    // to go to (one the set no longer lists is found out, and skipped, on use).
    void historyMoved(bool canGoBack, bool canGoForward);
    // The reader has shown chapter ("창1:") of testament to its last verse.
    void chapterShownToEnd(tavrin::Testament testament, const QString& chapter);
    // SwitchMainSet read another set: its book order is the Bible's order from now on.
    void mainSetChanged();

public:
    // Zoom of the main size (text pane and reference list) through the zoom
    // steps; the size is saved to the settings file as the colours dialog
    // saves it.
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomReset();
    void ZoomBy(int steps);
    // Gives the text pane the main font and the reference list a font scaled
    // the same way from the application's (unchanged at the default size).
    void ApplyMainFont();

    // "참조와 함께 복사": the list's chosen references with their reference,
    // in the chosen format.
    void OnCopyWithReference();
    // The same from the text pane's menu: its saved selection cited as it
    // stands, or the chosen references when nothing was selected.
    void OnPopupCopyWithReference();
    // The citation format dialog; the choice is kept in m_nCitationFormat.
    void OnCitationFormat();

    tavrin::EChapterMove MoveChapter(tavrin::EDirection direction) override;
    QStringList Verses() const override;  // the verses read last (key/text pairs)
    QStringList WholeChapter() const override;
    QString ChapterBook() const override;
    QString ChapterTitle() const override;
    QFont ChapterFont() const override;
    void ZoomChapter(int steps) override;
    bool ChapterParagraphs() const override;
    void KeepChapterParagraphs(bool paragraphs) override;
    int CitationFormat() const override;
    QString SetName() const override;
    void ChapterShownToEnd(const QString& chapter) override;

    const tavrin::CNavigator& Navigator() const { return m_nav; }

    // The text pane's viewport, where the first text is painted.
    QWidget* TextViewport() const;
    // The marking commands' verses: the list's chosen references in the testament shown.
    SChosenVerses ChosenVerses() const;
    // Adds the window's marking entries to the text pane's and the reference list's menus.
    void SetMoreMenuEntries(const std::function<void(QMenu*)>& add);
    // Shows the study items again: the stripes of the reference list's marked entries and
    // the shown verse's highlight over the text pane.
    void ShowStudyMarks();
    CStudyCommands* StudyCommands() const override { return m_host.StudyCommands(); }
    tavrin::Testament ChapterTestament() const override { return m_nav.GetTestament(); }

    // BibleNote.txt in the user's documents folder.
    static QString NotesFilePath();

    // The sets found at the first showing, and the id of the one the form
    // reads ("" when it reads a folder that holds no usable set).
    const tavrin::CSetLibrary& Library() const { return m_library; }
    const std::string& MainSetId() const { return m_strMainSetId; }
    const std::string& OpenedFolder() const { return m_strOpenedFolder; }
    // Reads set from now on: the panes keep the passage as far as set lists
    // it (tavrin::KeepPassage); an unreadable set changes nothing and says so.
    void SwitchMainSet(const tavrin::SLibrarySet& set);
    // Shows the companion pane empty, so that the window keeps its layout when
    // SetCompanions fills it after the first text is painted.
    void ReserveCompanionPane(bool reserve);
    // Shows sets' texts of each reference in the companion pane (hidden for none).
    void SetCompanions(const std::vector<tavrin::SLibrarySet>& sets);
    CCompanionPane* Companions() const { return m_pCompanions; }
    // The reader's columns: the main set's whole chapter, then the companions'.
    SParallelChapter ParallelChapter() const override;

    QString m_strText;  // text of the text pane
    // The copy with the reference's format (EncodeCitationFormat's form).
    int m_nCitationFormat = tavrin::EncodeCitationFormat({});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Scans the library once and gives the folder the form reads.
    std::string StoreFolder();
    // Writes the panes from the navigator.
    void ShowAll();  // radio buttons and every pane below
    void ShowBooks();
    void ShowReferences();
    void ShowText();
    void ShowListMarks();
    void ShowTextMarks();
    // Records the passage shown now in the history (once started).
    void RecordVisit();
    void TellHistory();
    bool HistoryEntryExists(const tavrin::SHistoryEntry& entry) const;

    CFormHost& m_host;
    std::unique_ptr<Ui::CTavrinView> m_ui;
    QString m_strStoreFolder;
    std::string m_strOpenedFolder;  // where the stores were last looked for
    tavrin::CSetLibrary m_library;
    bool m_bLibraryScanned = false;
    std::string m_strMainSetId;
    CCompanionPane* m_pCompanions = nullptr;  // under the text pane, owned by the form
    tavrin::CNavigator m_nav;
    std::unique_ptr<CSearchDlg> m_pSearchDlg;  // once opened, until the form goes
    CPopupEdit* m_editText = nullptr;          // edit 1005, owned by the form
    CChapterListBox* m_listRef = nullptr;      // list box 1003
    QComboBox* m_comboBook = nullptr;          // combo box 1002
    QRadioButton* m_radioOld = nullptr;        // 1000
    QRadioButton* m_radioNew = nullptr;        // 1001
    QGroupBox* m_groupScripture = nullptr;     // "성경"
    tavrin::CHistory m_history;
    bool m_bHistoryStarted = false;
    int m_nWheelDelta = 0;  // Ctrl+wheel turned short of a notch
};

// TavrinView.cpp - the navigator form: its panes follow the navigator's
// cascade; notes, copies, colours and the chapter reader are its commands.
#include "TavrinView.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStyledItemDelegate>

#include <cstdlib>

#include "ChapterDlg.h"
#include "ChapterListBox.h"
#include "ColorSelector.h"
#include "CommandIds.h"
#include "DisplaySettings.h"
#include "GoToDlg.h"
#include "MainFrame.h"
#include "Messages.h"
#include "Palette.h"
#include "PopupEdit.h"
#include "Reference.h"
#include "SearchDlg.h"
#include "ShellTitle.h"
#include "WaitCursor.h"
#include "WindowPlace.h"
#include "ui_TavrinView.h"

using tavrin::Testament;

namespace {
QString ToQ(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

CTavrinView::CTavrinView(QWidget* parent, const QString& storeFolder)
    : QWidget(parent), m_ui(std::make_unique<Ui::CTavrinView>()), m_strStoreFolder(storeFolder) {
    m_ui->setupUi(this);
    m_radioOld = m_ui->IDC_RADIO_OLD;
    m_radioNew = m_ui->IDC_RADIO_NEW;
    m_comboBook = m_ui->IDC_COMBO_BOOK;
    m_listRef = m_ui->IDC_LIST_REF;
    m_editText = m_ui->IDC_EDIT_TEXT;
    m_groupScripture = m_ui->IDC_STATIC_SCRIPTURE;
    // The style's own drop-down draws its entries as menu items in menu
    // colours; a plain item delegate draws them in the list's colours.
    m_comboBook->setItemDelegate(new QStyledItemDelegate(m_comboBook));

    connect(m_radioOld, &QRadioButton::clicked, this, &CTavrinView::OnRadioOld);
    connect(m_radioNew, &QRadioButton::clicked, this, &CTavrinView::OnRadioNew);
    // The program's own selections are made with signals blocked, so these
    // fire for the user's choices only.
    connect(m_comboBook, &QComboBox::currentIndexChanged, this, &CTavrinView::OnSelchangeBook);
    connect(m_listRef, &CChapterListBox::selectionChangedByUser, this,
            &CTavrinView::OnSelchangeReference);
}

CTavrinView::~CTavrinView() {
    m_nav.CloseStores();
}

std::string CTavrinView::StoreFolder() const {
    if (m_strStoreFolder.isEmpty()) {
        return tavrin::FindStoreFolder(tavrin::ProgramFolder(), std::getenv);
    }
    return QFile::encodeName(m_strStoreFolder).toStdString();
}

void CTavrinView::OnInitialUpdate() {
    UpdateData(false);
    m_pMainFrame = CMainFrame::Instance();
    // A new document keeps a complete store set; an incomplete one is tried again.
    // The search reads the very folder the form reads, even if a set has
    // appeared elsewhere since: its results are picked by index in the form.
    if (!m_nav.AreStoresOpen())
        m_strOpenedFolder = StoreFolder();
    m_nav.OpenStores(m_strOpenedFolder,
                     [this](std::u16string_view message) { ShowInformation(this, ToQ(message)); });
    m_radioNew->setChecked(true);  // unchecks 1000: one group
    OnRadioNew();
    m_listRef->setFocus();
    CreateBrushes();
    m_nav.ClearVerses();
    if (m_pMainFrame) {
        m_pMainFrame->CreateFonts();
        m_editText->setFont(m_pMainFrame->m_fontMain);
    }
}

Testament CTavrinView::CurrentTestament() const {
    return m_radioOld->isChecked() ? Testament::Old : Testament::New;
}

void CTavrinView::OnRadioOld() {
    ShowBookList(Testament::Old);
}

void CTavrinView::OnRadioNew() {
    ShowBookList(Testament::New);
}

void CTavrinView::ShowBookList(Testament testament) {
    m_nav.SetTestament(CurrentTestament());
    m_nav.ShowBookList(testament);
    ShowBooks();
    ShowReferences();
    ShowText();
}

void CTavrinView::OnSelchangeBook() {
    const CWaitCursor wait;
    m_nav.SetTestament(CurrentTestament());
    m_nav.SelectBook(m_comboBook->currentIndex());
    ShowReferences();
    ShowText();
}

void CTavrinView::OnSelchangeReference() {
    m_nav.SetTestament(CurrentTestament());
    m_nav.SelectReference(m_listRef->CurrentRow());
    ShowText();
}

void CTavrinView::ShowAll() {
    m_radioOld->setChecked(m_nav.GetTestament() == Testament::Old);
    m_radioNew->setChecked(m_nav.GetTestament() == Testament::New);
    ShowBooks();
    ShowReferences();
    ShowText();
}

bool CTavrinView::RestorePassage(Testament testament, std::u16string_view book,
                                 std::u16string_view reference) {
    if (!m_nav.Select(testament, book, reference))
        return false;
    ShowAll();
    return true;
}

void CTavrinView::OnGoTo() {
    CGoToDlg dlg([this](const QString& typed) { return GoTo(typed); }, this);
    dlg.exec();
}

QString CTavrinView::GoTo(const QString& typed) {
    const CWaitCursor wait;
    m_nav.SetTestament(CurrentTestament());
    const std::u16string problem = m_nav.GoTo(typed.toStdU16String());
    if (!problem.empty())
        return ToQ(problem);
    ShowAll();
    m_listRef->setFocus(Qt::ShortcutFocusReason);
    return {};
}

void CTavrinView::OnEditFind() {
    if (!m_pSearchDlg) {
        m_pSearchDlg = std::make_unique<CSearchDlg>(
            m_strOpenedFolder, [this](const tavrin::SSearchEntry& e) { ShowSearchResult(e); },
            window());
    }
    m_pSearchDlg->show();
    m_pSearchDlg->raise();
    m_pSearchDlg->activateWindow();
}

void CTavrinView::ShowSearchResult(const tavrin::SSearchEntry& entry) {
    const CWaitCursor wait;
    if (m_nav.Select(entry.m_testament, static_cast<int>(entry.m_nBook),
                     static_cast<int>(entry.m_nReference)))
        ShowAll();
}

void CTavrinView::ShowSelectedReference() {
    m_listRef->SetCurrentRow(m_listRef->CurrentRow());
}

void CTavrinView::ShowBooks() {
    const QSignalBlocker block(m_comboBook);
    m_comboBook->clear();
    int n = 0;
    for (const std::u16string& name : m_nav.Books()) {
        m_comboBook->insertItem(n++, ToQ(name));
    }
    m_comboBook->setCurrentIndex(m_nav.BookIndex());
}

void CTavrinView::ShowReferences() {
    m_listRef->setUpdatesEnabled(false);
    m_listRef->SetReferences(m_nav.References());
    m_listRef->setUpdatesEnabled(true);
    m_listRef->SetCurrentRow(m_nav.ReferenceIndex());
}

void CTavrinView::ShowText() {
    m_strText = ToQ(m_nav.Text());
    UpdateData(false);
}

QString CTavrinView::CurrentBookName() const {
    return m_comboBook->currentText();
}

QString CTavrinView::SelectedReference() const {
    return ToQ(m_nav.Reference());
}

void CTavrinView::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        m_editText->setPlainText(m_strText);
        return;
    }
    // The pane gives line breaks back as LF; the text it shows is kept as it
    // was set unless the pane really holds something else.
    const QString shown = m_editText->toPlainText();
    if (QString(m_strText).replace(QLatin1String("\r\n"), QLatin1String("\n")) != shown) {
        m_strText = shown;
    }
}

void CTavrinView::LoadChapter(const QString& reference) {
    m_nav.SetTestament(CurrentTestament());
    m_nav.LoadChapter(reference.toStdU16String());
}

tavrin::EChapterMove CTavrinView::MoveChapter(tavrin::EDirection direction) {
    m_nav.SetTestament(CurrentTestament());
    return m_nav.MoveChapter(direction);
}

QStringList CTavrinView::Verses() const {
    QStringList verses;
    verses.reserve(static_cast<qsizetype>(m_nav.m_arrVerses.size()));
    for (const std::u16string& s : m_nav.m_arrVerses) {
        verses.append(ToQ(s));
    }
    return verses;
}

QString CTavrinView::NotesFilePath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty()) {
        dir = QDir::homePath();
    }
    return QDir(dir).filePath(QString::fromLatin1(tavrin::kNotesFileName));
}

void CTavrinView::SaveNoteFromForm() {
    UpdateData(true);
    SaveNote(m_strText);
}

void CTavrinView::SaveNote(const QString& text) {
    UpdateData(true);
    AppendNote(ToQ(m_nav.NoteEntry(text.toStdU16String())));
}

void CTavrinView::AppendNote(const QString& entry) {
    const QString path = NotesFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const auto result =
        m_nav.AppendNote(QFile::encodeName(path).toStdString(), entry.toStdU16String());
    // Both messages name the file where it really is.
    const QString shown = QDir::toNativeSeparators(path);
    ShowInformation(this, result == tavrin::ENoteResult::Saved
                              ? QStringLiteral("%1 파일에 저장되었습니다.").arg(shown)
                              : QStringLiteral("%1 파일에 저장하지 못했습니다.").arg(shown));
}

void CTavrinView::CreateBrushes() {
    const auto c = [](int i) { return g_colorItems[i].crColor; };
    // Palettes pass down to children: the form's fill and the group box's
    // text colour must stop at the panes, or they would colour the panes'
    // scroll bars and the book pane.
    ApplyColor(this, QPalette::Window, c(1));
    setAutoFillBackground(true);
    for (QWidget* label : {static_cast<QWidget*>(m_groupScripture),
                           static_cast<QWidget*>(m_radioOld), static_cast<QWidget*>(m_radioNew)})
        ApplyColor(label, QPalette::WindowText, c(0));
    for (QWidget* pane : {static_cast<QWidget*>(m_listRef), static_cast<QWidget*>(m_comboBook),
                          static_cast<QWidget*>(m_editText)})
        KeepDefaultColors(pane, {QPalette::Window, QPalette::WindowText});
    ApplyColors(m_listRef, QPalette::Base, c(5), QPalette::Text, c(4));
    // The book pane's closed face where the style draws it as a button.
    ApplyColors(m_comboBook, QPalette::Button, c(5), QPalette::ButtonText, c(4));
    ApplyColors(m_comboBook, QPalette::Base, c(5), QPalette::Text, c(4));
    ApplyColors(m_comboBook->view(), QPalette::Base, c(5), QPalette::Text, c(4));
    ApplyColors(m_editText, QPalette::Base, c(3), QPalette::Text, c(2));
}

void CTavrinView::OnViewColors() {
    {
        CColorSelector dlg(this);
        dlg.m_pColorItems = g_colorItems;
        dlg.exec();  // applied whether left with OK or not
    }
    CreateBrushes();
    if (m_pMainFrame) {
        m_pMainFrame->CreateFonts();
        m_editText->setFont(m_pMainFrame->m_fontMain);
        m_pMainFrame->SaveSettings(g_colorItems);
    }
}

void CTavrinView::OnPopupCommand(int id) {
    CChapterDlg* reader = g_pChapterDlg;
    switch (id - ID_POPUP_FIRST) {
        case 1:
            reader ? reader->DoPopupCommand(0)
                   : CopySavedSelection(m_editText, m_editText->m_dwMenuSel);
            break;
        case 2:
            OpenChapterReader();
            break;
        case 3:
            reader ? reader->DoPopupCommand(1) : CopyAll(m_editText);
            break;
        case 4:
            reader ? reader->DoPopupCommand(2) : SaveNote(m_strText);
            break;
        default:
            break;
    }
}

void CTavrinView::OpenChapterReader() {
    auto dlg = std::make_unique<CChapterDlg>(this, this);
    g_pChapterDlg = dlg.get();
    const QString reference = SelectedReference();
    LoadChapter(reference);
    dlg->SetVerses(Verses());
    dlg->m_nTopVerse = tavrin::VerseIndexOf(m_nav.m_arrVerses, reference.toStdU16String());
    dlg->m_strTitle = CurrentBookName();
    const std::optional<tavrin::SWindowPlace> place =
        m_pMainFrame ? m_pMainFrame->ChapterPlace() : std::nullopt;
    if (place)
        RestorePlace(dlg.get(), *place);
    dlg->exec();
    if (m_pMainFrame) {
        m_pMainFrame->SetChapterPlace(PlaceOf(dlg.get()));
        m_pMainFrame->SaveState();
    }
    dlg.reset();
    g_pChapterDlg = nullptr;
    SetShellTitle(this, QStringLiteral("Tavrin"));
}

bool CTavrinView::OnCmdMsg(int id) {
    switch (id) {
        case ID_FILE_SAVE:
        case ID_VERSE_SAVE:
            SaveNoteFromForm();
            return true;
        case ID_VERSE_COPY:
            CopySavedSelection(m_editText, m_editText->m_dwMenuSel);
            return true;
        case ID_VIEW_COLORS:
            OnViewColors();
            return true;
        case ID_VERSE_GOTO:
            OnGoTo();
            return true;
        case ID_EDIT_FIND:
            OnEditFind();
            return true;
        default:
            if (id >= ID_POPUP_FIRST && id <= ID_POPUP_LAST) {
                OnPopupCommand(id);
                return true;
            }
            return false;
    }
}

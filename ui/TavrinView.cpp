// TavrinView.cpp - the navigator form's cascade of reads, notes and commands.
#include "TavrinView.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStandardPaths>

#include <cstdlib>
#include <ctime>

#include "Chapter.h"
#include "ChapterDlg.h"
#include "ChapterListBox.h"
#include "ColorSelector.h"
#include "CommandIds.h"
#include "DisplaySettings.h"
#include "MainFrame.h"
#include "Messages.h"
#include "Notes.h"
#include "Palette.h"
#include "PopupEdit.h"
#include "ShellTitle.h"
#include "ui_TavrinView.h"

using tavrin::Testament;

namespace {
QString ToQ(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// Busy cursor for the life of a scope.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
}  // namespace

CTavrinView::CTavrinView(QWidget* parent, const QString& storeFolder)
    : QWidget(parent), m_ui(std::make_unique<Ui::CTavrinView>()), m_strStoreFolder(storeFolder) {
    m_ui->setupUi(this);
    m_radioOld = m_ui->IDC_RADIO_OLD;
    m_radioNew = m_ui->IDC_RADIO_NEW;
    m_comboBook = m_ui->IDC_COMBO_BOOK;
    m_listRef = m_ui->IDC_LIST_REF;
    m_editText = m_ui->IDC_EDIT_TEXT;

    connect(m_radioOld, &QRadioButton::clicked, this, &CTavrinView::OnRadioOld);
    connect(m_radioNew, &QRadioButton::clicked, this, &CTavrinView::OnRadioNew);
    // The program's own selections are made with signals blocked, so these
    // fire for the user's choices only.
    connect(m_comboBook, &QComboBox::currentIndexChanged, this, &CTavrinView::OnSelchangeBook);
    // The selection, not the current row: a click makes an entry current
    // before it is selected.
    connect(m_listRef, &QListWidget::itemSelectionChanged, this,
            &CTavrinView::OnSelchangeReference);
}

CTavrinView::~CTavrinView() {
    m_stores.CloseStores();
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
    if (!m_stores.AreStoresOpen()) {
        m_stores.OpenStores(StoreFolder(), [this](std::u16string_view message) {
            ShowInformation(this, ToQ(message));
        });
    }
    m_radioNew->setChecked(true);  // unchecks 1000: one group
    OnRadioNew();
    m_listRef->setFocus();
    CreateBrushes();
    m_arrVerses.clear();
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
    {
        const QSignalBlocker block(m_comboBook);
        m_comboBook->clear();
        if (!m_stores.AreStoresOpen()) {
            return;
        }
        int n = 0;
        for (const std::u16string& name : m_stores.ReadBookList(testament)) {
            m_comboBook->insertItem(n++, ToQ(name));
        }
        m_comboBook->setCurrentIndex(0);
    }
    OnSelchangeBook();
}

void CTavrinView::OnSelchangeBook() {
    const CWaitCursor wait;
    {
        const QSignalBlocker block(m_listRef);
        m_listRef->clear();
        if (!m_stores.AreStoresOpen()) {
            return;
        }
        const auto refs =
            m_stores.ReadReferenceList(CurrentTestament(), CurrentBookName().toStdU16String());
        m_listRef->setUpdatesEnabled(false);
        int n = 0;
        for (const std::u16string& ref : refs) {
            m_listRef->insertItem(n++, ToQ(ref));
        }
        m_listRef->setUpdatesEnabled(true);
        m_listRef->setCurrentRow(0);
    }
    OnSelchangeReference();
}

void CTavrinView::OnSelchangeReference() {
    const QString reference = SelectedReference();
    if (!m_stores.AreStoresOpen()) {
        return;
    }
    m_strText = ToQ(m_stores.ReadReferenceText(CurrentTestament(), reference.toStdU16String()));
    UpdateData(false);
}

QString CTavrinView::CurrentBookName() const {
    return m_comboBook->currentText();
}

QString CTavrinView::SelectedReference() const {
    const QList<QListWidgetItem*> selected = m_listRef->selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
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
    m_arrVerses.clear();
    const std::u16string chapter = tavrin::ChapterReference(reference.toStdU16String());
    m_strChapter = ToQ(chapter);
    if (!m_stores.AreStoresOpen()) {
        return;
    }
    for (const std::u16string& s : m_stores.LoadChapter(CurrentTestament(), chapter)) {
        m_arrVerses.append(ToQ(s));
    }
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
    const std::u16string entry =
        tavrin::FormatNoteEntry(CurrentTestament(), CurrentBookName().toStdU16String(),
                                SelectedReference().toStdU16String(), text.toStdU16String());
    AppendNote(ToQ(entry));
}

void CTavrinView::AppendNote(const QString& entry) {
    const QString path = NotesFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const auto result =
        tavrin::AppendNote(QFile::encodeName(path).toStdString(), entry.toStdU16String(), local);
    if (result == tavrin::ENoteResult::Saved) {
        ShowInformation(this, ToQ(tavrin::kNoteSavedMessage));
    } else {
        ShowInformation(
            this,
            QStringLiteral("%1 파일에 저장하지 못했습니다.").arg(QDir::toNativeSeparators(path)));
    }
}

void CTavrinView::CreateBrushes() {
    const auto c = [](int i) { return g_colorItems[i].crColor; };
    ApplyColors(this, QPalette::Window, c(1), QPalette::WindowText, c(0));
    ApplyColors(m_listRef, QPalette::Base, c(5), QPalette::Text, c(4));
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
    auto* dlg = new CChapterDlg(this);
    g_pChapterDlg = dlg;
    LoadChapter(SelectedReference());
    dlg->SetVerses(m_arrVerses);
    dlg->m_strTitle = CurrentBookName();
    dlg->exec();
    delete dlg;
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
        default:
            if (id >= ID_POPUP_FIRST && id <= ID_POPUP_LAST) {
                OnPopupCommand(id);
                return true;
            }
            return false;
    }
}

// TavrinView.cpp - the navigator form: its panes show the navigator's
// cascade; notes, copies, colours and the chapter reader are its commands.
#include "TavrinView.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTextEdit>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

#include "Chapter.h"
#include "ChapterDlg.h"
#include "ChapterListBox.h"
#include "CitationDlg.h"
#include "ColorSelector.h"
#include "CompanionPane.h"
#include "DisplaySettings.h"
#include "GoToDlg.h"
#include "Messages.h"
#include "Palette.h"
#include "PopupEdit.h"
#include "Reference.h"
#include "SearchDlg.h"
#include "SetInfo.h"
#include "ShellTitle.h"
#include "StudyMarks.h"
#include "WaitCursor.h"
#include "WindowPlace.h"
#include "ZoomSteps.h"
#include "ui_TavrinView.h"

using tavrin::Testament;

namespace {
QString ToQ(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

CTavrinView::CTavrinView(CFormHost& host, const QString& storeFolder, QWidget* parent)
    : QWidget(parent),
      m_host(host),
      m_ui(std::make_unique<Ui::CTavrinView>()),
      m_strStoreFolder(storeFolder) {
    m_ui->setupUi(this);
    m_radioOld = m_ui->IDC_RADIO_OLD;
    m_radioNew = m_ui->IDC_RADIO_NEW;
    m_comboBook = m_ui->IDC_COMBO_BOOK;
    m_listRef = m_ui->IDC_LIST_REF;
    m_editText = m_ui->IDC_EDIT_TEXT;
    m_groupScripture = m_ui->IDC_STATIC_SCRIPTURE;
    m_pCompanions = new CCompanionPane(this);
    m_ui->layoutLeft->addWidget(m_pCompanions, 1);
    // The style's own drop-down draws its entries as menu items in menu
    // colours; a plain item delegate draws them in the list's colours.
    m_comboBook->setItemDelegate(new QStyledItemDelegate(m_comboBook));

    // Tab enters the testaments at the checked one, as arrows move between them.
    m_radioOld->installEventFilter(this);
    m_radioNew->installEventFilter(this);

    connect(m_radioOld, &QRadioButton::clicked, this, &CTavrinView::OnRadioOld);
    connect(m_radioNew, &QRadioButton::clicked, this, &CTavrinView::OnRadioNew);
    // The program's own selections are made with signals blocked, so these
    // fire for the user's choices only.
    connect(m_comboBook, &QComboBox::currentIndexChanged, this, &CTavrinView::OnSelchangeBook);
    connect(m_listRef, &CChapterListBox::selectionChangedByUser, this,
            &CTavrinView::OnSelchangeReference);
    connect(m_listRef, &CChapterListBox::wholeChapterRequested, this,
            &CTavrinView::OpenChapterReader);
    connect(m_editText, &CPopupEdit::copyRequested, this, &CTavrinView::OnVerseCopy);
    connect(m_editText, &CPopupEdit::copyAllRequested, this, &CTavrinView::OnPopupCopyAll);
    connect(m_editText, &CPopupEdit::saveRequested, this, &CTavrinView::OnPopupSave);
    connect(m_editText, &CPopupEdit::copyWithReferenceRequested, this,
            &CTavrinView::OnPopupCopyWithReference);
    connect(m_listRef, &CChapterListBox::copyWithReferenceRequested, this,
            &CTavrinView::OnCopyWithReference);
    // Ctrl+wheel zooms through the steps, not through the panes' own zoom.
    m_editText->viewport()->installEventFilter(this);
    m_listRef->viewport()->installEventFilter(this);
}

bool CTavrinView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel &&
        (watched == m_editText->viewport() || watched == m_listRef->viewport())) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            // A notch is 120; touch pads send parts of one.
            m_nWheelDelta += wheel->angleDelta().y();
            const int steps = m_nWheelDelta / QWheelEvent::DefaultDeltasPerStep;
            m_nWheelDelta -= steps * QWheelEvent::DefaultDeltasPerStep;
            if (steps != 0)
                ZoomBy(steps);
            wheel->accept();
            return true;
        }
    }
    if ((watched == m_radioOld || watched == m_radioNew) && event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        QRadioButton* checked = m_radioOld->isChecked() ? m_radioOld : m_radioNew;
        if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) &&
            watched != checked && checked->isChecked())
            checked->setFocus(reason);
    }
    return QWidget::eventFilter(watched, event);
}

CTavrinView::~CTavrinView() {
    m_nav.CloseStores();
}

std::string CTavrinView::StoreFolder() {
    if (!m_bLibraryScanned) {
        m_bLibraryScanned = true;
        if (m_strStoreFolder.isEmpty())
            m_library.ScanDefault(tavrin::ProgramFolder(), std::getenv);
        else
            m_library.Scan({QFile::encodeName(m_strStoreFolder).toStdString()});
        // The versification notes lie beside the default set.
        const std::string beside = m_library.Default() ? m_library.Default()->m_strFolder : "";
        m_pCompanions->SetDivisions(tavrin::ReadDivisionsFile(beside + tavrin::kVersificationFile));
    }
    if (!m_strStoreFolder.isEmpty()) {
        // The set held in the folder itself is "main"; its subfolders' are companions.
        const tavrin::SLibrarySet* set = m_library.Find("main");
        m_strMainSetId = set ? set->m_strId : std::string();
        return QFile::encodeName(m_strStoreFolder).toStdString();
    }
    if (const tavrin::SLibrarySet* set = m_library.Default()) {
        m_strMainSetId = set->m_strId;
        return set->m_strFolder;
    }
    // Opening the program's folder reports the missing set.
    return tavrin::FindStoreFolder(tavrin::ProgramFolder(), std::getenv);
}

void CTavrinView::OnInitialUpdate() {
    UpdateData(false);
    // A new document keeps a complete store set; an incomplete one is tried again.
    // The search reads the very folder the form reads, even if a set has
    // appeared elsewhere since: its results are picked by index in the form.
    if (!m_nav.AreStoresOpen())
        m_strOpenedFolder = StoreFolder();
    m_nav.OpenStores(m_strOpenedFolder,
                     [this](std::u16string_view message) { ShowInformation(this, ToQ(message)); });
    OnRadioNew();
    m_listRef->setFocus();
    ApplyColorItems();
    m_nav.ClearVerses();
    ApplyMainFont();
    RecordVisit();
}

void CTavrinView::OnRadioOld() {
    ShowBookList(Testament::Old);
}

void CTavrinView::OnRadioNew() {
    ShowBookList(Testament::New);
}

void CTavrinView::ShowBookList(Testament testament) {
    m_nav.SetTestament(testament);
    m_nav.ShowBookList(testament);
    ShowAll();
}

void CTavrinView::OnSelchangeBook() {
    const CWaitCursor wait;
    m_nav.SelectBook(m_comboBook->currentIndex());
    ShowReferences();
    ShowText();
}

void CTavrinView::OnSelchangeReference() {
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
        // The main set first, then every other set of the library.
        const QString name = SetName();
        std::vector<std::pair<QString, std::string>> sets{
            {name.isEmpty() ? QString::fromStdString(m_strMainSetId) : name, m_strOpenedFolder}};
        for (const tavrin::SLibrarySet& set : m_library.Sets())
            if (set.m_strId != m_strMainSetId)
                sets.emplace_back(ToQ(tavrin::DisplayName(set)), set.m_strFolder);
        m_pSearchDlg->SetSets(sets);
    }
    m_pSearchDlg->show();
    m_pSearchDlg->raise();
    m_pSearchDlg->activateWindow();
}

void CTavrinView::ShowSearchResult(const tavrin::SSearchEntry& entry) {
    const CWaitCursor wait;
    if (m_nav.Select(entry.m_testament, static_cast<int>(entry.m_nBook),
                     static_cast<int>(entry.m_nReference)) &&
        m_nav.BookName() == entry.m_strBook && m_nav.Reference() == entry.m_strReference) {
        ShowAll();
        return;
    }
    // A result of another set: its passage by name, as far as this set lists it.
    const auto kept = tavrin::KeepPassage(
        m_nav.Stores(),
        {entry.m_testament, std::u16string(entry.m_strBook), std::u16string(entry.m_strReference)});
    if (!kept || !RestorePassage(kept->m_testament, kept->m_strBook, kept->m_strReference))
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
    ShowListMarks();
}

void CTavrinView::ShowText() {
    m_strText = ToQ(m_nav.Text());
    UpdateData(false);
    ShowTextMarks();
    if (m_pCompanions->HasCompanions())
        m_pCompanions->ShowReference(m_nav.GetTestament(), m_nav.Reference());
    RecordVisit();
}

QWidget* CTavrinView::TextViewport() const {
    return m_editText->viewport();
}

SChosenVerses CTavrinView::ChosenVerses() const {
    SChosenVerses chosen{m_nav.GetTestament(), {}};
    for (const int row : m_listRef->ChosenRows())
        if (row >= 0 && row < static_cast<int>(m_nav.References().size()))
            chosen.m_arrKeys.push_back(m_nav.References()[static_cast<size_t>(row)]);
    return chosen;
}

void CTavrinView::SetMoreMenuEntries(const std::function<void(QMenu*)>& add) {
    m_editText->m_fnMoreEntries = add;
    m_listRef->m_fnMoreEntries = add;
}

void CTavrinView::ShowStudyMarks() {
    ShowListMarks();
    ShowTextMarks();
}

void CTavrinView::ShowListMarks() {
    CStudyCommands* study = m_host.StudyCommands();
    tavrin::CStudyDb* db = study ? study->Db() : nullptr;
    if (!db)
        return;
    const auto marks = tavrin::MarksOfKeys(*db, m_nav.GetTestament(), m_nav.References());
    const QColor text = m_listRef->palette().color(QPalette::Text);
    std::vector<QColor> stripes(marks.size());
    for (size_t i = 0; i < marks.size(); ++i) {
        if (marks[i].m_highlight) {
            const tavrin::SRgb rgb = tavrin::StripeRgb(*marks[i].m_highlight);
            stripes[i] = QColor(rgb.m_nRed, rgb.m_nGreen, rgb.m_nBlue);
        } else if (marks[i].Any()) {
            stripes[i] = text;
        }
    }
    m_listRef->SetRowMarks(std::move(stripes));
}

void CTavrinView::ShowTextMarks() {
    CStudyCommands* study = m_host.StudyCommands();
    tavrin::CStudyDb* db = study ? study->Db() : nullptr;
    QList<QTextEdit::ExtraSelection> marks;
    if (db && !m_nav.Reference().empty()) {
        const auto verse =
            tavrin::MarksOfKeys(*db, m_nav.GetTestament(), {std::u16string(m_nav.Reference())});
        if (verse[0].m_highlight) {
            const tavrin::SRgb fill =
                tavrin::HighlightRgb(*verse[0].m_highlight, tavrin::RgbOf(g_colorItems[2].crColor),
                                     tavrin::RgbOf(g_colorItems[3].crColor));
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(m_editText->document());
            mark.cursor.select(QTextCursor::Document);
            mark.format.setBackground(QColor(fill.m_nRed, fill.m_nGreen, fill.m_nBlue));
            marks.append(mark);
        }
    }
    m_editText->setExtraSelections(marks);
}

void CTavrinView::RecordVisit() {
    if (!m_bHistoryStarted)
        return;
    m_history.Visit({m_nav.GetTestament(), std::u16string(m_nav.BookName()),
                     std::u16string(m_nav.Reference())});
    TellHistory();
}

void CTavrinView::TellHistory() {
    emit historyMoved(m_history.CanGoBack(), m_history.CanGoForward());
}

void CTavrinView::StartHistory(tavrin::CHistory history) {
    m_history = std::move(history);
    m_bHistoryStarted = true;
    RecordVisit();
}

bool CTavrinView::HistoryEntryExists(const tavrin::SHistoryEntry& entry) const {
    const tavrin::CStoreSet& set = m_nav.Stores();
    const auto has = [](const std::vector<std::u16string>& list, const std::u16string& item) {
        return std::find(list.begin(), list.end(), item) != list.end();
    };
    return has(set.ReadBookList(entry.m_testament), entry.m_strBook) &&
           has(set.ReadReferenceList(entry.m_testament, entry.m_strBook), entry.m_strReference);
}

void CTavrinView::OnHistoryBack() {
    const auto entry = m_history.Back([this](const auto& e) { return HistoryEntryExists(e); });
    if (entry)
        RestorePassage(entry->m_testament, entry->m_strBook, entry->m_strReference);
    TellHistory();
}

void CTavrinView::OnHistoryForward() {
    const auto entry = m_history.Forward([this](const auto& e) { return HistoryEntryExists(e); });
    if (entry)
        RestorePassage(entry->m_testament, entry->m_strBook, entry->m_strReference);
    TellHistory();
}

void CTavrinView::OnPrevChapter() {
    const auto step = m_nav.NeighbourPassage(tavrin::EDirection::Previous);
    if (step)
        RestorePassage(step->m_testament, step->m_strBook, step->m_strReference);
}

void CTavrinView::OnNextChapter() {
    const auto step = m_nav.NeighbourPassage(tavrin::EDirection::Next);
    if (step)
        RestorePassage(step->m_testament, step->m_strBook, step->m_strReference);
}

void CTavrinView::OnZoomIn() {
    ZoomBy(1);
}

void CTavrinView::OnZoomOut() {
    ZoomBy(-1);
}

void CTavrinView::OnZoomReset() {
    g_nMainFontSize = tavrin::kDefaultZoomSize;
    ApplyMainFont();
    m_host.SaveSettings(g_colorItems);
}

void CTavrinView::ZoomBy(int steps) {
    g_nMainFontSize = tavrin::ZoomBy(g_nMainFontSize, steps);
    ApplyMainFont();
    m_host.SaveSettings(g_colorItems);
}

void CTavrinView::ApplyMainFont() {
    m_host.CreateFonts();
    m_editText->setFont(m_host.MainFont());
    m_pCompanions->setFont(m_host.MainFont());
    const int pixels = FontPixelSize(g_nMainFontSize);
    if (pixels == tavrin::kDefaultZoomSize) {
        m_listRef->setFont(QFont());  // the application's, as at a first start
        return;
    }
    QFont list = QApplication::font(m_listRef);
    list.setPointSizeF(list.pointSizeF() * pixels / tavrin::kDefaultZoomSize);
    m_listRef->setFont(list);
}

void CTavrinView::OnCopyWithReference() {
    const std::u16string text = tavrin::CiteReferences(
        m_nav.Stores(), m_nav.GetTestament(), m_nav.BookName(), ChosenVerses().m_arrKeys,
        tavrin::DecodeCitationFormat(m_nCitationFormat), tavrin::SetDisplayName(m_nav.Stores()));
    if (!text.empty())
        QApplication::clipboard()->setText(ToQ(text));
}

void CTavrinView::OnPopupCopyWithReference() {
    const SSelection sel = m_editText->m_selMenu;
    const QString shown = m_editText->toPlainText();
    const int start = std::clamp(sel.nStart, 0, static_cast<int>(shown.size()));
    const int end = std::clamp(sel.nEnd, start, static_cast<int>(shown.size()));
    const auto verse = tavrin::CitedVerseOf(m_nav.BookName(), m_nav.Reference(), m_nav.Text());
    if (start == end || !verse) {
        OnCopyWithReference();
        return;
    }
    QApplication::clipboard()->setText(ToQ(tavrin::CiteText(
        *verse, verse->m_nVerse, shown.mid(start, end - start).toStdU16String(),
        tavrin::DecodeCitationFormat(m_nCitationFormat), tavrin::SetDisplayName(m_nav.Stores()))));
}

void CTavrinView::OnCitationFormat() {
    tavrin::SCitedVerse sample{u"요한복음", u"요", 3, 16, u"하나님이 세상을 이처럼 사랑하사"};
    if (auto shown = tavrin::CitedVerseOf(m_nav.BookName(), m_nav.Reference(), m_nav.Text()))
        sample = *shown;
    CCitationDlg dlg(m_nCitationFormat, sample, SetName(), this);
    dlg.exec();
    m_nCitationFormat = dlg.Format();
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
    m_nav.LoadChapter(reference.toStdU16String());
}

tavrin::EChapterMove CTavrinView::MoveChapter(tavrin::EDirection direction) {
    const tavrin::EChapterMove move = m_nav.MoveChapter(direction);
    // The notes header comes from the panes, so they follow into another book.
    if (move == tavrin::EChapterMove::OtherBook) {
        ShowAll();
        ShowSelectedReference();
    }
    return move;
}

QFont CTavrinView::ChapterFont() const {
    return m_host.ChapterFont();
}

void CTavrinView::ZoomChapter(int steps) {
    g_nChapterFontSize = steps == 0 ? tavrin::kDefaultZoomSize
                                    : tavrin::ZoomBy(FontPixelSize(g_nChapterFontSize), steps);
    m_host.CreateFonts();
    m_host.SaveSettings(g_colorItems);
}

bool CTavrinView::ChapterParagraphs() const {
    return m_host.ChapterParagraphs();
}

void CTavrinView::KeepChapterParagraphs(bool paragraphs) {
    m_host.KeepChapterParagraphs(paragraphs);
}

int CTavrinView::CitationFormat() const {
    return m_nCitationFormat;
}

QString CTavrinView::SetName() const {
    return ToQ(tavrin::SetDisplayName(m_nav.Stores()));
}

QString CTavrinView::ChapterBook() const {
    return ToQ(m_nav.BookName());
}

QString CTavrinView::ChapterTitle() const {
    return ToQ(tavrin::ChapterTitle(m_nav.BookName(), m_nav.m_strChapter));
}

namespace {
QStringList ToQList(const std::vector<std::u16string>& strings) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(strings.size()));
    for (const std::u16string& s : strings) list.append(ToQ(s));
    return list;
}
}  // namespace

QStringList CTavrinView::Verses() const {
    return ToQList(m_nav.m_arrVerses);
}

QStringList CTavrinView::WholeChapter() const {
    return ToQList(m_nav.m_arrWholeChapter);
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

void CTavrinView::ApplyColorItems() {
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
    KeepDefaultColors(m_pCompanions, {QPalette::Window, QPalette::WindowText});
    ApplyColors(m_pCompanions, QPalette::Base, c(3), QPalette::Text, c(2));
}

void CTavrinView::SwitchMainSet(const tavrin::SLibrarySet& set) {
    const CWaitCursor wait;
    const tavrin::SListedPassage was{m_nav.GetTestament(), std::u16string(m_nav.BookName()),
                                     std::u16string(m_nav.Reference())};
    // A set damaged since the library looked never reaches the engine.
    const std::string problem = tavrin::CheckSetFolder(set.m_strFolder);
    if (!problem.empty()) {
        ShowInformation(this, ToQ(tavrin::DisplayName(set)) + QStringLiteral(": ") +
                                  ToQ(CCompanionPane::kUnreadable));
        return;
    }
    m_nav.CloseStores();
    m_strOpenedFolder = set.m_strFolder;
    m_strMainSetId = set.m_strId;
    m_nav.OpenStores(m_strOpenedFolder);
    emit mainSetChanged();
    // The search reads the folder it was opened on; it is made again for this set.
    m_pSearchDlg.reset();
    const auto kept = tavrin::KeepPassage(m_nav.Stores(), was);
    if (!kept || !RestorePassage(kept->m_testament, kept->m_strBook, kept->m_strReference))
        ShowBookList(was.m_testament);
}

void CTavrinView::ReserveCompanionPane(bool reserve) {
    m_pCompanions->setVisible(reserve);
}

void CTavrinView::SetCompanions(const std::vector<tavrin::SLibrarySet>& sets) {
    m_pCompanions->SetCompanions(sets);
    if (m_pCompanions->HasCompanions())
        m_pCompanions->ShowReference(m_nav.GetTestament(), m_nav.Reference());
}

SParallelChapter CTavrinView::ParallelChapter() const {
    if (!m_pCompanions->HasCompanions())
        return {};
    std::vector<tavrin::SParallelColumn> columns{{m_strMainSetId, m_nav.m_arrWholeChapter}};
    for (auto& c : m_pCompanions->Chapters(m_nav.GetTestament(), m_nav.m_strChapter))
        columns.push_back(std::move(c));
    SParallelChapter chapter;
    chapter.m_arrNames << SetName();
    if (chapter.m_arrNames.back().isEmpty())
        chapter.m_arrNames.back() = QString::fromStdString(m_strMainSetId);
    for (const std::u16string& name : m_pCompanions->Names()) chapter.m_arrNames << ToQ(name);
    chapter.m_arrRows =
        tavrin::AlignVerses(columns, m_nav.GetTestament(), m_pCompanions->Divisions());
    return chapter;
}

void CTavrinView::OnViewColors() {
    {
        CColorSelector dlg(this);
        dlg.m_pColorItems = g_colorItems;
        dlg.exec();  // applied whether left with OK or not
    }
    ApplyColorItems();
    ApplyMainFont();
    m_host.SaveSettings(g_colorItems);
}

void CTavrinView::OnFileSave() {
    SaveNoteFromForm();
}

void CTavrinView::OnVerseCopy() {
    CopySavedSelection(m_editText, m_editText->m_selMenu);
}

void CTavrinView::OnPopupCopyAll() {
    CopyAll(m_editText);
}

void CTavrinView::OnPopupSave() {
    SaveNote(m_strText);
}

void CTavrinView::OpenChapterReader() {
    CChapterDlg dlg(*this, this);
    const QString reference = SelectedReference();
    LoadChapter(reference);
    dlg.SetVerses(Verses());
    dlg.m_arrWholeChapter = WholeChapter();
    dlg.m_nTopVerse = tavrin::VerseIndexOf(m_nav.m_arrWholeChapter, reference.toStdU16String());
    dlg.m_strTitle = ChapterTitle();
    if (const std::optional<tavrin::SWindowPlace> place = m_host.ChapterPlace())
        RestorePlace(&dlg, *place);
    else
        OpenBeside(&dlg, window());
    dlg.exec();
    m_host.KeepChapterPlace(PlaceOf(&dlg));
    SetShellTitle(this, QStringLiteral("Tavrin"));
}

void CTavrinView::OpenChapterAt(Testament testament, const QString& book, const QString& chapter) {
    const std::u16string name = book.toStdU16String();
    for (const std::u16string& reference : m_nav.Stores().ReadReferenceList(testament, name)) {
        if (tavrin::ChapterReference(reference) == chapter.toStdU16String()) {
            if (RestorePassage(testament, name, reference))
                OpenChapterReader();
            return;
        }
    }
    ShowInformation(this, QStringLiteral("본문에 이 장이 없습니다: %1 %2").arg(book, chapter));
}

void CTavrinView::ChapterShownToEnd(const QString& chapter) {
    emit chapterShownToEnd(m_nav.GetTestament(), chapter);
}

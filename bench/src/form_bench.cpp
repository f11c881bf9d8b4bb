// form_bench.cpp - the navigator form's cascades, the chapter reader and the
// settings file, offscreen, next to bare Qt widgets filled in one batch from raw
// reads: a QListWidget (the first floor) and a QListView over a plain list model
// of uniform rows.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <memory>
#include <tuple>

#include "BenchMain.h"
#include "BenchSets.h"
#include "ChapterDlg.h"
#include "ChapterListBox.h"
#include "CodePage.h"
#include "DisplaySettings.h"
#include "Floor.h"
#include "FormHost.h"
#include "Messages.h"
#include "Plan.h"
#include "PlanPanel.h"
#include "PlanProgress.h"
#include "PopupEdit.h"
#include "PrintText.h"
#include "TavrinView.h"

namespace {

using namespace tavrin;
using namespace tavrin::bench;

constexpr std::u16string_view kPsalms = u"시편";

QString ToQ(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

QStringList ToQList(const std::vector<std::u16string>& names) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(names.size()));
    for (const auto& name : names) list << ToQ(name);
    return list;
}

QString SettingsPath() {
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("tavrin_.dat"));
}

// The program's fonts and settings file (in a private folder), as a zoom step
// makes and writes them; the reader's place and layout kept in memory.
class CBenchHost : public CFormHost {
public:
    void CreateFonts() override {
        m_fontMain = Font(g_nMainFontSize);
        m_fontChapter = Font(g_nChapterFontSize);
    }
    const QFont& MainFont() const override { return m_fontMain; }
    const QFont& ChapterFont() const override { return m_fontChapter; }
    bool SaveSettings(COLORITEM* items) override { return SaveSettingsFile(SettingsPath(), items); }
    std::optional<tavrin::SWindowPlace> ChapterPlace() const override { return std::nullopt; }
    void KeepChapterPlace(const tavrin::SWindowPlace&) override {}
    bool ChapterParagraphs() const override { return m_bParagraphs; }
    void KeepChapterParagraphs(bool paragraphs) override { m_bParagraphs = paragraphs; }

private:
    static QFont Font(int32_t size) {
        QFont font(g_strFontFace);
        font.setPixelSize(FontPixelSize(size));
        return font;
    }
    QFont m_fontMain;
    QFont m_fontChapter;
    bool m_bParagraphs = false;
};

// The form on a set, shown offscreen, in the Old Testament.
struct SForm {
    CBenchHost m_host;
    std::unique_ptr<CTavrinView> m_pView;
    std::string m_strError;
};

// Widgets must go before the application object; TearDown drops them.
SForm g_forms[2];

SForm& Form(int index) {
    SForm& form = g_forms[index];
    if (form.m_pView || !form.m_strError.empty())
        return form;
    SBenchSet& set = BenchSet(index);
    if (!set.m_strError.empty()) {
        form.m_strError = set.m_strError;
        return form;
    }
    form.m_pView =
        std::make_unique<CTavrinView>(form.m_host, QString::fromStdString(set.m_strFolder));
    form.m_host.CreateFonts();
    form.m_pView->resize(400, 450);
    form.m_pView->show();
    form.m_pView->OnInitialUpdate();
    form.m_pView->findChild<QRadioButton*>(QStringLiteral("IDC_RADIO_OLD"))->setChecked(true);
    form.m_pView->OnRadioOld();
    QApplication::processEvents();
    return form;
}

CTavrinView* View(benchmark::State& state, int index) {
    SForm& form = Form(index);
    if (!form.m_strError.empty()) {
        state.SkipWithError(form.m_strError.c_str());
        return nullptr;
    }
    return form.m_pView.get();
}

// Bare widgets of the same kinds, shown offscreen; the reference list either
// as a QListWidget or as a QListView over a string list model with uniform rows.
struct SBareForm {
    QWidget m_wndForm;
    QComboBox* m_pCombo = new QComboBox(&m_wndForm);
    QListWidget* m_pList = new QListWidget(&m_wndForm);
    QListView* m_pView = new QListView(&m_wndForm);
    QStringListModel* m_pModel = new QStringListModel(&m_wndForm);
    QPlainTextEdit* m_pText = new QPlainTextEdit(&m_wndForm);
    SBareForm() {
        m_pCombo->setGeometry(10, 10, 180, 24);
        m_pText->setGeometry(10, 50, 180, 380);
        m_pList->setGeometry(200, 10, 190, 420);
        m_pView->setGeometry(200, 10, 190, 420);
        m_pView->setUniformItemSizes(true);
        m_pView->setModel(m_pModel);
        m_wndForm.resize(400, 450);
        m_wndForm.show();
    }
    // Shows one of the two lists.
    void Use(bool view) {
        m_pList->setVisible(!view);
        m_pView->setVisible(view);
    }
    int Count(bool view) const { return view ? m_pModel->rowCount() : m_pList->count(); }
    // Fills the list in one batch and selects the first entry.
    void Fill(bool view, const QStringList& names) {
        if (view) {
            const QSignalBlocker block(m_pView);
            m_pModel->setStringList(names);
            m_pView->setCurrentIndex(m_pModel->index(0));
            return;
        }
        const QSignalBlocker block(m_pList);
        m_pList->clear();
        m_pList->addItems(names);
        m_pList->setCurrentRow(0);
    }
};

std::unique_ptr<SBareForm> g_pBareForm;

SBareForm& BareForm() {
    if (!g_pBareForm)
        g_pBareForm = std::make_unique<SBareForm>();
    return *g_pBareForm;
}

void TearDown() {
    g_pBareForm.reset();
    for (SForm& form : g_forms) form.m_pView.reset();
}

// The reads and fills of one book choice, at their least: raw fetch and
// decode, the list filled in one batch, the first text shown.
void BareBookChoice(SBenchSet& set, const CRawDecoder& decoder, std::string_view bookKey,
                    bool view) {
    SBareForm& bare = BareForm();
    std::string bytes;
    set.m_pKeyOld->Fetch(bookKey, bytes);
    const auto refs = RawNames(decoder.Decode(bytes));
    bare.Fill(view, ToQList(refs));
    std::string text;
    if (!refs.empty())
        set.m_pDatOld->Fetch(decoder.Encode(refs.front()), text);
    bare.m_pText->setPlainText(ToQ(decoder.Decode(text)));
}

void BookSwitch(benchmark::State& state, int index) {
    CTavrinView* view = View(state, index);
    if (view == nullptr)
        return;
    const int psalms =
        view->findChild<QComboBox*>(QStringLiteral("IDC_COMBO_BOOK"))->findText(ToQ(kPsalms));
    if (psalms < 0) {
        state.SkipWithError("no Psalms in the book list");
        return;
    }
    {
        const QSignalBlocker block(view->findChild<QComboBox*>(QStringLiteral("IDC_COMBO_BOOK")));
        view->findChild<QComboBox*>(QStringLiteral("IDC_COMBO_BOOK"))->setCurrentIndex(psalms);
    }
    for (auto _ : state) {
        view->OnSelchangeBook();
        QApplication::processEvents();
    }
    state.SetLabel(
        std::to_string(view->findChild<CChapterListBox*>(QStringLiteral("IDC_LIST_REF"))->count()) +
        " entries");
}

void BookSwitchFloor(benchmark::State& state, int index, bool view) {
    if (View(state, index) == nullptr)
        return;
    SBenchSet& set = BenchSet(index);
    const CRawDecoder decoder;
    const std::string key = decoder.Encode(kPsalms);
    BareForm().Use(view);
    for (auto _ : state) {
        BareBookChoice(set, decoder, key, view);
        QApplication::processEvents();
    }
    state.SetLabel(std::to_string(BareForm().Count(view)) + " entries");
}

// The reference pane alone, filled as the form fills it: the model reset with
// redrawing off, then the first entry selected.
void ReferencePane(benchmark::State& state, int index) {
    CTavrinView* view = View(state, index);
    if (view == nullptr)
        return;
    const std::vector<std::u16string> names =
        BenchSet(index).m_stores.ReadReferenceList(Testament::Old, kPsalms);
    auto* list = view->findChild<CChapterListBox*>(QStringLiteral("IDC_LIST_REF"));
    for (auto _ : state) {
        list->setUpdatesEnabled(false);
        list->SetReferences(names);
        list->setUpdatesEnabled(true);
        list->SetCurrentRow(0);
        QApplication::processEvents();
    }
    view->OnSelchangeBook();
}

void ReferencePaneFloor(benchmark::State& state, int index, bool view) {
    if (View(state, index) == nullptr)
        return;
    const QStringList names =
        ToQList(BenchSet(index).m_stores.ReadReferenceList(Testament::Old, kPsalms));
    SBareForm& bare = BareForm();
    bare.Use(view);
    for (auto _ : state) {
        bare.Fill(view, names);
        QApplication::processEvents();
    }
}

// One click on the Old Testament button: book list, first book, its
// references, the first text.
void RadioClick(benchmark::State& state, int index) {
    CTavrinView* view = View(state, index);
    if (view == nullptr)
        return;
    for (auto _ : state) {
        view->findChild<QRadioButton*>(QStringLiteral("IDC_RADIO_OLD"))->click();
        QApplication::processEvents();
    }
    state.SetLabel(
        std::to_string(view->findChild<CChapterListBox*>(QStringLiteral("IDC_LIST_REF"))->count()) +
        " entries");
}

void RadioClickFloor(benchmark::State& state, int index) {
    if (View(state, index) == nullptr)
        return;
    SBenchSet& set = BenchSet(index);
    const CRawDecoder decoder;
    SBareForm& bare = BareForm();
    bare.Use(false);
    for (auto _ : state) {
        std::string bytes;
        set.m_pKeyOld->Fetch(std::string(tavrin::kBookListKey), bytes);
        const auto books = RawNames(decoder.Decode(bytes));
        {
            const QSignalBlocker block(bare.m_pCombo);
            bare.m_pCombo->clear();
            bare.m_pCombo->addItems(ToQList(books));
            bare.m_pCombo->setCurrentIndex(0);
        }
        BareBookChoice(set, decoder, books.empty() ? std::string() : decoder.Encode(books[0]),
                       false);
        QApplication::processEvents();
    }
    state.SetLabel(std::to_string(bare.m_pList->count()) + " entries");
}

void SettingsSave(benchmark::State& state) {
    const QString path = SettingsPath();
    for (auto _ : state) {
        if (!SaveSettingsFile(path, g_colorItems))
            state.SkipWithError("settings not saved");
    }
}

// The bare atomic replace: a temporary file written, synced and renamed.
void SettingsSaveFloor(benchmark::State& state) {
    const QByteArray path = QFile::encodeName(SettingsPath());
    const QByteArray temp = path + ".tmp";
    const QByteArray bytes = EncodeSettings(g_colorItems);
    for (auto _ : state) {
        const int fd = open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) < 0 ||
            fsync(fd) != 0 || rename(temp.constData(), path.constData()) != 0) {
            state.SkipWithError("cannot write");
        }
        close(fd);
    }
}

void SettingsLoad(benchmark::State& state) {
    const QString path = SettingsPath();
    SaveSettingsFile(path, g_colorItems);
    for (auto _ : state) {
        if (!LoadSettingsFile(path, g_colorItems))
            state.SkipWithError("settings not loaded");
    }
}

void SettingsLoadFloor(benchmark::State& state) {
    const QByteArray path = QFile::encodeName(SettingsPath());
    SaveSettingsFile(SettingsPath(), g_colorItems);
    char bytes[4096];
    for (auto _ : state) {
        const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC);
        const ssize_t n = fd < 0 ? -1 : read(fd, bytes, sizeof bytes);
        if (n <= 0)
            state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(bytes);
        close(fd);
    }
}

// The chapter reader over the form, shown offscreen at a chapter typed as in
// the go-to dialog ("시118"), in the layout asked for; null (the run skipped)
// when the set does not have it.
std::unique_ptr<CChapterDlg> OpenReader(benchmark::State& state, int index, const QString& chapter,
                                        bool paragraphs) {
    CTavrinView* view = View(state, index);
    if (view == nullptr)
        return nullptr;
    if (!view->GoTo(chapter).isEmpty()) {
        state.SkipWithError("the set has no such chapter");
        return nullptr;
    }
    g_forms[index].m_host.KeepChapterParagraphs(paragraphs);
    auto dlg = std::make_unique<CChapterDlg>(*view, view);
    view->LoadChapter(view->SelectedReference());
    dlg->SetVerses(view->Verses());
    dlg->m_arrWholeChapter = view->WholeChapter();
    dlg->m_strTitle = view->ChapterTitle();
    dlg->resize(480, 600);
    dlg->show();
    QApplication::processEvents();
    return dlg;
}

// Paints what the reader shows, Qt laying out the lines it paints (the rest
// of a long chapter is laid out as it scrolls into view); with whole, every
// line of the chapter is laid out first.
void Paint(CChapterDlg& dlg, bool whole) {
    if (whole) {
        QTextDocument* doc =
            dlg.findChild<QPlainTextEdit*>(QStringLiteral("IDC_EDIT_CHAPTER"))->document();
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
            benchmark::DoNotOptimize(doc->documentLayout()->blockBoundingRect(block));
    }
    QApplication::processEvents();
}

std::string Verses(const CChapterDlg& dlg, bool paragraphs) {
    return std::to_string((paragraphs ? dlg.m_arrWholeChapter : dlg.m_arrChapter).size() / 2) +
           " verses";
}

// ▶ from 시편 118 to 119, the longest chapter: its read, the chapter's layout,
// the text box filled and painted (whole: every line laid out too). Each step
// back is not timed.
void ReaderNext(benchmark::State& state, int index, bool paragraphs, bool whole) {
    const auto dlg = OpenReader(state, index, QStringLiteral("시118"), paragraphs);
    if (!dlg)
        return;
    for (auto _ : state) {
        dlg->OnNextChapter();
        Paint(*dlg, whole);
        state.PauseTiming();
        dlg->OnPrevChapter();
        state.ResumeTiming();
    }
    dlg->OnNextChapter();
    state.SetLabel(dlg->m_strTitle.toStdString() + ", " + Verses(*dlg, paragraphs));
}

// One zoom step on 시편 119, in and out by turns: the fonts made, the settings
// file written (how sizes are kept), the text shown painted again.
void ReaderZoom(benchmark::State& state, int index) {
    const auto dlg = OpenReader(state, index, QStringLiteral("시119"), true);
    if (!dlg)
        return;
    bool larger = true;
    for (auto _ : state) {
        if (larger)
            dlg->OnZoomIn();
        else
            dlg->OnZoomOut();
        larger = !larger;
        Paint(*dlg, false);
    }
    dlg->OnZoomReset();
    state.SetLabel(Verses(*dlg, true));
}

// 시편 119 in the paragraph layout (all 176 verses) written as an A4 PDF in
// the reader's font; the label gives the file's size. With TAVRIN_BENCH_PDF_DIR
// set, the file is kept there as reader-SET.pdf.
void ReaderPdf(benchmark::State& state, int index) {
    const auto dlg = OpenReader(state, index, QStringLiteral("시119"), true);
    if (!dlg)
        return;
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chapter.pdf"));
    const QFont font = dlg->findChild<QPlainTextEdit*>(QStringLiteral("IDC_EDIT_CHAPTER"))->font();
    for (auto _ : state) {
        if (!WritePdf(path, dlg->m_strTitle, dlg->m_strChapterText, font).isEmpty())
            state.SkipWithError("the PDF was not written");
    }
    // bench/compare checks the file's fonts with pdffonts.
    const QString keep = qEnvironmentVariable("TAVRIN_BENCH_PDF_DIR");
    if (!keep.isEmpty())
        QFile::copy(path,
                    QDir(keep).filePath(QStringLiteral("reader-%1.pdf").arg(kSetNames[index])));
    state.SetLabel("pdf " + std::to_string(QFileInfo(path).size()) + " bytes, " +
                   Verses(*dlg, true));
}

// Companions for the Korean form: the WEB set opened n times under ids of its own.
void ChooseCompanions(CTavrinView& view, int n) {
    std::vector<SLibrarySet> sets;
    for (int i = 0; i < n; ++i)
        sets.push_back({"web-" + std::to_string(i), u"WEB", u"", BenchSet(0).m_strFolder});
    view.SetCompanions(sets);
}

// A reference chosen in the Korean form (시23:1 and 시23:2 by turns), its text
// shown, with n companions' texts under it.
void ReferenceChoice(benchmark::State& state, int companions) {
    CTavrinView* view = View(state, 1);
    if (view == nullptr || !BenchSet(0).m_strError.empty() || !view->GoTo("시23:1").isEmpty()) {
        state.SkipWithError("no Korean and WEB sets with 시편 23");
        return;
    }
    ChooseCompanions(*view, companions);
    auto* list = view->findChild<CChapterListBox*>(QStringLiteral("IDC_LIST_REF"));
    const int first = list->CurrentRow();
    int row = first;
    for (auto _ : state) {
        row = row == first ? first + 1 : first;
        list->SetCurrentRow(row);
        view->OnSelchangeReference();
        QApplication::processEvents();
    }
    ChooseCompanions(*view, 0);
    state.SetLabel(std::to_string(companions) + " companions");
}

// ▶ from 시편 118 to 119 in the parallel layout of three sets (the Korean one
// and the WEB twice): the chapters read, aligned, the table filled, its rows
// sized and painted.
void ReaderParallel(benchmark::State& state) {
    CTavrinView* view = View(state, 1);
    if (view == nullptr || !BenchSet(0).m_strError.empty()) {
        state.SkipWithError("no Korean and WEB sets");
        return;
    }
    ChooseCompanions(*view, 2);
    const auto dlg = OpenReader(state, 1, QStringLiteral("시118"), false);
    if (dlg) {
        for (auto _ : state) {
            dlg->OnNextChapter();
            QApplication::processEvents();
            state.PauseTiming();
            dlg->OnPrevChapter();
            QApplication::processEvents();
            state.ResumeTiming();
        }
        dlg->OnNextChapter();
        const SParallelChapter chapter = view->ParallelChapter();
        state.SetLabel(dlg->m_strTitle.toStdString() + ", " +
                       std::to_string(chapter.m_arrRows.size()) + " rows x " +
                       std::to_string(chapter.m_arrNames.size()) + " sets");
    }
    ChooseCompanions(*view, 0);
}

// The 통독 panel opened on a plan followed for a year: ot1-nt2-year over the
// Korean set, started 364 days ago with every reading marked. Built, given the
// database (plans listed, the chosen one loaded, today's checklist, progress,
// 밀린 분량 and the 365-day schedule filled), shown and painted; then destroyed
// untimed. The chapters are read once (the reader caches them per set).
void PlanPanelOpen(benchmark::State& state) {
    const SBenchSet& set = BenchSet(1);
    const QTemporaryDir dir;
    CStudyDb db;
    if (!set.m_strError.empty() ||
        db.Open(dir.filePath(QStringLiteral("study.sqlite3")).toStdString()) !=
            CStudyDb::EOpen::Opened) {
        state.SkipWithError("no Korean set or no study database");
        return;
    }
    const SSetChapters chapters = ReadSetChapters(set.m_stores);
    CPlanBook book(db);
    const auto id = book.Start(MakePlan(chapters, "ot1-nt2-year").m_plan, chapters,
                               CPlanPanel::DayNumber(QDate::currentDate()) - 364);
    if (!id || !db.Connection().Exec("INSERT INTO plan_mark SELECT plan, day, position, 1"
                                     " FROM plan_reading")) {
        state.SkipWithError("the plan was not started");
        return;
    }
    for (auto _ : state) {
        auto panel = std::make_unique<CPlanPanel>([&chapters] { return chapters; }, nullptr);
        panel->SetDatabase(&db);
        panel->show();
        QApplication::processEvents();
        state.PauseTiming();
        panel.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(std::to_string(book.Load(*id)->m_nRead) + " readings marked");
}

void Register() {
    benchmark::RegisterBenchmark("plans/panel_open_year", PlanPanelOpen)
        ->Unit(benchmark::kMillisecond);
    for (const int companions : {0, 2})
        benchmark::RegisterBenchmark(
            ("reference/korean/companions_" + std::to_string(companions)).c_str(), ReferenceChoice,
            companions)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("reader/korean/parallel_119", ReaderParallel)
        ->Unit(benchmark::kMillisecond);
    for (int i = 0; i < 2; ++i) {
        const std::string set = kSetNames[i];
        benchmark::RegisterBenchmark(("bookswitch/" + set + "/OnSelchangeBook").c_str(), BookSwitch,
                                     i)
            ->Unit(benchmark::kMillisecond);
        for (const bool view : {false, true}) {
            const std::string floor = view ? "/floor_listview" : "/floor_listwidget";
            benchmark::RegisterBenchmark(("bookswitch/" + set + floor).c_str(), BookSwitchFloor, i,
                                         view)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("refpane/" + set + floor).c_str(), ReferencePaneFloor, i,
                                         view)
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark(("refpane/" + set + "/SetReferences").c_str(), ReferencePane,
                                     i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("radio/" + set + "/click").c_str(), RadioClick, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("radio/" + set + "/floor").c_str(), RadioClickFloor, i)
            ->Unit(benchmark::kMillisecond);
        for (const auto& [layout, paragraphs, whole] : {std::tuple{"/verses", false, false},
                                                        {"/paragraphs", true, false},
                                                        {"/paragraphs_whole", true, true}})
            benchmark::RegisterBenchmark(("reader/" + set + "/next_chapter" + layout).c_str(),
                                         ReaderNext, i, paragraphs, whole)
                ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("reader/" + set + "/zoom_step").c_str(), ReaderZoom, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("reader/" + set + "/pdf").c_str(), ReaderPdf, i)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("settings/save/SaveSettingsFile", SettingsSave);
    benchmark::RegisterBenchmark("settings/save/floor", SettingsSaveFloor);
    benchmark::RegisterBenchmark("settings/load/LoadSettingsFile", SettingsLoad);
    benchmark::RegisterBenchmark("settings/load/floor", SettingsLoadFloor);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A missing set must not stop the run on a modal box.
    SetMessageSinkForTesting([](const QString&) {});
    Register();
    const int status = tavrin::bench::RunRegistered(argc, argv);
    TearDown();
    return status;
}

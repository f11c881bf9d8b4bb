// StudyCommands.cpp - the marking commands and their menu entries.
#include "StudyCommands.h"

#include <QAction>
#include <QIcon>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>

#include <algorithm>

#include "CodePage.h"
#include "Messages.h"
#include "NoteEditDlg.h"
#include "StudyLabels.h"
#include "StudyMarks.h"

using tavrin::EColour;
using tavrin::EItemKind;

namespace {

std::vector<tavrin::SVerse> VersesOf(const SChosenVerses& chosen) {
    std::vector<tavrin::SVerse> verses;
    for (const std::u16string& key : chosen.m_arrKeys)
        verses.push_back({chosen.m_testament, tavrin::Utf16ToUtf8(key)});
    return verses;
}

QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

CStudyCommands::CStudyCommands(std::function<tavrin::CStudyDb*()> db,
                               std::function<QString()> problem, QObject* parent)
    : QObject(parent), m_fnDb(std::move(db)), m_fnProblem(std::move(problem)) {}

tavrin::CStudyDb* CStudyCommands::Usable(QWidget* parent, const SChosenVerses& chosen) {
    return chosen.m_arrKeys.empty() ? nullptr : Usable(parent);
}

tavrin::CStudyDb* CStudyCommands::Usable(QWidget* parent) {
    tavrin::CStudyDb* db = Db();
    if (!db) {
        const QString problem = m_fnProblem();
        ShowInformation(parent, problem.isEmpty()
                                    ? QStringLiteral("내 노트 파일이 아직 열리지 않았습니다.")
                                    : problem);
    }
    return db;
}

void CStudyCommands::Done(QWidget* parent, bool ok) {
    if (!ok)
        ShowInformation(parent, QStringLiteral("저장하지 못했습니다: %1")
                                    .arg(QString::fromStdString(Db()->LastError())));
    emit itemsChanged();
}

void CStudyCommands::ToggleBookmark(QWidget* parent, const SChosenVerses& chosen) {
    tavrin::CStudyDb* db = Usable(parent, chosen);
    if (!db)
        return;
    const auto marks = tavrin::MarksOfKeys(*db, chosen.m_testament, chosen.m_arrKeys);
    std::vector<tavrin::SVerse> verses = VersesOf(chosen);
    if (std::all_of(marks.begin(), marks.end(), [](const auto& m) { return m.m_bBookmark; })) {
        Done(parent, db->ClearMarks(verses, EItemKind::Bookmark));
        return;
    }
    // Only the unmarked ones: a bookmark's label stays.
    std::vector<tavrin::SVerse> unmarked;
    for (size_t i = 0; i < verses.size(); ++i)
        if (!marks[i].m_bBookmark)
            unmarked.push_back(verses[i]);
    Done(parent, db->SetBookmark(unmarked, {}));
}

void CStudyCommands::EditBookmarkLabel(QWidget* parent, const SChosenVerses& chosen) {
    tavrin::CStudyDb* db = Usable(parent, chosen);
    if (!db)
        return;
    const std::vector<tavrin::SVerse> verses = VersesOf(chosen);
    QString label;
    for (const auto& item :
         db->ChapterItems(chosen.m_testament, tavrin::ChapterOf(verses[0].m_strKey)))
        if (item.m_kind == EItemKind::Bookmark && item.m_verse == verses[0])
            label = Q(item.m_strValue);
    bool ok = false;
    label = QInputDialog::getText(parent, QStringLiteral("책갈피"),
                                  QStringLiteral("%1 책갈피 이름 (%2자까지):")
                                      .arg(QString::fromStdU16String(chosen.m_arrKeys[0]))
                                      .arg(tavrin::kMaxLabelChars),
                                  QLineEdit::Normal, label, &ok);
    if (ok)
        Done(parent, db->SetBookmark(verses, label.toStdString()));
}

void CStudyCommands::Highlight(QWidget* parent, const SChosenVerses& chosen,
                               std::optional<EColour> colour) {
    tavrin::CStudyDb* db = Usable(parent, chosen);
    if (!db)
        return;
    const std::vector<tavrin::SVerse> verses = VersesOf(chosen);
    Done(parent,
         colour ? db->SetHighlight(verses, *colour) : db->ClearMarks(verses, EItemKind::Highlight));
}

void CStudyCommands::EditNote(QWidget* parent, const SChosenVerses& chosen) {
    tavrin::CStudyDb* db = Usable(parent, chosen);
    if (!db)
        return;
    const tavrin::SVerse verse = VersesOf(chosen)[0];
    std::optional<tavrin::SStudyItem> note;
    for (const auto& item : db->ChapterItems(chosen.m_testament, tavrin::ChapterOf(verse.m_strKey)))
        if (item.m_kind == EItemKind::Note && item.m_verse == verse &&
            (!note || item.m_nModified >= note->m_nModified))
            note = item;
    CNoteEditDlg dlg(QString::fromStdU16String(chosen.m_arrKeys[0]),
                     note ? Q(note->m_strText) : QString(), parent);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const std::string text = dlg.Text().toStdString();
    if (note && text.empty())
        Done(parent, db->Remove({note->m_nId}));
    else if (note)
        Done(parent, db->EditNote(note->m_nId, text));
    else if (!text.empty())
        Done(parent, db->AddNote(verse, text).has_value());
}

void CStudyCommands::Remove(QWidget* parent, const std::vector<int64_t>& ids) {
    if (ids.empty())
        return;
    if (tavrin::CStudyDb* db = Usable(parent))
        Done(parent, db->Remove(ids));
}

void CStudyCommands::UndoRemove(QWidget* parent) {
    tavrin::CStudyDb* db = Usable(parent);
    if (!db || !db->CanUndo())
        return;
    Done(parent, db->UndoRemove());
}

void SStudyActions::AddTo(QMenu* menu) const {
    menu->addAction(m_actBookmark);
    menu->addAction(m_actLabel);
    menu->addMenu(m_menuHighlight);
    menu->addAction(m_actNote);
}

SStudyActions CreateStudyActions(QWidget* owner, Qt::ShortcutContext context,
                                 CStudyCommands* commands, std::function<SChosenVerses()> chosen) {
    const auto action = [&](const char* name, const QString& text) {
        auto* act = new QAction(text, owner);
        act->setObjectName(QLatin1String(name));
        act->setShortcutContext(context);
        owner->addAction(act);
        return act;
    };
    SStudyActions acts;
    acts.m_actBookmark = action("ID_STUDY_BOOKMARK", QStringLiteral("책갈피"));
    acts.m_actBookmark->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    QObject::connect(acts.m_actBookmark, &QAction::triggered, commands,
                     [=] { commands->ToggleBookmark(owner, chosen()); });
    acts.m_actLabel = action("ID_STUDY_BOOKMARK_LABEL", QStringLiteral("책갈피 이름..."));
    QObject::connect(acts.m_actLabel, &QAction::triggered, commands,
                     [=] { commands->EditBookmarkLabel(owner, chosen()); });
    acts.m_menuHighlight = new QMenu(QStringLiteral("형광펜"), owner);
    acts.m_menuHighlight->setObjectName(QStringLiteral("IDR_STUDY_HIGHLIGHT"));
    static const char* const kNames[] = {"ID_STUDY_HIGHLIGHT_YELLOW", "ID_STUDY_HIGHLIGHT_GREEN",
                                         "ID_STUDY_HIGHLIGHT_BLUE", "ID_STUDY_HIGHLIGHT_PINK",
                                         "ID_STUDY_HIGHLIGHT_ORANGE"};
    for (size_t i = 0; i < acts.m_arrColours.size(); ++i) {
        const auto colour = static_cast<EColour>(i);
        QAction* act = action(kNames[i], Q(tavrin::ColourLabel(colour)));
        const tavrin::SRgb rgb = tavrin::SwatchRgb(colour);
        QPixmap swatch(12, 12);
        swatch.fill(QColor(rgb.m_nRed, rgb.m_nGreen, rgb.m_nBlue));
        act->setIcon(QIcon(swatch));
        QObject::connect(act, &QAction::triggered, commands,
                         [=] { commands->Highlight(owner, chosen(), colour); });
        acts.m_menuHighlight->addAction(act);
        acts.m_arrColours[i] = act;
    }
    acts.m_menuHighlight->addSeparator();
    acts.m_actClear = action("ID_STUDY_HIGHLIGHT_CLEAR", QStringLiteral("지우기"));
    QObject::connect(acts.m_actClear, &QAction::triggered, commands,
                     [=] { commands->Highlight(owner, chosen(), std::nullopt); });
    acts.m_menuHighlight->addAction(acts.m_actClear);
    acts.m_actNote = action("ID_STUDY_NOTE", QStringLiteral("메모..."));
    acts.m_actNote->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    QObject::connect(acts.m_actNote, &QAction::triggered, commands,
                     [=] { commands->EditNote(owner, chosen()); });
    return acts;
}

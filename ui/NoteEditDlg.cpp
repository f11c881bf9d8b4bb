// NoteEditDlg.cpp - the note editor.
#include "NoteEditDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "CodePage.h"
#include "StudyDb.h"

namespace {
size_t Chars(const QString& text) {
    return tavrin::CountChars(text.toStdString());
}
}  // namespace

CNoteEditDlg::CNoteEditDlg(const QString& reference, const QString& text, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("메모 - %1").arg(reference));
    m_editNote = new QPlainTextEdit(this);
    m_editNote->setObjectName(QStringLiteral("IDC_EDIT_NOTE"));
    m_editNote->setPlainText(text);
    m_labelCount = new QLabel(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNoteEditDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNoteEditDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_editNote);
    layout->addWidget(m_labelCount);
    layout->addWidget(buttons);
    const auto count = [this] {
        m_labelCount->setText(QStringLiteral("%1 / %2자")
                                  .arg(Chars(m_editNote->toPlainText()))
                                  .arg(tavrin::kMaxNoteChars));
    };
    connect(m_editNote, &QPlainTextEdit::textChanged, this, count);
    count();
    resize(360, 240);
}

QString CNoteEditDlg::Text() const {
    return m_editNote->toPlainText();
}

void CNoteEditDlg::accept() {
    if (Chars(Text()) > tavrin::kMaxNoteChars) {
        m_labelCount->setText(QStringLiteral("메모는 %1자까지 쓸 수 있습니다 (지금 %2자).")
                                  .arg(tavrin::kMaxNoteChars)
                                  .arg(Chars(Text())));
        return;
    }
    QDialog::accept();
}

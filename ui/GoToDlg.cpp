// GoToDlg.cpp - the go-to dialog's field, message line and buttons.
#include "GoToDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CGoToDlg::CGoToDlg(GoFn go, QWidget* parent)
    : QDialog(parent),
      m_go(std::move(go)),
      m_editPassage(new QLineEdit(this)),
      m_labelProblem(new QLabel(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(QStringLiteral("이동"));
    setObjectName(QStringLiteral("IDD_GOTO"));
    m_editPassage->setObjectName(QStringLiteral("IDC_EDIT_PASSAGE"));
    m_labelProblem->setObjectName(QStringLiteral("IDC_STATIC_PROBLEM"));
    m_labelProblem->setWordWrap(true);
    m_labelProblem->hide();
    QPalette palette = m_labelProblem->palette();
    palette.setColor(QPalette::WindowText, Qt::darkRed);
    m_labelProblem->setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("구절 (예: 요3:16, 요한복음 3장 16절, 창1):"), this));
    layout->addWidget(m_editPassage);
    layout->addWidget(m_labelProblem);
    layout->addWidget(m_buttons);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(false);

    connect(m_editPassage, &QLineEdit::textChanged, this, &CGoToDlg::OnTextChanged);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CGoToDlg::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CGoToDlg::reject);
}

void CGoToDlg::accept() {
    // Enter reaches accept() even while OK is disabled.
    if (!m_buttons->button(QDialogButtonBox::Ok)->isEnabled())
        return;
    const QString problem = m_go(m_editPassage->text());
    if (problem.isEmpty()) {
        QDialog::accept();
        return;
    }
    m_labelProblem->setText(problem);
    m_labelProblem->show();
    adjustSize();  // room for a message of two lines
    m_editPassage->setFocus(Qt::OtherFocusReason);
    m_editPassage->selectAll();
}

QString CGoToDlg::Problem() const {
    return m_labelProblem->isHidden() ? QString() : m_labelProblem->text();
}

void CGoToDlg::OnTextChanged(const QString& text) {
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!text.trimmed().isEmpty());
}

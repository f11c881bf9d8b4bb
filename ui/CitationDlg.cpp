// CitationDlg.cpp - the citation format dialog.
#include "CitationDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

CCitationDlg::CCitationDlg(int format, const tavrin::SCitedVerse& sample, const QString& name,
                           QWidget* parent)
    : QDialog(parent), m_sample(sample), m_strName(name) {
    // Format() reads the controls only once OK was pressed.
    setResult(QDialog::Rejected);
    setObjectName(QStringLiteral("IDD_CITATION"));
    setWindowTitle(QStringLiteral("참조 형식"));
    auto* layout = new QVBoxLayout(this);
    const auto make = [this, layout](auto* control, const char* id) {
        control->setObjectName(QLatin1String(id));
        layout->addWidget(control);
        connect(control, &QAbstractButton::toggled, this, &CCitationDlg::ShowPreview);
        return control;
    };
    m_radioFirst = make(new QRadioButton(QStringLiteral("참조를 앞에"), this), "IDC_RADIO_FIRST");
    m_radioLast = make(new QRadioButton(QStringLiteral("참조를 뒤에"), this), "IDC_RADIO_LAST");
    m_checkAbbreviated =
        make(new QCheckBox(QStringLiteral("약어로 (요3:16)"), this), "IDC_CHECK_ABBREVIATED");
    m_checkName = make(new QCheckBox(QStringLiteral("역본 이름 넣기"), this), "IDC_CHECK_NAME");
    m_labelPreview = new QLabel(this);
    m_labelPreview->setObjectName(QStringLiteral("IDC_STATIC_PREVIEW"));
    m_labelPreview->setWordWrap(true);
    m_labelPreview->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_labelPreview);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const tavrin::SCitationFormat chosen = tavrin::DecodeCitationFormat(format);
    (chosen.m_bReferenceLast ? m_radioLast : m_radioFirst)->setChecked(true);
    m_checkAbbreviated->setChecked(chosen.m_bAbbreviated);
    m_checkName->setChecked(chosen.m_bWithName);
    m_checkName->setEnabled(!name.isEmpty());
    m_nGiven = format;
    ShowPreview();
}

int CCitationDlg::Format() const {
    if (result() != QDialog::Accepted)
        return m_nGiven;
    return tavrin::EncodeCitationFormat(
        {m_radioLast->isChecked(), m_checkAbbreviated->isChecked(), m_checkName->isChecked()});
}

QString CCitationDlg::Preview() const {
    return m_labelPreview->text();
}

void CCitationDlg::ShowPreview() {
    if (!m_labelPreview)
        return;
    const tavrin::SCitationFormat format{m_radioLast->isChecked(), m_checkAbbreviated->isChecked(),
                                         m_checkName->isChecked()};
    m_labelPreview->setText(QString::fromStdU16String(
        tavrin::CiteVerses({m_sample}, format, m_strName.toStdU16String())));
}

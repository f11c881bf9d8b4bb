// CitationDlg.h - the small dialog that chooses how a copy with the reference
// is written.
#pragma once

#include <QDialog>

#include "Citation.h"

class QCheckBox;
class QLabel;
class QRadioButton;

// Reference first or last, full names or abbreviations, with or without the
// set's short name, and a preview of sample in that format. Run with exec();
// Format() is the choice (the one given when left with Cancel).
class CCitationDlg : public QDialog {
    Q_OBJECT

public:
    // format: EncodeCitationFormat's form; sample: the verse previewed; name:
    // the set's short name.
    CCitationDlg(int format, const tavrin::SCitedVerse& sample, const QString& name,
                 QWidget* parent = nullptr);

    // The format chosen, as EncodeCitationFormat gives it.
    int Format() const;
    // The preview shown now.
    QString Preview() const;

private:
    void ShowPreview();

    tavrin::SCitedVerse m_sample;
    QString m_strName;
    QRadioButton* m_radioFirst = nullptr;
    QRadioButton* m_radioLast = nullptr;
    QCheckBox* m_checkAbbreviated = nullptr;
    QCheckBox* m_checkName = nullptr;
    QLabel* m_labelPreview = nullptr;
    int m_nGiven = 0;  // the format the dialog opened with
};

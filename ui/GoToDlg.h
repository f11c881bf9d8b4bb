// GoToDlg.h - the go-to dialog: asks for a passage and stays open, the typed
// text selected, while what was typed leads nowhere.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

class CGoToDlg : public QDialog {
    Q_OBJECT

public:
    // Moves the reader to the passage typed; returns "" when it did, else what
    // is wrong, in the reader's words.
    using GoFn = std::function<QString(const QString& typed)>;

    // OK stays disabled while the field holds nothing but blanks.
    explicit CGoToDlg(GoFn go, QWidget* parent = nullptr);

    // OK (or Enter): goes to the passage and closes; when it leads nowhere,
    // shows why under the field and keeps the dialog open with the text selected.
    void accept() override;

    // The message shown under the field; "" when none.
    QString Problem() const;

private:
    void OnTextChanged(const QString& text);

    GoFn m_go;
    QLineEdit* m_editPassage;
    QLabel* m_labelProblem;
    QDialogButtonBox* m_buttons;
};

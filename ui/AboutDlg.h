// AboutDlg.h - the About box: program icon, name and version, and the open set's description.
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class CAboutDlg;
}

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    // Shows description (title and attribution of the open store set's text)
    // under the version, as plain text; an empty one shows nothing.
    void SetDescription(const QString& description);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::CAboutDlg> m_ui;
};

// AboutDlg.cpp - the About box built from its form, with the set's description when it has one.
#include "AboutDlg.h"

#include <QDialogButtonBox>
#include <QScreen>

#include "DialogUnits.h"
#include "Icons.h"
#include "ui_AboutDlg.h"

namespace {
constexpr int kWidthDlu = 134;
constexpr int kHeightDlu = 151;
}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::CAboutDlg>()) {
    m_ui->setupUi(this);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    const QSize icon = DialogUnitsToPixels(font(), 20, 20);
    m_ui->IDC_STATIC_ICON->setPixmap(AppIcon().pixmap(std::min(icon.width(), icon.height())));
    resize(DialogUnitsToPixels(font(), kWidthDlu, kHeightDlu));
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::SetDescription(const QString& description) {
    m_ui->IDC_STATIC_DESCRIPTION->setText(description);
    m_ui->IDC_STATIC_DESCRIPTION->setVisible(!description.isEmpty());
}

void CAboutDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred over the main window, or the screen when there is none.
    const QRect area = parentWidget() ? parentWidget()->window()->frameGeometry()
                                      : (screen() ? screen()->availableGeometry() : QRect());
    if (area.isValid()) {
        move(area.center() - rect().center());
    }
}

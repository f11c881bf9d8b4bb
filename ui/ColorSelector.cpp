// ColorSelector.cpp - the colours and fonts dialog.
#include "ColorSelector.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>

#include <algorithm>

#include "ColorScheme.h"
#include "Palette.h"
#include "ui_ColorSelector.h"

namespace {

// The positions of a colour bar: one per colour value; a page is 32 of them.
constexpr int kBarLast = 255;
constexpr int kBarPage = 32;

}  // namespace

CColorSelector::CColorSelector(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CColorSelector>()) {
    m_ui->setupUi(this);
    m_comboMainSize = m_ui->IDC_COMBO_MAINSIZE;
    m_comboChapterSize = m_ui->IDC_COMBO_CHAPTERSIZE;
    m_comboFont = m_ui->IDC_COMBO_FONT;
    // The face list shows a face that is not installed as plain text, so it is
    // an editable combo whose text cannot be typed into.
    m_comboFont->lineEdit()->setReadOnly(true);
    m_ui->IDC_BUTTON_PREVIEW->installEventFilter(this);

    // Clicks, keys and the wheel move a bar by its own actions; tracking is
    // off, so a drag leaves the bar's value alone until the thumb is let go,
    // while the colour follows the thumb at once.
    for (QScrollBar* bar : {m_ui->IDC_SCROLL_RED, m_ui->IDC_SCROLL_GREEN, m_ui->IDC_SCROLL_BLUE}) {
        bar->setRange(0, kBarLast);
        bar->setPageStep(kBarPage);
        bar->setSingleStep(1);
        bar->setTracking(false);
        bar->installEventFilter(this);
        connect(bar, &QAbstractSlider::valueChanged, this,
                [this, bar](int pos) { OnHScroll(bar, pos); });
        connect(bar, &QAbstractSlider::sliderMoved, this,
                [this, bar](int pos) { OnHScroll(bar, pos); });
    }
    connect(m_ui->IDC_COMBO_ITEM, &QComboBox::activated, this,
            &CColorSelector::OnSelendokColorItem);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    m_ui->buttonBox->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QPushButton* defaults =
        m_ui->buttonBox->addButton(QStringLiteral("기본값"), QDialogButtonBox::ResetRole);
    defaults->setObjectName(QStringLiteral("IDC_BUTTON_DEFAULTS"));
    connect(defaults, &QPushButton::clicked, this, [this] { ApplyScheme(tavrin::kDefaultColors); });
    QPushButton* night =
        m_ui->buttonBox->addButton(QStringLiteral("야간"), QDialogButtonBox::ResetRole);
    night->setObjectName(QStringLiteral("IDC_BUTTON_NIGHT"));
    connect(night, &QPushButton::clicked, this, [this] { ApplyScheme(tavrin::kNightColors); });
}

void CColorSelector::ApplyScheme(const std::array<uint32_t, 8>& scheme) {
    if (!m_pColorItems)
        m_pColorItems = g_colorItems;
    for (int i = 0; i < kColorItemCount; ++i) m_pColorItems[i].crColor = scheme[i];
    ShowCurrentItem();
    m_ui->IDC_BUTTON_PREVIEW->update();
}

void CColorSelector::reject() {
    if (m_bInitialized && !m_bClosing) {
        for (int i = 0; i < kColorItemCount; ++i) m_pColorItems[i].crColor = m_arrOpenedColors[i];
        g_nMainFontSize = m_nOpenedMainSize;
        g_nChapterFontSize = m_nOpenedChapterSize;
        g_strFontFace = m_strOpenedFace;
    }
    QDialog::reject();
}

void CColorSelector::closeEvent(QCloseEvent* event) {
    m_bClosing = true;
    QDialog::closeEvent(event);
    m_bClosing = false;
}

CColorSelector::~CColorSelector() = default;

void CColorSelector::showEvent(QShowEvent* event) {
    if (!m_bInitialized) {
        OnInitDialog();
        // Sized once filled and styled: the form's own size predates both.
        adjustSize();
    }
    QDialog::showEvent(event);
}

COLORITEM& CColorSelector::CurrentItem() const {
    return m_pColorItems[m_nCurItem];
}

bool CColorSelector::OnInitDialog() {
    if (m_bInitialized)
        return true;
    m_bInitialized = true;
    if (!m_pColorItems)
        m_pColorItems = g_colorItems;
    for (int i = 0; i < kColorItemCount; ++i) m_arrOpenedColors[i] = m_pColorItems[i].crColor;
    m_nOpenedMainSize = g_nMainFontSize;
    m_nOpenedChapterSize = g_nChapterFontSize;
    m_strOpenedFace = g_strFontFace;

    QComboBox* items = m_ui->IDC_COMBO_ITEM;
    items->clear();
    for (const COLORITEM* item = m_pColorItems; item->pszName; ++item)
        items->addItem(QString::fromUtf16(item->pszName));
    items->setCurrentIndex(0);

    ShowCurrentItem();

    // Entries go to fixed positions so the list keeps the offered order; a
    // size not offered shows the first entry and stays as it is.
    const auto fillSizes = [](QComboBox* combo, int32_t current) {
        combo->clear();
        int selected = 0;
        for (int i = 0; i < static_cast<int>(std::size(g_arFontSizes)); ++i) {
            combo->insertItem(i, QString::number(g_arFontSizes[i]));
            if (g_arFontSizes[i] == current && selected == 0)
                selected = i;
        }
        combo->setCurrentIndex(selected);
    };
    fillSizes(m_comboMainSize, g_nMainFontSize);
    fillSizes(m_comboChapterSize, g_nChapterFontSize);

    QStringList faces = QFontDatabase::families();
    std::sort(faces.begin(), faces.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    m_comboFont->clear();
    m_comboFont->addItems(faces);
    const int face = m_comboFont->findText(g_strFontFace, Qt::MatchFixedString);
    if (face >= 0) {
        m_comboFont->setCurrentIndex(face);
    } else {
        m_comboFont->setCurrentIndex(-1);
        m_comboFont->setEditText(g_strFontFace);
    }

    // Connected only now: filling the lists is not a choice of the user's.
    connect(m_comboMainSize, &QComboBox::currentIndexChanged, this,
            &CColorSelector::OnSelchangeMainSize, Qt::UniqueConnection);
    connect(m_comboChapterSize, &QComboBox::currentIndexChanged, this,
            &CColorSelector::OnSelchangeChapterSize, Qt::UniqueConnection);
    connect(m_comboFont, &QComboBox::currentIndexChanged, this, &CColorSelector::OnSelchangeFont,
            Qt::UniqueConnection);
    return true;
}

void CColorSelector::OnHScroll(QScrollBar* pScrollBar, int nPos) {
    QScrollBar* bars[] = {m_ui->IDC_SCROLL_RED, m_ui->IDC_SCROLL_GREEN, m_ui->IDC_SCROLL_BLUE};
    if (!pScrollBar || std::find(std::begin(bars), std::end(bars), pScrollBar) == std::end(bars))
        return;
    int rgb[3];
    for (int i = 0; i < 3; ++i) rgb[i] = bars[i] == pScrollBar ? nPos : bars[i]->value();
    const uint32_t color = MakeColor(rgb[0], rgb[1], rgb[2]);
    if (color == CurrentItem().crColor)
        return;
    SetValueLabels(rgb[0], rgb[1], rgb[2]);
    CurrentItem().crColor = color;
    m_ui->IDC_BUTTON_PREVIEW->update();
}

void CColorSelector::ShowCurrentItem() {
    const uint32_t color = CurrentItem().crColor;
    {
        // Set one by one, the bars would report colours that mix two items.
        const QSignalBlocker red(m_ui->IDC_SCROLL_RED);
        const QSignalBlocker green(m_ui->IDC_SCROLL_GREEN);
        const QSignalBlocker blue(m_ui->IDC_SCROLL_BLUE);
        m_ui->IDC_SCROLL_RED->setValue(RedOf(color));
        m_ui->IDC_SCROLL_GREEN->setValue(GreenOf(color));
        m_ui->IDC_SCROLL_BLUE->setValue(BlueOf(color));
    }
    SetValueLabels(m_ui->IDC_SCROLL_RED->value(), m_ui->IDC_SCROLL_GREEN->value(),
                   m_ui->IDC_SCROLL_BLUE->value());
}

void CColorSelector::OnSelendokColorItem(int nIndex) {
    if (nIndex < 0 || nIndex == m_nCurItem)
        return;
    m_nCurItem = nIndex;
    ShowCurrentItem();
    m_ui->IDC_BUTTON_PREVIEW->update();
}

void CColorSelector::OnSelchangeMainSize(int nIndex) {
    if (nIndex >= 0 && nIndex < static_cast<int>(std::size(g_arFontSizes)))
        g_nMainFontSize = g_arFontSizes[nIndex];
}

void CColorSelector::OnSelchangeChapterSize(int nIndex) {
    if (nIndex >= 0 && nIndex < static_cast<int>(std::size(g_arFontSizes)))
        g_nChapterFontSize = g_arFontSizes[nIndex];
}

void CColorSelector::OnSelchangeFont(int nIndex) {
    if (nIndex >= 0)
        g_strFontFace = m_comboFont->itemText(nIndex);
}

void CColorSelector::SetValueLabels(int nRed, int nGreen, int nBlue) {
    m_ui->IDC_STATIC_RED->setText(QString::number(nRed));
    m_ui->IDC_STATIC_GREEN->setText(QString::number(nGreen));
    m_ui->IDC_STATIC_BLUE->setText(QString::number(nBlue));
}

bool CColorSelector::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->IDC_BUTTON_PREVIEW && event->type() == QEvent::Paint) {
        OnDrawItem(m_ui->IDC_BUTTON_PREVIEW);
        return true;
    }
    // QScrollBar inverts its keys (Left adds, Right subtracts), which suits a
    // wheel but not a horizontal bar; the keys are mapped here the plain way.
    auto* bar = qobject_cast<QScrollBar*>(watched);
    if (bar && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto action = QAbstractSlider::SliderNoAction;
        switch (key->key()) {
            case Qt::Key_Left:
            case Qt::Key_Up:
                action = QAbstractSlider::SliderSingleStepSub;
                break;
            case Qt::Key_Right:
            case Qt::Key_Down:
                action = QAbstractSlider::SliderSingleStepAdd;
                break;
            case Qt::Key_PageUp:
                action = QAbstractSlider::SliderPageStepSub;
                break;
            case Qt::Key_PageDown:
                action = QAbstractSlider::SliderPageStepAdd;
                break;
            case Qt::Key_Home:
                action = QAbstractSlider::SliderToMinimum;
                break;
            case Qt::Key_End:
                action = QAbstractSlider::SliderToMaximum;
                break;
            default:
                break;
        }
        if (action != QAbstractSlider::SliderNoAction && key->modifiers() == Qt::NoModifier) {
            bar->triggerAction(action);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CColorSelector::OnDrawItem(QWidget* pSwatch) {
    // The swatch is nothing but the current item's colour.
    if (!m_pColorItems)
        return;
    QPainter painter(pSwatch);
    painter.fillRect(pSwatch->rect(), ColorOf(CurrentItem().crColor));
}

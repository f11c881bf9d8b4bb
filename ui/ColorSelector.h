// ColorSelector.h - the colours and fonts dialog, which edits the display
// settings in place.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>

#include "DisplaySettings.h"

class QCloseEvent;
class QComboBox;
class QEvent;
class QScrollBar;
class QShowEvent;

namespace Ui {
class CColorSelector;
}

// The modal dialog in which the user picks the eight colours, the two font
// sizes and the face. Every change goes into m_pColorItems, g_nMainFontSize,
// g_nChapterFontSize and g_strFontFace at once; closing it keeps them, except
// "취소" and Escape, which put back the values it opened with. "기본값" and
// "야간" put in the built-in and the night colours. It neither reads nor
// writes the settings file. Run with exec().
class CColorSelector : public QDialog {
    Q_OBJECT

public:
    explicit CColorSelector(QWidget* parent = nullptr);
    ~CColorSelector() override;

    // The table edited; set before the dialog is shown. Not owned. When still
    // null at the first showing, g_colorItems is used.
    COLORITEM* m_pColorItems = nullptr;
    QComboBox* m_comboMainSize = nullptr;     // 1008
    QComboBox* m_comboChapterSize = nullptr;  // 1009
    QComboBox* m_comboFont = nullptr;         // 1010
    int m_nCurItem = 0;                       // index of the item being edited

    // Fills the controls from the settings; runs once, at the first showing.
    bool OnInitDialog();
    // Colour bar pScrollBar (one of the three) stands at nPos, or its thumb
    // is dragged there: the current item takes the colour of the three bars.
    void OnHScroll(QScrollBar* pScrollBar, int nPos);
    // The eight colours of scheme go into the table (sizes and face stay).
    void ApplyScheme(const std::array<uint32_t, 8>& scheme);
    // "취소" and Escape: the values the dialog opened with come back.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    // Closing the window keeps the changes, as it always did.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSelendokColorItem(int nIndex);
    void OnSelchangeMainSize(int nIndex);
    void OnSelchangeChapterSize(int nIndex);
    void OnSelchangeFont(int nIndex);
    void OnDrawItem(QWidget* pSwatch);
    void SetValueLabels(int nRed, int nGreen, int nBlue);
    COLORITEM& CurrentItem() const;
    // The bars and their labels show the current item's colour.
    void ShowCurrentItem();

    std::unique_ptr<Ui::CColorSelector> m_ui;
    bool m_bInitialized = false;
    bool m_bClosing = false;  // a close, not a cancel, is rejecting
    // What the dialog opened with, for "취소".
    std::array<uint32_t, kColorItemCount> m_arrOpenedColors{};
    int32_t m_nOpenedMainSize = 0;
    int32_t m_nOpenedChapterSize = 0;
    QString m_strOpenedFace;
};

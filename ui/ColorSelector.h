// ColorSelector.h - the colours and fonts dialog, which edits the display
// settings in place, and the scroll arithmetic of its colour bars.
#pragma once

#include <QDialog>

#include <memory>

#include "DisplaySettings.h"

class QComboBox;
class QEvent;
class QScrollBar;
class QShowEvent;

namespace Ui {
class CColorSelector;
}

// Scroll requests of a horizontal bar, numbered as the bars report them.
enum : int {
    SB_LINELEFT = 0,
    SB_LINERIGHT = 1,
    SB_PAGELEFT = 2,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_LEFT = 6,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
};

// Where one scroll request takes a bar.
struct HScrollStep {
    int nPos;      // the new position, within the bar's reachable positions
    bool bSetBar;  // false while the thumb is dragged: the bar moves itself
};

// The new position for request nSBCode on a bar whose range is nMin..nMax with
// page nPage (reachable positions nMin..nMax-nPage+1) and whose position is
// nCurPos; nPos is the thumb position the request carries (its low 16 bits are
// used, relative to nMin). Unknown codes keep nCurPos. Needs no widget.
HScrollStep ComputeHScroll(int nSBCode, int nPos, int nMin, int nMax, int nPage, int nCurPos);

// The modal dialog in which the user picks the eight colours, the two font
// sizes and the face. Every change goes into m_pColorItems, g_nMainFontSize,
// g_nChapterFontSize and g_strFontFace at once; closing it in any way keeps
// them. It neither reads nor writes the settings file. Run with exec().
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
    // One scroll request from bar pScrollBar (one of the three colour bars).
    void OnHScroll(int nSBCode, int nPos, QScrollBar* pScrollBar);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSelendokColorItem(int nIndex);
    void OnSelchangeMainSize(int nIndex);
    void OnSelchangeChapterSize(int nIndex);
    void OnSelchangeFont(int nIndex);
    void OnBarAction(QScrollBar* pScrollBar, int nAction);
    void OnDrawItem(QWidget* pSwatch);
    void SetValueLabels(int nRed, int nGreen, int nBlue);
    COLORITEM& CurrentItem() const;
    // The bars and their labels show the current item's colour.
    void ShowCurrentItem();

    std::unique_ptr<Ui::CColorSelector> m_ui;
    bool m_bInitialized = false;
};

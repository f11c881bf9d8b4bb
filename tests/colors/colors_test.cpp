// colors_test.cpp - the colours and fonts dialog: scroll arithmetic, the bars
// driven as a user would, item and list choices, and changes that outlive it.
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include "ColorSelector.h"
#include "CommandIds.h"
#include "DisplaySettings.h"
#include "MainFrame.h"
#include "PopupEdit.h"
#include "StoreFixture.h"
#include "TavrinApp.h"
#include "TavrinView.h"

class ColorsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CColorSelector> m_dlg;
    QWidget* m_pDialog = nullptr;  // the dialog the helpers below work on

    // Opens a new dialog on the settings as they are now.
    void Reopen() {
        m_dlg = std::make_unique<CColorSelector>();
        m_dlg->show();
        m_pDialog = m_dlg.get();
    }
    template <typename T>
    T* Child(const char* name) {
        auto* w = m_pDialog->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QScrollBar* Bar(int i) {
        static const char* names[] = {"IDC_SCROLL_RED", "IDC_SCROLL_GREEN", "IDC_SCROLL_BLUE"};
        return Child<QScrollBar>(names[i]);
    }
    // The bars' positions, the value labels and the swatch's colour.
    QString Shown() {
        QStringList parts;
        for (int i = 0; i < 3; ++i) parts << QString::number(Bar(i)->value());
        for (auto* name : {"IDC_STATIC_RED", "IDC_STATIC_GREEN", "IDC_STATIC_BLUE"})
            parts << Child<QLabel>(name)->text();
        const QImage swatch = Child<QPushButton>("IDC_BUTTON_PREVIEW")->grab().toImage();
        return parts.join(' ') + ' ' + QColor(swatch.pixel(swatch.rect().center())).name();
    }
    void PickItem(int index) {
        auto* combo = Child<QComboBox>("IDC_COMBO_ITEM");
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

private slots:
    void init() {
        ResetDisplaySettings(g_colorItems);
        Reopen();  // edits g_colorItems, left unset
    }
    void cleanup() { m_dlg.reset(); }

    // On a bar of range 0..286 with page 32, as the dialog's bars are.
    void scrollArithmetic() {
        const struct {
            const char* name;
            int code, pos, cur, expected;
            bool setBar;
        } rows[] = {
            {"line right at 255 stays", SB_LINERIGHT, 0, 255, 255, true},
            {"page left from 20", SB_PAGELEFT, 0, 20, 0, true},
            {"page right from 240", SB_PAGERIGHT, 0, 240, 255, true},
            {"page right from 100", SB_PAGERIGHT, 0, 100, 132, true},
            {"thumb position, high bits dropped", SB_THUMBPOSITION, 0x30064, 7, 100, true},
            {"thumb track leaves the bar", SB_THUMBTRACK, 77, 7, 77, false},
            {"thumb past the last position", SB_THUMBPOSITION, 300, 7, 255, true},
            {"right stops at 255, not 286", SB_RIGHT, 0, 99, 255, true},
            {"end scroll keeps", SB_ENDSCROLL, 5, 99, 99, true},
        };
        for (const auto& r : rows) {
            const HScrollStep step = ComputeHScroll(r.code, r.pos, 0, 286, 32, r.cur);
            QCOMPARE(QString("%1: %2 %3").arg(r.name).arg(step.nPos).arg(step.bSetBar),
                     QString("%1: %2 %3").arg(r.name).arg(r.expected).arg(r.setBar));
        }
    }

    void opensOnFirstItemAndFollowsItemChoice() {
        QCOMPARE(Child<QComboBox>("IDC_COMBO_ITEM")->count(), kColorItemCount);
        QCOMPARE(Child<QComboBox>("IDC_COMBO_ITEM")->currentText(), QString("배경글"));
        QCOMPARE(Shown(), QString("0 0 0 0 0 0 #000000"));
        PickItem(1);
        QCOMPARE(Shown(), QString("235 250 205 235 250 205 #ebfacd"));
        // Choosing the item already edited must not reload the bars.
        Bar(0)->setValue(10);
        PickItem(1);
        QCOMPARE(Bar(0)->value(), 10);
    }

    void barsMoveTheColourOfTheCurrentItem() {
        PickItem(6);  // 255, 255, 135
        auto* red = Child<QLabel>("IDC_STATIC_RED");
        red->setText("untouched");
        Bar(0)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(Bar(0)->value(), 255);
        QCOMPARE(red->text(), QString("untouched"));
        QCOMPARE(g_colorItems[6].crColor, MakeColor(255, 255, 135));

        PickItem(5);  // 240, 242, 230
        Bar(0)->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(Shown(), QString("255 242 230 255 242 230 #fff2e6"));
        QCOMPARE(g_colorItems[5].crColor, MakeColor(255, 242, 230));

        // Keys reach the same arithmetic.
        Bar(2)->setFocus();
        QTest::keyClick(Bar(2), Qt::Key_Left);
        QTest::keyClick(Bar(2), Qt::Key_PageUp);
        QCOMPARE(Shown(), QString("255 242 197 255 242 197 #fff2c5"));
        QTest::keyClick(Bar(1), Qt::Key_Home);
        QCOMPARE(g_colorItems[5].crColor, MakeColor(255, 0, 197));
        QCOMPARE(g_colorItems[4].crColor, MakeColor(0, 0, 77));
    }

    void dragFollowsColourButSetsBarOnRelease() {
        PickItem(3);  // 252, 237, 225
        Bar(1)->setSliderDown(true);
        Bar(1)->setSliderPosition(100);
        QCOMPARE(Shown(), QString("252 237 225 252 100 225 #fc64e1"));
        QCOMPARE(g_colorItems[3].crColor, MakeColor(252, 100, 225));
        Bar(1)->setSliderPosition(300);
        QCOMPARE(Child<QLabel>("IDC_STATIC_GREEN")->text(), QString("255"));
        Bar(1)->setSliderDown(false);
        QCOMPARE(Shown(), QString("252 255 225 252 255 225 #fcffe1"));
    }

    void sizeListsKeepOrderAndUnofferedSizes() {
        g_nMainFontSize = 17;
        g_nChapterFontSize = 28;
        Reopen();
        QCOMPARE(m_dlg->m_comboMainSize->itemText(4), QString("18"));
        QCOMPARE(m_dlg->m_comboMainSize->currentText(), QString("13"));
        QCOMPARE(m_dlg->m_comboChapterSize->currentText(), QString("28"));
        QCOMPARE(g_nMainFontSize, 17);  // until the user picks a size
    }

    void faceFoundIgnoringCaseOrShownAsText() {
        const QStringList families = QFontDatabase::families();
        if (families.isEmpty())
            QSKIP("no font families on this platform");
        g_strFontFace = families.last().toUpper();
        Reopen();
        QCOMPARE(m_dlg->m_comboFont->currentText().toUpper(), g_strFontFace);
        QVERIFY(m_dlg->m_comboFont->currentIndex() >= 0);

        g_strFontFace = "No Such Face 7";
        Reopen();
        QCOMPARE(m_dlg->m_comboFont->currentIndex(), -1);
        QCOMPARE(m_dlg->m_comboFont->currentText(), g_strFontFace);
    }

    // Picks in the dialog go into the settings; closing without OK keeps them,
    // and the reader applies and saves them.
    void colourCommandRoundTrip() {
        m_dlg.reset();
        QFile::remove(SettingsFilePath());  // start from the defaults
        tavrin::test::CStoreFixture fx;
        fx.AddSampleSet();
        fx.Build();
        CTavrinApp* app = CTavrinApp::Instance();
        QVERIFY(app->InitInstance(QString::fromStdString(fx.Folder())));
        QString face = g_strFontFace;
        QTimer::singleShot(0, this, [&] {
            auto* dlg = qobject_cast<CColorSelector*>(QApplication::activeModalWidget());
            if (!(m_pDialog = dlg))
                return;
            PickItem(3);  // 252, 237, 225
            Bar(0)->triggerAction(QAbstractSlider::SliderToMinimum);
            Bar(1)->triggerAction(QAbstractSlider::SliderPageStepSub);
            dlg->m_comboMainSize->setCurrentIndex(5);
            dlg->m_comboChapterSize->setCurrentIndex(9);
            if (dlg->m_comboFont->count() > 0) {
                dlg->m_comboFont->setCurrentIndex(dlg->m_comboFont->count() - 1);
                face = dlg->m_comboFont->currentText();
            }
            dlg->close();
        });
        app->MainFrame()->Action(ID_VIEW_COLORS)->trigger();

        QFile file(SettingsFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.mid(12, 4).toHex(), QByteArray("00cde100"));
        QCOMPARE(bytes.mid(32, 8).toHex(), QByteArray("140000001c000000"));
        QCOMPARE(g_strFontFace, face);
        QCOMPARE(bytes, EncodeSettings(g_colorItems));

        CPopupEdit* text = app->MainFrame()->View()->findChild<CPopupEdit*>("IDC_EDIT_TEXT");
        QCOMPARE(text->palette().color(QPalette::Base), QColor(0, 205, 225));
        QCOMPARE(text->font().pixelSize(), 20);
        QCOMPARE(text->font().family(), face);
        app->ExitInstance();
    }
};

int main(int argc, char** argv) {
    CTavrinApp app(argc, argv);
    ColorsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "colors_test.moc"

// shell_test.cpp - the reader program driven through its windows and keys, offscreen.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include "AboutDlg.h"
#include "ChapterDlg.h"
#include "ChapterListBox.h"
#include "CitationDlg.h"
#include "CodePage.h"
#include "ColorScheme.h"
#include "ColorSelector.h"
#include "FileBytes.h"
#include "GoToDlg.h"
#include "MainFrame.h"
#include "Messages.h"
#include "Palette.h"
#include "PopupEdit.h"
#include "PrintText.h"
#include "SearchDlg.h"
#include "SetInfo.h"
#include "StoreFixture.h"
#include "StoreSet.h"
#include "TavrinApp.h"
#include "TavrinView.h"

namespace {
QStringList Items(const QAbstractItemModel* model) {
    QStringList out;
    for (int i = 0; i < model->rowCount(); ++i) out << model->index(i, 0).data().toString();
    return out;
}
QByteArray Bytes(const QString& path) {
    return QByteArray::fromStdString(tavrin::test::ReadBytes(path.toStdString()));
}
// The notes file's text after its byte-order mark, "?" when the mark is missing.
QString NotesText() {
    const QByteArray bytes = Bytes(CTavrinView::NotesFilePath());
    const auto* text = reinterpret_cast<const char16_t*>(bytes.constData());
    return bytes.startsWith("\xFF\xFE") ? QString::fromUtf16(text + 1, bytes.size() / 2 - 1) : "?";
}
// The entries of the pop-up menu that act opens, at once or later ("(off)":
// greyed); it is then closed.
QStringList PopupOf(const std::function<void()>& act) {
    QStringList labels;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&labels, &poll] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            poll.stop();
            for (QAction* a : menu->actions())
                labels << a->text() + (a->isEnabled() ? "" : "(off)");
            menu->close();
        }
    });
    poll.start(10);
    act();
    if (!QTest::qWaitFor([&labels] { return !labels.isEmpty(); }, 20000))
        labels << "(no menu)";
    return labels;
}
void RightClick(QWidget* w, const QPoint& p) {
    QTest::mousePress(w, Qt::RightButton, {}, p);
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, w->mapToGlobal(p));
    QApplication::sendEvent(w, &event);
}
// Per role, the colour item shown ('-': the application's; '!': another when inactive).
QString ItemsOf(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles) {
    QString items;
    for (QPalette::ColorRole role : roles) {
        const QColor c = widget->palette().color(role);
        QChar item = c == QApplication::palette(widget).color(role) ? '-' : '?';
        for (int i = 0; i < kColorItemCount; ++i)
            item = ColorOf(g_colorItems[i].crColor) == c ? QChar('0' + i) : item;
        items += widget->palette().color(QPalette::Inactive, role) == c ? item : QChar('!');
    }
    return items;
}
// Chapter c of 창 (31, 3, 2 verses) or 마 (20, 1) laid out; verse n reads "c장 n".
QString Chapter(const QString& book, int c, const char* layout = "  [%1]\r\n%2\r\n\r\n") {
    const bool old = book == "창";
    QString text;
    for (int n = 1; n <= (old ? std::vector{31, 3, 2} : std::vector{20, 1}).at(c - 1); ++n)
        text +=
            QString(layout).arg(book + QString::number(c) + (old ? ":" : ": ") + QString::number(n),
                                QString("%1장 %2").arg(c).arg(n));
    return text;
}
}  // namespace

class CShellTest : public QObject {
    Q_OBJECT

    static CTavrinApp* App() { return static_cast<CTavrinApp*>(QCoreApplication::instance()); }
    CMainFrame* Frame() { return App()->MainFrame(); }
    QAction* Act(const char* name) { return Frame()->findChild<QAction*>(name); }
    CTavrinView* View() { return Frame()->View(); }
    template <typename T = QWidget>
    T* Find(const char* name) {
        return View()->findChild<T*>(name);
    }
    CChapterListBox* List() { return Find<CChapterListBox>("IDC_LIST_REF"); }
    CPopupEdit* Edit() { return Find<CPopupEdit>("IDC_EDIT_TEXT"); }
    QComboBox* Books() { return Find<QComboBox>("IDC_COMBO_BOOK"); }

    void StartWith(const std::function<void(tavrin::test::CStoreFixture&)>& fill) {  // a new set
        m_pFixture = std::make_unique<tavrin::test::CStoreFixture>();
        fill(*m_pFixture);
        m_pFixture->Build();
        Restart();
    }
    void Restart() {
        QVERIFY(App()->InitInstance(QString::fromStdString(m_pFixture->Folder())));
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }
    void CtrlKey(Qt::Key key) {
        Frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
        QTest::keyClick(Frame(), key, Qt::ControlModifier);
    }
    // Runs act, which opens a modal dialog, and meanwhile then on that dialog
    // once it is the active window (closed after).
    template <typename T>
    void OnModal(const std::function<void()>& act, const std::function<void(T*)>& then) {
        bool ran = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!dlg || !dlg->isVisible() || !dlg->isActiveWindow() || ran)
                return;
            then((ran = true, dlg));
            if (dlg->isVisible())
                dlg->reject();
        });
        poll.start(20);
        act();
        QVERIFY(ran);
    }

    std::unique_ptr<tavrin::test::CStoreFixture> m_pFixture;
    QStringList m_arrMessages;

    void Start() {
        StartWith([](tavrin::test::CStoreFixture& fx) {
            fx.AddSampleSet();
            fx.AddBook(tavrin::Testament::New, u"고린도후서",
                       {{u"고후1: 1", u"0123456789abcdefghij"}, {u"고후12: 21", u"끝"}});
        });
    }
    QString Shown() {  // testament, book and reference, then the text
        return (Find<QRadioButton>("IDC_RADIO_OLD")->isChecked() ? "구약 " : "신약 ") +
               Books()->currentText() + ' ' + View()->SelectedReference() + " / " +
               Edit()->toPlainText();
    }
    void Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }
    QScrollBar* Bar(const char* name) { return m_pDialog->findChild<QScrollBar*>(name); }
    QString Label(const char* name) { return m_pDialog->findChild<QLabel*>(name)->text(); }
    void PickItem(int index) {
        auto* combo = m_pDialog->findChild<QComboBox*>("IDC_COMBO_ITEM");
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    CColorSelector* m_pDialog = nullptr;  // the colours dialog the helpers above work on

private slots:
    void init() {  // no settings, state or notes file; messages recorded
        for (auto place : {QStandardPaths::AppConfigLocation, QStandardPaths::DocumentsLocation})
            QDir(QStandardPaths::writableLocation(place)).removeRecursively();
        ResetDisplaySettings(g_colorItems);
        m_arrMessages.clear();
        SetMessageSinkForTesting([this](const QString& m) { m_arrMessages << m; });
        QApplication::clipboard()->setText(QStringLiteral("before"));
    }
    void cleanup() {
        App()->DestroyMainWindow();
        SetPdfPathAskerForTesting({});
    }

    void startsAndFollowsTheUsersChoices() {  // the go-to included
        Start();
        QCOMPARE(Shown(), QString("신약 마태복음 마1: 1 / 마1: 1 말씀"));
        QCOMPARE(Items(Books()->model()).join(','), "마태복음,요한계시록,고린도후서");
        QCOMPARE(Items(List()->model()).join(','), "마1: 1,마1: 2,마2: 1");
        QCOMPARE(QApplication::focusWidget(), List());
        QCOMPARE(Frame()->windowTitle(), "Tavrin");
        // Tab goes the way the eye reads: testament, book, references, text.
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order.join(','), "IDC_EDIT_TEXT,IDC_RADIO_NEW,IDC_COMBO_BOOK,IDC_LIST_REF");
        // The panes show which of them has the focus.
        const auto framed = [](QWidget* pane) {
            return pane->grab().toImage().pixelColor(0, pane->height() / 2) ==
                   pane->palette().color(QPalette::Highlight);
        };
        QVERIFY(framed(List()));
        QVERIFY(!framed(Edit()));
        Edit()->setFocus();
        QVERIFY(!framed(List()));
        QVERIFY(framed(Edit()));
        List()->setFocus();
        QCOMPARE(Frame()->size(), QSize(480, 640).boundedTo(Frame()->screen()->availableSize()));
        QList<QAction*> actions;  // the menus, the window's own keys, the tool bar
        for (QAction* menu : Frame()->menuBar()->actions()) actions += menu->menu()->actions();
        QStringList entries;
        for (QAction* a : actions + Frame()->actions() + Frame()->ToolBar()->actions())
            entries << (a->isSeparator() ? "-" : a->text() + ' ' + a->shortcut().toString());
        QCOMPARE(
            entries.join('|'),
            "내보내기... |가져오기... |-|"
            "종료 Ctrl+Q|복사 |참조와 함께 복사 Ctrl+Shift+C|참조 형식... |"
            "파일에 저장 Ctrl+S|-|찾기... Ctrl+F|이동... Ctrl+L|"
            "-|책갈피 Ctrl+D|책갈피 이름... |형광펜 |메모... Ctrl+M|"
            "확대 Ctrl+=|축소 Ctrl+-|원래 크기 Ctrl+0|-|뒤로 Alt+Left|앞으로 Alt+Right|"
            "이전 장 Ctrl+PgUp|다음 장 Ctrl+PgDown|-|장 읽기를 문단으로 |-|내 노트 Ctrl+Shift+B|"
            "-|통독 |main |-|main |"
            "Tavrin 정보... |책갈피 Ctrl+D|책갈피 이름... |노랑 |초록 |파랑 |분홍 |주황 |"
            "지우기 |메모... Ctrl+M|파일에 저장 Ctrl+S|New Ctrl+N|Open Ctrl+O|-|"
            "파일에 저장 Ctrl+S|색상과 글꼴 |Tavrin 정보... |찾기... Ctrl+F|-|뒤로 Alt+Left|"
            "앞으로 Alt+Right|-| |-|통독 ");
        QCOMPARE(Frame()->menuBar()->actions()[2]->text(), "보기(&V)");
        QCOMPARE(Frame()->menuBar()->actions()[3]->text(), "역본");
        Click("IDC_RADIO_OLD");
        QCOMPARE(Shown(), "구약 창세기 창1:1 / 창1:1 말씀");
        QCOMPARE(Items(Books()->model()).join(','), "창세기,출애굽기");
        Books()->setCurrentIndex(1);  // as the user's pick
        QCOMPARE(Shown(), "구약 출애굽기 출1:1 / 출1:1 말씀");
        QCOMPARE(Items(List()->model()).join(','), "출1:1");
        Click("IDC_RADIO_NEW");
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualRect(List()->model()->index(1, 0)).center());
        QCOMPARE(Shown(), QString("신약 마태복음 마1: 2 / 마1: 2 말씀"));
        QKeyEvent typeAhead(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("마2"));
        QApplication::sendEvent(List(), &typeAhead);
        QCOMPARE(Shown(), QString("신약 마태복음 마2: 1 / 마2: 1 말씀"));
        Books()->setCurrentIndex(2);
        Frame()->resize(10, 10);  // however narrow, the widest entry reads in full
        QApplication::processEvents();
        QVERIFY(List()->viewport()->width() >=
                List()->fontMetrics().horizontalAdvance("고후12: 21"));
        Edit()->setFocus();  // the go-to gives the focus to the reference pane
        // One visit: OK disabled while empty; an error shown with the dialog
        // open and the text selected; then a passage that leads somewhere.
        OnModal<CGoToDlg>(
            [this] { CtrlKey(Qt::Key_L); },
            [](CGoToDlg* dlg) {
                auto* field = dlg->findChild<QLineEdit*>("IDC_EDIT_PASSAGE");
                auto* ok = dlg->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                field->setText(QStringLiteral(" \u3000"));
                QTest::keyClick(field, Qt::Key_Return);
                QVERIFY(!ok->isEnabled());
                QVERIFY(dlg->isVisible());
                // Qt's own texts in Korean
                QCOMPARE(ok->text(), QStringLiteral("확인"));
                QCOMPARE(
                    dlg->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text(),
                    QStringLiteral("취소"));
                field->setText("마29:1");
                QTest::keyClick(field, Qt::Key_Return);
                QCOMPARE(dlg->Problem(), "마태복음은 2장까지 있습니다.");
                QVERIFY(dlg->isVisible());
                QCOMPARE(field->selectedText(), "마29:1");
                field->setText("창세기 2장 2절");
                ok->click();
                QVERIFY(!dlg->isVisible());
            });
        QCOMPARE(Shown(), QString("구약 창세기 창2:2 / 창2:2 말씀"));
        QVERIFY(m_arrMessages.isEmpty());
        QCOMPARE(Frame()->focusWidget(), List());
        CtrlKey(Qt::Key_N);  // a new document: the first showing again
        QCOMPARE(Shown(), QString("신약 마태복음 마1: 1 / 마1: 1 말씀"));
    }

    // Results follow the typing; choosing one moves the form as the user's pick would.
    void searchResultsMoveTheForm() {
        Start();
        CtrlKey(Qt::Key_F);
        auto* dlg = Frame()->findChild<CSearchDlg*>("IDD_SEARCH");
        QVERIFY(dlg && dlg->isVisible());
        auto* query = dlg->findChild<QLineEdit*>("IDC_EDIT_QUERY");
        auto* results = dlg->findChild<QListView*>("IDC_LIST_RESULTS");
        QTRY_COMPARE(QApplication::focusWidget(), query);
        query->insert("말씀 1:");  // as an input method commits it
        const auto rows = [results] { return Items(results->model()).join(','); };
        QCOMPARE(rows(),
                 "창1:1  창1:1 말씀,창1:2  창1:2 말씀,창1:3  창1:3 말씀,출1:1  출1:1 말씀,"
                 "마1: 1  마1: 1 말씀,마1: 2  마1: 2 말씀,계1: 1  계1: 1 말씀");
        QCOMPARE(dlg->findChild<QLabel*>("IDC_STATIC_COUNT")->text(), QString("7개"));
        // A PDF of the matches, offered under the query's name (its failures: the reader's test).
        const QString found = QString::fromStdString(m_pFixture->PathOf("found.pdf"));
        QString offered;
        SetPdfPathAskerForTesting([&](const QString& name) { return offered = name, found; });
        dlg->findChild<QAction*>("ID_FILE_SAVE_PDF")->trigger();
        QCOMPARE(QFileInfo(offered).fileName(), "찾기: 말씀 1: (7개).pdf");
        QVERIFY(Bytes(found).startsWith("%PDF-"));
        QVERIFY(Bytes(found).trimmed().endsWith("%%EOF"));
        QCOMPARE(Shown(), QString("신약 마태복음 마1: 1 / 마1: 1 말씀"));  // nothing chosen yet
        for (auto [key, modifier] : {std::pair{Qt::Key_Return, Qt::NoModifier},
                                     {Qt::Key_Enter, Qt::KeypadModifier},
                                     {Qt::Key_Down, Qt::NoModifier}}) {
            QTest::keyClick(results, Qt::Key_End);
            query->setFocus();
            QTest::keyClick(query, key, modifier);  // the first result chosen
            QCOMPARE(Shown(), QString("구약 창세기 창1:1 / 창1:1 말씀"));
            QCOMPARE(QApplication::focusWidget(), results);
        }
        QTest::keyClick(results, Qt::Key_End);
        QCOMPARE(Shown(), QString("신약 요한계시록 계1: 1 / 계1: 1 말씀"));
        dlg->findChild<QComboBox*>("IDC_COMBO_SCOPE")->setCurrentIndex(1);  // 구약
        QCOMPARE(rows().count(','), 3);
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {},
                          results->visualRect(results->model()->index(3, 0)).center());
        QCOMPARE(Shown(), QString("구약 출애굽기 출1:1 / 출1:1 말씀"));
        query->setText("ㅈㅎ");  // nothing has those initials
        QCOMPARE(rows(), QString());
        QCOMPARE(dlg->findChild<QLabel*>("IDC_STATIC_COUNT")->text(), "찾는 구절이 없습니다");
        query->setText(QString(500, u'ㅎ'));  // at the limit: searched
        QCOMPARE(dlg->findChild<QLabel*>("IDC_STATIC_COUNT")->text(), "찾는 구절이 없습니다");
        query->setText(QString(501, u'ㅎ'));
        QCOMPARE(dlg->findChild<QLabel*>("IDC_STATIC_COUNT")->text(), "너무 깁니다 (500자까지)");
        QTest::keyClick(results, Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
    }

    void textPaneTakesNoTypingAndCopiesByMenu() {
        Start();
        Books()->setCurrentIndex(2);
        CPopupEdit* edit = Edit();
        const QString all = "0123456789abcdefghij";
        QKeyEvent hangul(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("가"));
        QApplication::sendEvent(edit, &hangul);
        for (auto key :
             {Qt::Key_A, Qt::Key_Space, Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Delete})
            QTest::keyClick(edit, key);
        QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {}, QPoint(20, 8));  // no word
        Act("ID_VERSE_COPY")->trigger();  // before any menu: an empty range
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), "before");
        QCOMPARE(edit->toPlainText(), all);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), all);
        // The menu saves the selection ("복사" greyed without one); its copy takes that range.
        for (const auto& [start, end, copied] :
             {std::tuple<int, int, QString>{5, 5, all}, {5, 12, "56789ab"}, {18, 20, "ij"}}) {
            QTextCursor c = edit->textCursor();
            c.setPosition(start);
            c.setPosition(end, QTextCursor::KeepAnchor);
            edit->setTextCursor(c);
            QCOMPARE(PopupOf([edit] { RightClick(edit->viewport(), QPoint(30, 8)); }).join('|'),
                     (start == end ? "복사(off)" : "복사") +
                         QString("|참조와 함께 복사|전체 복사||파일에 저장||책갈피|책갈피 이름..."
                                 "|형광펜|메모..."));
            edit->moveCursor(QTextCursor::End);  // the visible selection moved on
            emit edit->copyRequested();
            QCOMPARE(QApplication::clipboard()->text(), copied);
        }
        edit->m_selMenu = {12, 100000};  // past the end: cut to the text
        Act("ID_VERSE_COPY")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), "cdefghij");
        emit edit->copyAllRequested();
        QCOMPARE(QApplication::clipboard()->text(), all);
        const auto hold = [this] {  // on the reference pane
            QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
            QTest::mouseMove(List()->viewport(), QPoint(11, 5));  // a tremble, not a drag
        };
        QCOMPARE(PopupOf(hold), QStringList({"'장'  전체 보기", "참조와 함께 복사", "", "책갈피",
                                             "책갈피 이름...", "형광펜", "메모..."}));
        QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
        // Notes are appended and confirmed with their path.
        Books()->setCurrentIndex(0);
        const QString path = CTavrinView::NotesFilePath(), shown = QDir::toNativeSeparators(path);
        const QString saved = shown + " 파일에 저장되었습니다.";
        const QString failed = shown + " 파일에 저장하지 못했습니다.";
        QVERIFY(QDir().mkpath(path));  // a folder where the file belongs
        Act("ID_VERSE_SAVE")->trigger();
        QVERIFY(QDir(path).removeRecursively());
        CtrlKey(Qt::Key_S);
        Click("IDC_RADIO_OLD");
        QTest::keyClick(List(), Qt::Key_Down);
        emit edit->saveRequested();
        QCOMPARE(m_arrMessages, QStringList({failed, saved, saved}));
        const QString text = NotesText();
        QCOMPARE(text.count("▶ 일시 "), 2);
        QCOMPARE(text.count(u'\uFEFF'), 0);
        QVERIFY(text.contains(" \r\n신약 - 마태복음 - 마1: 1\r\n마1: 1 말씀\r\n\r\n▶"));
        QVERIFY(text.endsWith(" \r\n구약 - 창세기 - 창1:2\r\n창1:2 말씀\r\n"));
    }

    void settingsAndColoursAtStartUp_data() {
        QTest::addColumn<QByteArray>("existing");  // null: no file
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("pixels");   // the main and the chapter font's
        QTest::addColumn<QString>("colours");  // ItemsOf each control, once items differ
        const QByteArray defaults = EncodeSettings(g_colorItems);
        const auto sized = [](int32_t main, int32_t chapter) {
            g_nMainFontSize = main;
            g_nChapterFontSize = chapter;
            return EncodeSettings(g_colorItems);
        };
        QTest::newRow("none") << QByteArray() << defaults << "13 13" << QString();
        QTest::newRow("hostile") << sized(255796160, -5) << sized(255796160, -5) << "200 6"
                                 << QString();
        for (int i = 0; i < kColorItemCount; ++i)
            g_colorItems[i].crColor = MakeColor(30 * i, 250 - 30 * i, 7 * i + 1);
        g_strFontFace = QString(300, QChar(u'가'));
        QTest::newRow("colours, long face")
            << sized(20, 28) << sized(20, 28) << "20 28" << QString("1- 0 0 0 54-- 5454- 54 32--");
        ResetDisplaySettings(g_colorItems);
    }
    void settingsAndColoursAtStartUp() {
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, after);
        QFETCH(QString, colours);
        if (!existing.isNull())
            tavrin::test::WriteBytes(SettingsFilePath().toStdString(), existing.toStdString());
        Start();
        QCOMPARE(Bytes(SettingsFilePath()), after);
        QCOMPARE(EncodeSettings(g_colorItems), after);
        const QFont& chapter = Frame()->m_fontChapter;
        QTEST(QString("%1 %2").arg(Edit()->font().pixelSize()).arg(chapter.pixelSize()), "pixels");
        QCOMPARE(chapter.family(), g_strFontFace);
        QCOMPARE(Edit()->font().family(), g_strFontFace);
        using P = QPalette;
        QAbstractItemView* drop = Books()->view();
        const QStringList seen = {
            ItemsOf(View(), {P::Window, P::WindowText}),
            ItemsOf(Find("IDC_RADIO_OLD"), {P::WindowText}),
            ItemsOf(Find("IDC_RADIO_NEW"), {P::WindowText}),
            ItemsOf(Find("IDC_STATIC_SCRIPTURE"), {P::WindowText}),
            ItemsOf(List(), {P::Base, P::Text, P::Window, P::WindowText}),
            ItemsOf(Books(), {P::Button, P::ButtonText, P::Base, P::Text, P::WindowText}),
            ItemsOf(drop, {P::Base, P::Text}),
            ItemsOf(Edit(), {P::Base, P::Text, P::Window, P::WindowText})};
        QVERIFY2(colours.isEmpty() || seen.join(' ') == colours, qPrintable(seen.join(' ')));
        Books()->showPopup();  // its entries drawn in the list's colours
        const QImage image = drop->viewport()->grab().toImage();
        Books()->hidePopup();
        const QPoint entry = drop->visualRect(drop->model()->index(1, 0)).center() + QPoint(40, 0);
        QCOMPARE(image.pixelColor(entry), ColorOf(g_colorItems[5].crColor));
    }

    void stateFileKeepsPlaceAndPassage() {
        Start();
        Click("IDC_RADIO_OLD");
        Books()->setCurrentIndex(1);
        Frame()->setGeometry(30, 40, 500, 400);
        Frame()->showMaximized();
        CtrlKey(Qt::Key_Q);  // 종료
        // A run without the store set keeps the passage it could not show.
        QVERIFY(App()->InitInstance(QString::fromStdString(m_pFixture->PathOf("none"))));
        CtrlKey(Qt::Key_Q);
        Restart();
        QCOMPARE(Shown(), QString("구약 출애굽기 출1:1 / 출1:1 말씀"));
        QTRY_VERIFY(Frame()->isMaximized());
        QCOMPARE(Frame()->normalGeometry(), QRect(30, 40, 500, 400));
        Frame()->showNormal();
        QRect reader, to(50, 60, 300, 250);  // the chapter reader's place is kept when it closes
        QStringList copies;                  // its text box's commands are its own
        const auto inReader = [&](CChapterDlg* dlg) {
            reader = dlg->geometry();
            dlg->setGeometry(to.isNull() ? reader : to);
            auto* edit = dlg->findChild<CPopupEdit*>("IDC_EDIT_CHAPTER");
            edit->m_selMenu = {3, 100000};
            emit edit->copyRequested();
            copies << QApplication::clipboard()->text();
            emit edit->copyAllRequested();
            copies << QApplication::clipboard()->text();
            dlg->findChild<QAction*>("ID_POPUP_SAVE")->trigger();
            copies << QApplication::clipboard()->text();
            dlg->reject();
        };
        for (int run = 0; run < 2; ++run, to = QRect()) {
            OnModal<CChapterDlg>([this] { View()->OpenChapterReader(); }, inReader);
            Restart();
        }
        QCOMPARE(reader, QRect(50, 60, 300, 250));
        const QString chapter = "  [출1:1]\n출1:1 말씀\n\n";
        QCOMPARE(copies.mid(0, 3), QStringList({chapter.mid(3), chapter, chapter}));
        QVERIFY(NotesText().endsWith("구약 - 출애굽기 - 출1:1\r\n" +
                                     QString(chapter).replace("\n", "\r\n") + "\r\n"));
        CtrlKey(Qt::Key_N);  // a new document: still the first showing
        QCOMPARE(Shown(), QString("신약 마태복음 마1: 1 / 마1: 1 말씀"));
    }

    // The About box shows a set's description, or nothing more for a set without one.
    void aboutShowsTheSetsDescription() {
        for (const std::u16string& description :
             {std::u16string(), std::u16string(u"개역한글 · 대한성서공회")}) {
            StartWith([&description](tavrin::test::CStoreFixture& fx) {
                fx.AddSampleSet();
                fx.PutText(tavrin::kKeyOldFile, std::string(tavrin::kDescriptionKey),
                           tavrin::EncodeAnsi(description));
            });
            OnModal<CAboutDlg>(
                [this] { Act("ID_APP_ABOUT")->trigger(); },
                [&description](CAboutDlg* dlg) {
                    auto* label = dlg->findChild<QLabel*>("IDC_STATIC_DESCRIPTION");
                    QCOMPARE(
                        dlg->windowTitle() + ' ' + (label->isVisibleTo(dlg) ? label->text() : "-"),
                        "About Tavrin " +
                            (description.empty() ? "-" : QString::fromStdU16String(description)));
                });
        }
    }

    // A passage the set lacks, a window off every screen or too large: the first showing.
    void damagedStateFallsBackToTheFirstShowing() {
        for (const auto& [state, size] :
             {std::pair<std::string, QSize>{"testament=old\nbook=레위기\nreference=레1:1",
                                            QSize(480, 640)},
              {"main=-5000 9000 360 300 0", QSize(360, 300)},
              {"main=1 1 5000 5000 0", QSize()}}) {
            tavrin::test::WriteBytes(CMainFrame::ReaderStateFilePath().toStdString(), state);
            Start();
            QCOMPARE(Shown(), QString("신약 마태복음 마1: 1 / 마1: 1 말씀"));
            QVERIFY(Frame()->screen()->availableGeometry().contains(Frame()->frameGeometry()));
            QCOMPARE(m_arrMessages, QStringList());
            if (size.isValid())
                QCOMPARE(Frame()->size(), size.boundedTo(Frame()->screen()->availableSize()));
        }
    }
    void barsAndItemsAsTheUserMovesThem() {
        CColorSelector dlg;
        m_pDialog = &dlg;
        dlg.show();
        PickItem(1);  // 235, 250, 205
        Bar("IDC_SCROLL_RED")->setValue(10);
        PickItem(1);  // the item already edited: the bars stay
        QCOMPARE(Bar("IDC_SCROLL_RED")->value(), 10);
        QCOMPARE(Label("IDC_STATIC_GREEN"), "250");
        PickItem(5);  // 240, 242, 230
        // Positions 0..255, a page of 32, held at both ends.
        for (const QString& step : QString("0 Left 0,20 PgUp 0,240 PgDown 255,100 Left 99,"
                                           "100 Up 99,100 Right 101,100 Down 101,100 PgUp 68,"
                                           "100 PgDown 132,100 Home 0,100 End 255")
                                       .split(',')) {
            Bar("IDC_SCROLL_BLUE")->setValue(step.section(' ', 0, 0).toInt());
            QTest::keySequence(Bar("IDC_SCROLL_BLUE"), QKeySequence(step.section(' ', 1, 1)));
            QCOMPARE(Bar("IDC_SCROLL_BLUE")->value(), step.section(' ', 2).toInt());
            QCOMPARE(Label("IDC_STATIC_BLUE"), step.section(' ', 2));
        }
        m_pDialog->findChild<QLabel*>("IDC_STATIC_BLUE")->setText("-");
        QTest::keyClick(Bar("IDC_SCROLL_BLUE"), Qt::Key_Right);  // at 255: no change, no label set
        QCOMPARE(Label("IDC_STATIC_BLUE"), "-");
        Bar("IDC_SCROLL_GREEN")
            ->setSliderDown(true);  // a drag: the colour at once, the bar on release
        Bar("IDC_SCROLL_GREEN")->setSliderPosition(300);
        QCOMPARE(Bar("IDC_SCROLL_GREEN")->value(), 242);
        QCOMPARE(Label("IDC_STATIC_GREEN"), "255");
        Bar("IDC_SCROLL_GREEN")->setSliderDown(false);
        QCOMPARE(Bar("IDC_SCROLL_GREEN")->value(), 255);
        const QImage swatch =
            m_pDialog->findChild<QWidget*>("IDC_BUTTON_PREVIEW")->grab().toImage();
        QCOMPARE(swatch.pixelColor(swatch.rect().center()), QColor(240, 255, 255));
        QCOMPARE(QList({g_colorItems[5].crColor, g_colorItems[4].crColor}),
                 QList({MakeColor(240, 255, 255), MakeColor(0, 0, 77)}));
    }

    // Picks go into the settings, kept without OK; the reader applies and saves them.
    void colourCommandRoundTrip() {
        Start();
        g_nMainFontSize = 17;
        g_nChapterFontSize = 22;
        g_strFontFace = "No Such Face";
        QString face, sizes;
        const auto pick = [&](CColorSelector* dlg) {
            m_pDialog = dlg;
            sizes = Items(dlg->m_comboMainSize->model()).join(',') + ' ' +
                    dlg->m_comboMainSize->currentText() + ' ' +
                    dlg->m_comboChapterSize->currentText() + ' ' + dlg->m_comboFont->currentText() +
                    ' ' + QString::number(g_nMainFontSize);
            PickItem(3);  // 252, 237, 225
            QTest::keyClick(Bar("IDC_SCROLL_RED"), Qt::Key_Home);
            QTest::keyClick(Bar("IDC_SCROLL_GREEN"), Qt::Key_PageUp);
            dlg->m_comboMainSize->setCurrentIndex(5);
            dlg->m_comboChapterSize->setCurrentIndex(9);
            dlg->m_comboFont->setCurrentIndex(dlg->m_comboFont->count() - 1);
            face = dlg->m_comboFont->currentText();
            dlg->close();
        };
        OnModal<CColorSelector>([this] { Act("ID_VIEW_COLORS")->trigger(); }, pick);
        const std::string bytes = tavrin::test::ReadBytes(SettingsFilePath().toStdString());
        QCOMPARE(sizes, "13,14,15,16,18,20,22,24,26,28 13 22 No Such Face 17");
        QCOMPARE(QByteArray::fromStdString(bytes.substr(12, 4)).toHex(), "00cde100");
        QCOMPARE(QByteArray::fromStdString(bytes.substr(32, 8)).toHex(), "140000001c000000");
        QCOMPARE(QByteArray::fromStdString(bytes), EncodeSettings(g_colorItems));
        QCOMPARE(Edit()->palette().color(QPalette::Base), QColor(0, 205, 225));
        QCOMPARE(Edit()->font().pixelSize(), 20);
        QCOMPARE(Edit()->font().family(), face);
        QCOMPARE(g_strFontFace, face);
    }

    // Each way of opening scrolls to the chosen verse; each button and key moves.
    void opensAtTheVerseAndMoves_data() {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("top");    // the first line shown; "end": scrolled to the end
        QTest::addColumn<QString>("move");   // a button, or keys
        QTest::addColumn<QString>("shown");  // the text after the move
        QTest::addColumn<QString>("title");  // the title after the move
        QTest::addColumn<QString>("left");   // the main window's reference after the reader
        for (const auto& [way, reference, top, move, shown, title, left] :
             {std::tuple<const char*, const char*, const char*, const char*, QString, const char*,
                         const char*>{"Enter", "창1:20", "  [창1:20]", "Alt+Right",
                                      Chapter("창", 2), "창 2장", "창1:20"},
              {"keypad Enter", "창2:1", "  [창2:1]", "Ctrl+PgUp", Chapter("창", 1), "창 1장",
               "창2:1"},
              {"double click", "창1:2", "  [창1:2]", "next", Chapter("창", 2), "창 2장", "창1:2"},
              {"menu", "창2:1", "  [창2:1]", "Alt+Left", Chapter("창", 1), "창 1장", "창2:1"},
              {"menu, New", "마1: 10", "  [마1: 10]", "Ctrl+PgDown", Chapter("마", 2), "마 2장",
               "마1: 10"},
              // Before the New Testament's first book: the Old's last, the main window follows.
              {"Enter, last verse", "마1: 20", "end", "previous", Chapter("창", 3), "창 3장",
               "창3:1"}})
            QTest::newRow(way) << QString(reference) << QString(top) << QString(move) << shown
                               << QString(title) << QString(left);
    }
    void opensAtTheVerseAndMoves() {
        QFETCH(QString, reference);
        QFETCH(QString, top);
        QFETCH(QString, move);
        QFETCH(QString, shown);
        QFETCH(QString, title);
        QFETCH(QString, left);
        StartWith([](tavrin::test::CStoreFixture& fx) {  // every verse listed
            for (const QString book : {"창", "마"}) {
                std::vector<tavrin::test::SReference> verses;
                for (int c = 1; c <= (book == "창" ? 3 : 2); ++c)
                    for (const QString& v :
                         Chapter(book, c, "%1\t%2\n").split('\n', Qt::SkipEmptyParts))
                        verses.push_back({v.section('\t', 0, 0).toStdU16String(),
                                          v.section('\t', 1).toStdU16String()});
                fx.AddBook(book == "창" ? tavrin::Testament::Old : tavrin::Testament::New,
                           book.toStdU16String(), verses);
            }
        });
        if (reference.startsWith(u'창'))
            Find<QRadioButton>("IDC_RADIO_OLD")->click();
        List()->keyboardSearch(reference);
        g_colorItems[6].crColor = 0x302010, g_colorItems[7].crColor = 0xD0E0F0;
        const QString way = QTest::currentDataTag(), book = Books()->currentText();
        const auto open = [&] {
            if (way.startsWith("menu"))
                List()->CreatePopupMenu()->actions().constFirst()->trigger();
            else if (way.startsWith("double"))
                QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {},
                                   List()->visualRect(List()->currentIndex()).center());
            else
                QTest::keyClick(List(), way.startsWith("keypad") ? Qt::Key_Enter : Qt::Key_Return,
                                way.startsWith("keypad") ? Qt::KeypadModifier : Qt::NoModifier);
        };
        OnModal<CChapterDlg>(open, [&](CChapterDlg* dlg) {
            auto* edit = dlg->findChild<CPopupEdit*>("IDC_EDIT_CHAPTER");
            auto* tools = dlg->findChild<QToolBar*>("IDR_CHAPTER_BAR");
            const QScrollBar* bar = edit->verticalScrollBar();
            QCOMPARE(QStringList({dlg->windowTitle(), edit->palette().color(QPalette::Text).name(),
                                  edit->palette().color(QPalette::Base).name(),
                                  tools->actions()[0]->toolTip(), tools->actions()[1]->toolTip(),
                                  bar->value() > 0 && bar->value() == bar->maximum()
                                      ? "end"
                                      : edit->cursorForPosition({4, 4}).block().text()}),
                     QStringList({book + ' ' + reference.section(':', 0, 0).mid(1) + "장",
                                  "#102030", "#f0e0d0", "이전 장으로 이동합니다.",
                                  "다음 장으로 이동합니다.", top}));
            // The chapter font, the dialog filled below the buttons, no busy cursor.
            QCOMPARE(edit->font(), Frame()->m_fontChapter);
            QCOMPARE(QApplication::overrideCursor(), nullptr);
            QCOMPARE(edit->geometry().bottom(), dlg->rect().bottom());
            QVERIFY(edit->width() >= dlg->width() - 2);
            QVERIFY(!edit->geometry().intersects(tools->geometry()));
            if (move == "next" || move == "previous")
                tools->actions()[move == "next"]->trigger();
            else
                QTest::keySequence(edit, QKeySequence(move));
            QCOMPARE(dlg->m_strChapterText, shown);
            QCOMPARE(edit->toPlainText(), QString(shown).replace("\r\n", "\n"));
            QCOMPARE(dlg->windowTitle(), title);
            if (top != "end")
                QCOMPARE(bar->value(), 0);
        });
        QCOMPARE(View()->findChild<CChapterDlg*>(), nullptr);
        QCOMPARE(Frame()->windowTitle(), "Tavrin");
        QCOMPARE(View()->SelectedReference(), left);
        QCOMPARE(m_arrMessages, QStringList());
    }
    // Chapter keys cross books and testaments; history steps by keys, tool
    // bar and mouse, merges moves within a chapter and survives a restart.
    void chapterKeysAndHistory() {
        Start();
        QVERIFY(!Act("ID_HISTORY_BACK")->isEnabled());  // nothing before the first showing
        Click("IDC_RADIO_OLD");
        QTest::keyClick(List(), Qt::Key_Down);  // 창1:2: the same chapter's entry
        const auto after = [this](const char* keys) {
            QTest::keySequence(List(), QKeySequence(keys));
            return View()->SelectedReference();
        };
        QStringList steps;  // the last: past the last chapter, nothing
        for (const char* keys :
             {"Ctrl+PgUp", "Ctrl+PgDown", "Ctrl+PgDown", "Ctrl+PgDown", "Ctrl+PgUp", "Ctrl+PgDown",
              "Ctrl+PgDown", "Ctrl+PgDown", "Ctrl+PgDown", "Ctrl+PgDown", "Ctrl+PgDown"})
            steps << after(keys);
        QCOMPARE(
            steps.join(','),
            "창1:2,창2:1,출1:1,마1: 1,출1:1,마1: 1,마2: 1,계1: 1,고후1: 1,고후12: 21,고후12: 21");
        QVERIFY(Act("ID_HISTORY_BACK")->isEnabled());
        QVERIFY(!Act("ID_HISTORY_FORWARD")->isEnabled());  // at the newest entry
        QStringList back;
        back << after("Alt+Left") << after("Alt+Left");
        QTest::mouseClick(Frame()->ToolBar()->widgetForAction(Act("ID_HISTORY_BACK")),
                          Qt::LeftButton);
        back << View()->SelectedReference();
        QTest::mouseClick(List()->viewport(), Qt::BackButton);
        back << View()->SelectedReference();
        QTest::mouseClick(Edit()->viewport(), Qt::ForwardButton);
        back << View()->SelectedReference() << after("Alt+Right");
        QCOMPARE(back.join(','), "고후1: 1,계1: 1,마2: 1,마1: 1,마2: 1,계1: 1");
        QVERIFY(Act("ID_HISTORY_FORWARD")->isEnabled());
        QStringList kept;
        for (int i = 0; i < 6; ++i) kept << after("Alt+Left");
        QCOMPARE(kept.join(','), "마2: 1,마1: 1,출1:1,마1: 1,출1:1,창2:1");
        CtrlKey(Qt::Key_Q);
        Restart();
        QCOMPARE(Shown(), QString("구약 창세기 창2:1 / 창2:1 말씀"));
        QCOMPARE(after("Alt+Left"), "창1:2");
        QCOMPARE(after("Alt+Left"), "마1: 1");
        QVERIFY(!Act("ID_HISTORY_BACK")->isEnabled());  // the first entry: nothing before it
        QCOMPARE(after("Alt+Left"), "마1: 1");
        QCOMPARE(after("Alt+Right"), "창1:2");
        CtrlKey(Qt::Key_Q);
        // An entry the set does not list is passed over.
        tavrin::test::WriteBytes(CMainFrame::ReaderStateFilePath().toStdString(),
                                 "history=old\t창세기\t창1:3\nhistory=old\t레위기\t레1:1\n"
                                 "history=*new\t마태복음\t마1: 2\n");
        Restart();
        QCOMPARE(after("Alt+Left"), "창1:3");
        QCOMPARE(after("Alt+Right"), "마1: 1");
        QVERIFY(m_arrMessages.isEmpty());
    }

    // Zoom keys and Ctrl+wheel go through the steps, for the text pane and the
    // reference list, and are saved as the colours dialog saves sizes.
    void zoomStepsTheMainSizeAndSavesIt() {
        Start();
        const qreal listPoints = List()->font().pointSizeF();
        QStringList sizes;
        for (const char* keys : {"Ctrl+=", "Ctrl++", "Ctrl+-", "Ctrl+0", "Ctrl+-"}) {
            QTest::keySequence(List(), QKeySequence(keys));
            sizes << QString::number(Edit()->font().pixelSize());
        }
        QCOMPARE(sizes.join(','), "14,16,14,13,12");
        QVERIFY(List()->font().pointSizeF() < listPoints);
        const auto wheel = [](QWidget* pane, int delta, Qt::KeyboardModifiers modifiers) {
            QWheelEvent event(QPointF(5, 5), pane->mapToGlobal(QPointF(5, 5)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
            QApplication::sendEvent(pane, &event);
        };
        wheel(Edit()->viewport(), 240, Qt::ControlModifier);
        QCOMPARE(Edit()->font().pixelSize(), 14);
        wheel(List()->viewport(), 60, Qt::ControlModifier);  // half a notch
        QCOMPARE(Edit()->font().pixelSize(), 14);
        wheel(List()->viewport(), 60, Qt::ControlModifier);
        QCOMPARE(Edit()->font().pixelSize(), 16);
        QVERIFY(List()->font().pointSizeF() > listPoints);
        wheel(Edit()->viewport(), -120, Qt::NoModifier);  // a plain wheel scrolls
        QCOMPARE(Edit()->font().pixelSize(), 16);
        const std::string bytes = tavrin::test::ReadBytes(SettingsFilePath().toStdString());
        QCOMPARE(QByteArray::fromStdString(bytes.substr(32, 8)).toHex(), "100000000d000000");
        QCOMPARE(QByteArray::fromStdString(bytes), EncodeSettings(g_colorItems));
        for (int i = 0; i < 8; ++i) QTest::keySequence(List(), QKeySequence("Ctrl+-"));
        QCOMPARE(g_nMainFontSize, 8);
        // The dialog lists its own sizes; one not among them shows the first and stays.
        OnModal<CColorSelector>([this] { Act("ID_VIEW_COLORS")->trigger(); },
                                [](CColorSelector* dlg) {
                                    QCOMPARE(dlg->m_comboMainSize->currentText(), "13");
                                    dlg->accept();
                                });
        QCOMPARE(g_nMainFontSize, 8);
        QCOMPARE(Edit()->font().pixelSize(), 8);
    }

    // Several references chosen, each format, the text pane's selection.
    void copiesWithTheReference() {
        StartWith([](tavrin::test::CStoreFixture& fx) {
            fx.AddSampleSet();
            fx.PutText(tavrin::kKeyOldFile, std::string(tavrin::kShortNameKey),
                       tavrin::EncodeAnsi(u"개역한글"));
        });
        const auto click = [this](int row, Qt::KeyboardModifiers modifiers) {
            QTest::mouseClick(List()->viewport(), Qt::LeftButton, modifiers,
                              List()->visualRect(List()->model()->index(row, 0)).center());
        };
        const auto copied = [this] {
            Frame()->activateWindow();  // after a dialog
            [this] { QVERIFY(QTest::qWaitForWindowActive(Frame())); }();
            QTest::keySequence(List(), QKeySequence("Ctrl+Shift+C"));
            return QApplication::clipboard()->text();
        };
        click(0, {});
        click(1, Qt::ShiftModifier);
        QCOMPARE(copied(), "마태복음 1:1-2 1 마1: 1 말씀 2 마1: 2 말씀");
        QCOMPARE(Shown(), QString("신약 마태복음 마1: 2 / 마1: 2 말씀"));
        click(2, Qt::ControlModifier);
        QCOMPARE(copied(),
                 "마태복음 1:1 마1: 1 말씀\n마태복음 1:2 마1: 2 말씀\n마태복음 2:1 마2: 1 말씀");
        QCOMPARE(Shown(), QString("신약 마태복음 마2: 1 / 마2: 1 말씀"));
        click(0, {});  // a plain click chooses that entry alone
        QCOMPARE(List()->ChosenRows(), std::vector<int>{0});
        QStringList previews;
        OnModal<CCitationDlg>([this] { Act("ID_CITATION_FORMAT")->trigger(); },
                              [&previews](CCitationDlg* dlg) {
                                  previews << dlg->Preview();
                                  dlg->findChild<QRadioButton*>("IDC_RADIO_LAST")->click();
                                  dlg->findChild<QCheckBox*>("IDC_CHECK_ABBREVIATED")->click();
                                  dlg->findChild<QCheckBox*>("IDC_CHECK_NAME")->click();
                                  previews << dlg->Preview();
                                  dlg->reject();
                              });
        QCOMPARE(previews.join('|'), "마태복음 1:1 마1: 1 말씀|마1: 1 말씀 (마1:1, 개역한글)");
        QCOMPARE(copied(), "마태복음 1:1 마1: 1 말씀");  // left with Cancel: unchanged
        OnModal<CCitationDlg>([this] { Act("ID_CITATION_FORMAT")->trigger(); },
                              [](CCitationDlg* dlg) {
                                  dlg->findChild<QCheckBox*>("IDC_CHECK_NAME")->click();
                                  dlg->accept();
                              });
        QCOMPARE(copied(), "마태복음 1:1 (개역한글) 마1: 1 말씀");
        CtrlKey(Qt::Key_Q);
        Restart();  // the format is kept
        QCOMPARE(copied(), "마태복음 1:1 (개역한글) 마1: 1 말씀");
        Edit()->m_selMenu = {6, 8};
        emit Edit()->copyWithReferenceRequested();
        QCOMPARE(QApplication::clipboard()->text(), "마태복음 1:1 (개역한글) 말씀");
        Edit()->m_selMenu = {3, 3};  // no selection: the chosen verse
        emit Edit()->copyWithReferenceRequested();
        QCOMPARE(QApplication::clipboard()->text(), "마태복음 1:1 (개역한글) 마1: 1 말씀");
    }

    // "야간" and "기본값" fill in palettes; "취소" and Escape put back what
    // the dialog opened with, so the file keeps its bytes.
    void coloursDialogPalettesAndCancel() {
        Start();
        const QByteArray before = Bytes(SettingsFilePath());
        const auto colours = [] {
            tavrin::ColorScheme scheme;
            for (int i = 0; i < kColorItemCount; ++i) scheme[i] = g_colorItems[i].crColor;
            return scheme;
        };
        tavrin::ColorScheme seen{};
        for (const bool escape : {true, false}) {
            OnModal<CColorSelector>([this] { Act("ID_VIEW_COLORS")->trigger(); },
                                    [&](CColorSelector* dlg) {
                                        dlg->findChild<QPushButton*>("IDC_BUTTON_NIGHT")->click();
                                        seen = colours();
                                        dlg->m_comboMainSize->setCurrentIndex(9);
                                        if (escape)
                                            QTest::keyClick(dlg, Qt::Key_Escape);
                                        else
                                            dlg->findChild<QDialogButtonBox*>()
                                                ->button(QDialogButtonBox::Cancel)
                                                ->click();
                                    });
            QVERIFY(seen == tavrin::kNightColors);
            QCOMPARE(Bytes(SettingsFilePath()), before);
            QCOMPARE(g_nMainFontSize, 13);
        }
        OnModal<CColorSelector>([this] { Act("ID_VIEW_COLORS")->trigger(); },
                                [](CColorSelector* dlg) {
                                    dlg->findChild<QPushButton*>("IDC_BUTTON_NIGHT")->click();
                                    dlg->accept();
                                });
        QVERIFY(colours() == tavrin::kNightColors);
        QCOMPARE(Bytes(SettingsFilePath()), EncodeSettings(g_colorItems));
        QCOMPARE(Edit()->palette().color(QPalette::Base), ColorOf(tavrin::kNightColors[3]));
        OnModal<CColorSelector>([this] { Act("ID_VIEW_COLORS")->trigger(); },
                                [](CColorSelector* dlg) {
                                    dlg->findChild<QPushButton*>("IDC_BUTTON_DEFAULTS")->click();
                                    dlg->close();  // closing keeps the change
                                });
        QCOMPARE(Bytes(SettingsFilePath()), before);
    }
};

int main(int argc, char** argv) {
    CTavrinApp app(argc, argv);
    CShellTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "shell_test.moc"

// floor_window.cpp - floor-window [REFERENCES]: a bare Qt window with the reader's
// widgets (menu bar, tool bar, two radio buttons in a group box, a combo box, a
// text pane and a list) showing the reader's first screen from literals: the
// New Testament's books, REFERENCES entries (default 1071, Matthew's count) and
// the first verse. It ends at its first shown text, as tavrin-startup does.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdlib>

#include "FirstPaint.h"

namespace {
// The size the reader gives its window at the first start.
constexpr int kWidth = 480;
constexpr int kHeight = 640;
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int references = argc > 1 ? std::atoi(argv[1]) : 1071;

    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("Tavrin"));
    QMenu* file = frame.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("종료"));
    QMenu* edit = frame.menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(QStringLiteral("복사"));
    edit->addAction(QStringLiteral("파일에 저장"));
    edit->addSeparator();
    edit->addAction(QStringLiteral("이동..."));
    frame.menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("Tavrin 정보..."));
    QToolBar* bar = frame.addToolBar(QStringLiteral("Tavrin"));
    bar->addSeparator();
    bar->addAction(QStringLiteral("파일에 저장"));
    bar->addAction(QStringLiteral("색상과 글꼴"));
    bar->addAction(QStringLiteral("Tavrin 정보..."));

    auto* form = new QWidget;
    auto* layout = new QHBoxLayout(form);
    auto* left = new QVBoxLayout;
    auto* group = new QGroupBox(QStringLiteral("성경"));
    auto* groupLayout = new QVBoxLayout(group);
    auto* radios = new QHBoxLayout;
    auto* radioOld = new QRadioButton(QStringLiteral("구약"));
    auto* radioNew = new QRadioButton(QStringLiteral("신약"));
    radios->addWidget(radioOld);
    radios->addWidget(radioNew);
    groupLayout->addLayout(radios);
    auto* books = new QComboBox;
    groupLayout->addWidget(books);
    left->addWidget(group);
    auto* text = new QPlainTextEdit;
    left->addWidget(text, 1);
    layout->addLayout(left, 88);
    auto* list = new QListWidget;
    layout->addWidget(list, 43);
    frame.setCentralWidget(form);

    books->addItems({QStringLiteral("마태복음"),       QStringLiteral("마가복음"),
                     QStringLiteral("누가복음"),       QStringLiteral("요한복음"),
                     QStringLiteral("사도행전"),       QStringLiteral("로마서"),
                     QStringLiteral("고린도전서"),     QStringLiteral("고린도후서"),
                     QStringLiteral("갈라디아서"),     QStringLiteral("에베소서"),
                     QStringLiteral("빌립보서"),       QStringLiteral("골로새서"),
                     QStringLiteral("데살로니가전서"), QStringLiteral("데살로니가후서"),
                     QStringLiteral("디모데전서"),     QStringLiteral("디모데후서"),
                     QStringLiteral("디도서"),         QStringLiteral("빌레몬서"),
                     QStringLiteral("히브리서"),       QStringLiteral("야고보서"),
                     QStringLiteral("베드로전서"),     QStringLiteral("베드로후서"),
                     QStringLiteral("요한일서"),       QStringLiteral("요한이서"),
                     QStringLiteral("요한삼서"),       QStringLiteral("유다서"),
                     QStringLiteral("요한계시록")});
    QStringList names;
    for (int n = 1; n <= references; ++n) names << QStringLiteral("마1: %1").arg(n);
    list->addItems(names);
    list->setCurrentRow(0);
    radioNew->setChecked(true);
    text->setPlainText(QStringLiteral(
        "The book of the genealogy of Jesus Christ, the son of David, the son of Abraham."));
    list->setFocus();

    frame.resize(kWidth, kHeight);
    frame.show();
    ExitAtFirstPaint(text);
    return app.exec();
}

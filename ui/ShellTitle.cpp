// ShellTitle.cpp - sets a window's title as the shell shows it.
#include "ShellTitle.h"

#include <QWidget>

void SetShellTitle(QWidget* window, const QString& text) {
    if (!window) {
        return;
    }
    QWidget* top = window->window();
    top->setWindowTitle(QString(29, QLatin1Char(' ')));
    top->setWindowTitle(text);
}

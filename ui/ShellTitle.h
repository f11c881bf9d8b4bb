// ShellTitle.h - the title the desktop shows for a window.
#pragma once

#include <QString>

class QWidget;

// Sets window's title to text (after a blank title of 29 spaces, so the shell
// always sees a change). A null window is ignored.
void SetShellTitle(QWidget* window, const QString& text);

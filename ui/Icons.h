// Icons.h - the program's icon and its tool bar images, drawn in code.
#pragma once

#include <QIcon>

QIcon AppIcon();      // an open book with a bookmark
QIcon SaveIcon();     // a note sheet with an arrow into it
QIcon ColorsIcon();   // three colour drops on a palette
QIcon AboutIcon();    // an "i" in a circle
QIcon SearchIcon();   // a magnifying glass
QIcon PlanIcon();     // a page of ticked lines
QIcon BackIcon();     // a round button with an arrow to the left
QIcon ForwardIcon();  // the same, to the right

// WindowPlace.h - top-level windows sized for a desktop, and their places
// read back and restored within the screens.
#pragma once

#include <QSize>

#include "ReaderState.h"

class QWidget;

// wanted, cut to the available area of the screen window is on (or the
// primary screen); the size a new window opens with.
QSize FirstWindowSize(const QWidget* window, QSize wanted);

// The window's normal (not maximised) geometry and whether it is maximised.
tavrin::SWindowPlace PlaceOf(const QWidget* window);

// Puts window at place, moved and shrunk to lie wholly within one screen's
// available area, and maximises it when place says so. Without screens the
// place is taken as it is.
void RestorePlace(QWidget* window, const tavrin::SWindowPlace& place);

// Puts window (not yet shown) beside main, on main's screen, as
// tavrin::PlaceBeside says; its size is kept where the screen has room.
void OpenBeside(QWidget* window, const QWidget* main);

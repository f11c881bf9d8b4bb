// Palette.h - colour values of the display settings as Qt colours and palettes.
#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>
#include <initializer_list>

class QWidget;

// 0x00BBGGRR (red in the lowest byte) -> QColor; bits 24-31 are ignored.
QColor ColorOf(uint32_t crColor);

// Gives widget the background colour back for role bgRole and the text colour
// text for role fgRole, in every colour group, and makes it fill its background.
void ApplyColors(QWidget* widget, QPalette::ColorRole bgRole, uint32_t back,
                 QPalette::ColorRole fgRole, uint32_t text);

// Gives widget the colour for role in every colour group; nothing is filled.
void ApplyColor(QWidget* widget, QPalette::ColorRole role, uint32_t color);

// Gives widget the application's own colours for roles, set explicitly, so
// that a parent's colours for those roles no longer reach it or its children
// (scroll bars, a combo box's list).
void KeepDefaultColors(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles);

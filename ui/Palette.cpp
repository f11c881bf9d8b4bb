// Palette.cpp - applies colour items to widget palettes.
#include "Palette.h"

#include <QApplication>
#include <QWidget>

#include "DisplaySettings.h"

QColor ColorOf(uint32_t crColor) {
    return QColor(RedOf(crColor), GreenOf(crColor), BlueOf(crColor));
}

void ApplyColors(QWidget* widget, QPalette::ColorRole bgRole, uint32_t back,
                 QPalette::ColorRole fgRole, uint32_t text) {
    QPalette pal = widget->palette();
    // All groups alike: the colours must not change when the window loses focus.
    pal.setColor(bgRole, ColorOf(back));
    pal.setColor(fgRole, ColorOf(text));
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void ApplyColor(QWidget* widget, QPalette::ColorRole role, uint32_t color) {
    QPalette pal = widget->palette();
    pal.setColor(role, ColorOf(color));
    widget->setPalette(pal);
}

void KeepDefaultColors(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles) {
    const QPalette defaults = QApplication::palette(widget);
    QPalette pal = widget->palette();
    for (QPalette::ColorRole role : roles) {
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setColor(group, role, defaults.color(group, role));
    }
    widget->setPalette(pal);
}

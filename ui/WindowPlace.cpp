// WindowPlace.cpp - window sizes and places against the screens' available areas.
#include "WindowPlace.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

QRect AvailableArea(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

QSize FirstWindowSize(const QWidget* window, QSize wanted) {
    const QRect area = AvailableArea(window);
    return area.isValid() ? wanted.boundedTo(area.size()) : wanted;
}

tavrin::SWindowPlace PlaceOf(const QWidget* window) {
    const QRect r = window->isMaximized() || window->isFullScreen() ? window->normalGeometry()
                                                                    : window->geometry();
    return {{r.x(), r.y(), r.width(), r.height()}, window->isMaximized()};
}

void RestorePlace(QWidget* window, const tavrin::SWindowPlace& place) {
    std::vector<tavrin::SRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect a = screen->availableGeometry();
        screens.push_back({a.x(), a.y(), a.width(), a.height()});
    }
    // The primary screen first: a window that was on no screen goes there.
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr) {
        const auto it = std::find_if(screens.begin(), screens.end(), [primary](const auto& s) {
            return QRect(s.m_nX, s.m_nY, s.m_nWidth, s.m_nHeight) == primary->availableGeometry();
        });
        if (it != screens.end())
            std::rotate(screens.begin(), it, it + 1);
    }
    const tavrin::SRect r = tavrin::FitToScreens(place.m_rect, screens);
    window->setGeometry(r.m_nX, r.m_nY, r.m_nWidth, r.m_nHeight);
    if (place.m_bMaximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

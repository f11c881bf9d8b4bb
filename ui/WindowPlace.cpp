// WindowPlace.cpp - window sizes and places against the screens' available areas.
#include "WindowPlace.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>

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
    // The frame must fit, not only the window inside it; its margins are
    // known once the native window exists (or, under some window managers,
    // only once it is shown: then they count as none).
    window->winId();
    const QMargins m = window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    const tavrin::SRect& want = place.m_rect;
    const tavrin::SRect r = tavrin::FitToScreens(
        {want.m_nX - m.left(), want.m_nY - m.top(), want.m_nWidth + m.left() + m.right(),
         want.m_nHeight + m.top() + m.bottom()},
        screens);
    window->setGeometry(QRect(r.m_nX, r.m_nY, r.m_nWidth, r.m_nHeight).marginsRemoved(m));
    if (place.m_bMaximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void OpenBeside(QWidget* window, const QWidget* main) {
    const QRect area = AvailableArea(main);
    if (!area.isValid())
        return;
    const QRect beside = main->frameGeometry();
    const QSize size = window->size();
    const tavrin::SRect r =
        tavrin::PlaceBeside({beside.x(), beside.y(), beside.width(), beside.height()}, size.width(),
                            size.height(), {area.x(), area.y(), area.width(), area.height()});
    window->setGeometry(r.m_nX, r.m_nY, r.m_nWidth, r.m_nHeight);
}

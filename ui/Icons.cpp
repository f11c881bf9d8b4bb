// Icons.cpp - small icons painted with QPainter at the sizes the tool bar and
// the window manager ask for, so no image files need shipping.
#include "Icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

namespace {
using Painter = std::function<void(QPainter&)>;

// Paints on a 16x16 design grid at the size asked for, when it is first asked
// for: painting every size up front cost the start-up milliseconds.
class CPaintedIconEngine : public QIconEngine {
public:
    explicit CPaintedIconEngine(Painter paint) : m_paint(std::move(paint)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const bool disabled = mode == QIcon::Disabled;
        const auto key = std::tuple(size.width(), size.height(), disabled);
        if (const auto it = m_cache.find(key); it != m_cache.end())
            return it->second;
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            const qreal side = std::min(size.width(), size.height());
            p.translate((size.width() - side) / 2, (size.height() - side) / 2);
            p.scale(side / 16.0, side / 16.0);
            m_paint(p);
        }
        if (disabled) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(QIcon::Disabled, pm, &option);
        }
        return m_cache[key] = pm;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    }

    QIconEngine* clone() const override { return new CPaintedIconEngine(m_paint); }

private:
    Painter m_paint;
    std::map<std::tuple<int, int, bool>, QPixmap> m_cache;
};

QIcon Draw(const Painter& paint) {
    return QIcon(new CPaintedIconEngine(paint));
}

// A round button with an arrow pointing left (or right, mirrored).
void PaintArrow(QPainter& p, bool right) {
    if (right)
        p.setTransform(QTransform(-1, 0, 0, 1, 16, 0), true);
    p.setPen(QPen(QColor(20, 70, 150), 0.8));
    p.setBrush(QColor(60, 130, 220));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(3.6, 8), QPointF(8, 3.8), QPointF(8, 6.6), QPointF(12.2, 6.6),
                             QPointF(12.2, 9.4), QPointF(8, 9.4), QPointF(8, 12.2)}));
}
}  // namespace

QIcon BackIcon() {
    return Draw([](QPainter& p) { PaintArrow(p, false); });
}

QIcon ForwardIcon() {
    return Draw([](QPainter& p) { PaintArrow(p, true); });
}

QIcon AppIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(60, 40, 20), 0.6));
        p.setBrush(QColor(120, 40, 30));
        p.drawRoundedRect(QRectF(0.8, 2.5, 14.4, 11.5), 1, 1);
        p.setBrush(QColor(250, 245, 225));
        QPainterPath left;
        left.moveTo(8, 4);
        left.cubicTo(6, 3, 3.5, 3, 2, 3.5);
        left.lineTo(2, 12.5);
        left.cubicTo(3.5, 12, 6, 12, 8, 13);
        left.closeSubpath();
        p.drawPath(left);
        p.drawPath(QTransform(-1, 0, 0, 1, 16, 0).map(left));
        p.setPen(QPen(QColor(150, 140, 120), 0.5));
        for (double y : {5.5, 7.5, 9.5}) {
            p.drawLine(QPointF(3, y), QPointF(7, y + 0.3));
            p.drawLine(QPointF(9, y + 0.3), QPointF(13, y));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 160, 30));
        p.drawPolygon(QPolygonF({QPointF(11, 3.2), QPointF(12.5, 3.2), QPointF(12.5, 15.5),
                                 QPointF(11.75, 14.6), QPointF(11, 15.5)}));
    });
}

QIcon SaveIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(70, 70, 70), 0.7));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(3, 1.5), QPointF(10, 1.5), QPointF(13, 4.5),
                                 QPointF(13, 14.5), QPointF(3, 14.5)}));
        p.setPen(QPen(QColor(150, 150, 150), 0.6));
        for (double y : {5.0, 7.0}) {
            p.drawLine(QPointF(5, y), QPointF(11, y));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 110, 200));
        p.drawPolygon(QPolygonF({QPointF(7, 8), QPointF(9, 8), QPointF(9, 10.5), QPointF(11, 10.5),
                                 QPointF(8, 13.8), QPointF(5, 10.5), QPointF(7, 10.5)}));
    });
}

QIcon ColorsIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(90, 70, 40), 0.7));
        p.setBrush(QColor(230, 200, 150));
        p.drawEllipse(QRectF(1, 2, 14, 12));
        p.setPen(Qt::NoPen);
        const std::pair<QPointF, QColor> drops[] = {{{5, 6}, QColor(220, 40, 40)},
                                                    {{9.5, 5}, QColor(40, 170, 60)},
                                                    {{11.5, 9}, QColor(40, 80, 220)}};
        for (const auto& [c, color] : drops) {
            p.setBrush(color);
            p.drawEllipse(c, 1.8, 1.8);
        }
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(5.5, 10.5), 1.6, 1.4);
    });
}

QIcon AboutIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(20, 70, 150), 0.8));
        p.setBrush(QColor(60, 130, 220));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 4.6), 1.2, 1.2);
        p.drawRoundedRect(QRectF(6.9, 6.6, 2.2, 6.4), 0.6, 0.6);
    });
}

QIcon SearchIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(70, 70, 70), 1.6));
        p.setBrush(QColor(210, 230, 250));
        p.drawEllipse(QPointF(6.5, 6.5), 4.6, 4.6);
        p.setPen(QPen(QColor(120, 80, 40), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 10), QPointF(14.2, 14.2));
        p.setPen(QPen(Qt::white, 1.0, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(3.8, 3.8, 5.4, 5.4), 100 * 16, 70 * 16);
    });
}

QIcon PlanIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(70, 70, 70), 0.7));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1, 1);
        for (double y : {4.5, 8.0, 11.5}) {
            p.setPen(QPen(QColor(30, 130, 60), 1.2, Qt::SolidLine, Qt::RoundCap));
            p.drawPolyline(QPolygonF({QPointF(4.2, y), QPointF(5.2, y + 1), QPointF(7, y - 1)}));
            p.setPen(QPen(QColor(120, 120, 120), 0.8));
            p.drawLine(QPointF(8.3, y), QPointF(12, y));
        }
    });
}

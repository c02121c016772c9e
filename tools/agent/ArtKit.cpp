#include "ArtKit.h"

#include <QPainterPath>
#include <QtMath>
#include <array>

namespace {

const QColor kInk(40, 30, 40);

QPointF polar(QPointF from, double angleFromDownDeg, double length, int side) {
    const double a = qDegreesToRadians(angleFromDownDeg);
    return from + QPointF(side * std::sin(a) * length, std::cos(a) * length);
}

void questionMark(QPainter& p, QPointF at, double size) {
    QPainterPath path;
    path.moveTo(at + QPointF(-size * 0.35, -size * 0.45));
    path.cubicTo(at + QPointF(-size * 0.35, -size * 0.95), at + QPointF(size * 0.45, -size * 0.95),
                 at + QPointF(size * 0.4, -size * 0.45));
    path.cubicTo(at + QPointF(size * 0.35, -size * 0.15), at + QPointF(0, -size * 0.15),
                 at + QPointF(0, size * 0.2));
    p.setPen(QPen(QColor(200, 40, 60), size * 0.22, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 60));
    p.drawEllipse(at + QPointF(0, size * 0.5), size * 0.13, size * 0.13);
}

void exclaim(QPainter& p, QPointF at, double size) {
    p.setPen(QPen(QColor(230, 120, 0), size * 0.24, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at + QPointF(0, -size * 0.8), at + QPointF(0, size * 0.15));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 120, 0));
    p.drawEllipse(at + QPointF(0, size * 0.5), size * 0.14, size * 0.14);
}

void heart(QPainter& p, QPointF at, double size) {
    QPainterPath path;
    path.moveTo(at + QPointF(0, size * 0.35));
    path.cubicTo(at + QPointF(-size, -size * 0.3), at + QPointF(-size * 0.35, -size * 0.9), at);
    path.cubicTo(at + QPointF(size * 0.35, -size * 0.9), at + QPointF(size, -size * 0.3),
                 at + QPointF(0, size * 0.35));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 60, 110));
    p.drawPath(path);
}

} // namespace

QPen ArtKit::outline(double width) {
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPointF ArtKit::arm(QPainter& p, QPointF shoulder, double angle, double length, int side,
                    const QColor& color, double width) {
    // The elbow bends a little towards the body, which reads as an arm, not a stick.
    const QPointF elbow = polar(shoulder, angle * 0.8, length * 0.55, side);
    const QPointF handAt = polar(elbow, angle * 1.1, length * 0.5, side);
    QPainterPath path(shoulder);
    path.lineTo(elbow);
    path.lineTo(handAt);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, width + 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    return handAt;
}

void ArtKit::hand(QPainter& p, QPointF at, double radius, const QColor& color) {
    p.setPen(outline(1.5));
    p.setBrush(color);
    p.drawEllipse(at, radius, radius);
}

void ArtKit::eyes(QPainter& p, QPointF left, QPointF right, double radius, const Pose& pose,
                  const QColor& white, const QColor& pupil) {
    for (QPointF c : {left, right}) {
        if (pose.eyeOpen < 0.15) {
            p.setPen(outline(2));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(c.x() - radius, c.y() - radius * 0.6, radius * 2, radius * 1.2),
                      200 * 16, 140 * 16);
            continue;
        }
        const double ry = radius * std::min(1.4, pose.eyeOpen);
        p.setPen(outline(1.5));
        p.setBrush(white);
        p.drawEllipse(c, radius, ry);
        p.setPen(Qt::NoPen);
        p.setBrush(pupil);
        const double pr = radius * (pose.eyeOpen > 1.2 ? 0.38 : 0.5);
        p.drawEllipse(c + QPointF(pose.look * radius * 0.45, radius * 0.1), pr, std::min(pr, ry));
    }
}

void ArtKit::mouth(QPainter& p, QPointF center, double width, const Pose& pose,
                   const QColor& line) {
    const double half = width / 2;
    const double curve = pose.smile * width * 0.35;
    QPainterPath path(center + QPointF(-half, -curve * 0.3));
    if (pose.mouthOpen > 0.1) {
        const double open = pose.mouthOpen * width * 0.45;
        path.quadTo(center + QPointF(0, curve * 0.4), center + QPointF(half, -curve * 0.3));
        path.quadTo(center + QPointF(0, curve + open * 2), center + QPointF(-half, -curve * 0.3));
        p.setPen(QPen(line, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(120, 20, 40));
        p.drawPath(path);
        return;
    }
    path.quadTo(center + QPointF(0, curve), center + QPointF(half, -curve * 0.3));
    p.setPen(QPen(line, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void ArtKit::star(QPainter& p, QPointF center, double radius, const QColor& color) {
    QPainterPath path;
    for (int i = 0; i < 8; ++i) {
        const double a = M_PI / 4 * i;
        const double r = (i % 2 == 0) ? radius : radius * 0.35;
        const QPointF pt = center + QPointF(std::sin(a) * r, -std::cos(a) * r);
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
}

void ArtKit::effect(QPainter& p, QPointF head, const Pose& pose) {
    const double t = pose.effectPhase;
    switch (pose.effect) {
    case Pose::Effect::None:
        break;
    case Pose::Effect::Sparkles:
        for (int i = 0; i < 5; ++i) {
            const double a = 2 * M_PI * (i / 5.0 + t * 0.5);
            const QPointF at = head + QPointF(std::cos(a) * 46, std::sin(a) * 30 - 4);
            star(p, at, 4 + 3 * std::abs(std::sin(M_PI * (t * 2 + i * 0.3))), QColor(255, 215, 0));
        }
        break;
    case Pose::Effect::Confetti: {
        static const std::array<QColor, 4> colors{QColor(230, 50, 50), QColor(40, 160, 230),
                                                  QColor(250, 200, 0), QColor(60, 190, 80)};
        for (int i = 0; i < 10; ++i) {
            const double x = 8 + (i * 37) % 112;
            const double y = 4 + std::fmod(i * 23 + t * 60, 60);
            p.setPen(Qt::NoPen);
            p.setBrush(colors[i % colors.size()]);
            p.drawRect(QRectF(x, y, 5, 3));
        }
        break;
    }
    case Pose::Effect::Question:
        questionMark(p, head + QPointF(34, -28 - 4 * t), 16);
        break;
    case Pose::Effect::Exclaim:
        exclaim(p, head + QPointF(34, -26 - 3 * t), 15);
        break;
    case Pose::Effect::Tear:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(80, 160, 255));
        p.drawEllipse(head + QPointF(-13, 6 + 14 * t), 2.5, 3.5);
        break;
    case Pose::Effect::Hearts:
        heart(p, head + QPointF(-36, -18 - 10 * t), 7);
        heart(p, head + QPointF(36, -26 - 8 * t), 6);
        break;
    case Pose::Effect::Puff:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 220, 235, 200));
        for (int i = 0; i < 6; ++i) {
            const double a = 2 * M_PI * i / 6;
            const double r = 14 + 34 * t;
            p.drawEllipse(QPointF(64, 84) + QPointF(std::cos(a) * r, std::sin(a) * r * 0.6),
                          12 * (1 - t) + 3, 10 * (1 - t) + 3);
        }
        break;
    case Pose::Effect::Waves:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(90, 90, 110), 2, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 2; ++i) {
            const double r = 8 + 6 * i + 4 * t;
            p.drawArc(QRectF(head.x() - 36 - r, head.y() - r, 2 * r, 2 * r), 120 * 16, 120 * 16);
            p.drawArc(QRectF(head.x() + 36 - r, head.y() - r, 2 * r, 2 * r), -60 * 16, 120 * 16);
        }
        break;
    }
}

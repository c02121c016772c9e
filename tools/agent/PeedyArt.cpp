#include "PeedyArt.h"

#include "ArtKit.h"

#include <QPainterPath>

namespace {
const QColor kFeather(60, 170, 70);
const QColor kBelly(190, 220, 90);
const QColor kBeak(250, 200, 40);
const QColor kCrest(240, 110, 30);
const QColor kWingTip(40, 90, 200);
} // namespace

void PeedyArt::draw(QPainter& p, const Pose& pose) const {
    // Perch and tail feathers behind the body.
    p.setPen(ArtKit::outline(1.5));
    p.setBrush(QColor(130, 85, 40));
    p.drawRoundedRect(QRectF(34, 116, 60, 7), 3, 3);
    p.setBrush(QColor(220, 40, 40));
    p.drawPolygon(
        QPolygonF({QPointF(60, 104), QPointF(68, 104), QPointF(72, 127), QPointF(64, 127)}));
    p.setBrush(kWingTip);
    p.drawPolygon(
        QPolygonF({QPointF(66, 104), QPointF(72, 104), QPointF(80, 126), QPointF(74, 126)}));

    // Body and belly.
    p.setBrush(kFeather);
    p.drawEllipse(QPointF(64, 86), 21, 27);
    p.setBrush(kBelly);
    p.drawEllipse(QPointF(64, 92), 12, 18);
    // Feet.
    p.setPen(QPen(QColor(230, 130, 60), 3, Qt::SolidLine, Qt::RoundCap));
    for (double x : {56.0, 72.0}) {
        p.drawLine(QPointF(x, 110), QPointF(x, 117));
        p.drawLine(QPointF(x, 117), QPointF(x - 4, 120));
        p.drawLine(QPointF(x, 117), QPointF(x + 4, 120));
    }

    // Wings: broad feathered arms with blue tips.
    const QPointF l = ArtKit::arm(p, {48, 74}, pose.armLeft, 28, -1, kFeather, 11);
    const QPointF r = ArtKit::arm(p, {80, 74}, pose.armRight, 28, 1, kFeather, 11);
    ArtKit::hand(p, l, 5.5, kWingTip);
    ArtKit::hand(p, r, 5.5, kWingTip);

    p.save();
    tiltHead(p, {64, 62}, pose);
    // Crest.
    p.setPen(ArtKit::outline(1.2));
    p.setBrush(kCrest);
    for (int i = -1; i <= 1; ++i)
        p.drawEllipse(QPointF(64 + i * 7, 24 - (i == 0 ? 4 : 0)), 4, 10);
    p.setBrush(kFeather);
    p.drawEllipse(QPointF(64, 44), 19, 18);
    // Big round eyes with happy or worried brows.
    ArtKit::eyes(p, {56, 40}, {72, 40}, 6, pose, Qt::white, Qt::black);
    p.setPen(QPen(QColor(20, 70, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    const double brow = -pose.smile * 2.5;
    p.drawLine(QPointF(50, 31 + brow), QPointF(60, 31 - brow));
    p.drawLine(QPointF(68, 31 - brow), QPointF(78, 31 + brow));
    // Beak: the lower half drops as the mouth opens.
    const double open = pose.mouthOpen * 7;
    p.setPen(ArtKit::outline(1.2));
    p.setBrush(kBeak.darker(115));
    p.drawPolygon(QPolygonF({QPointF(58, 52), QPointF(70, 52), QPointF(64, 58 + open)}));
    QPainterPath upper(QPointF(56, 47));
    upper.quadTo(QPointF(64, 42), QPointF(72, 47));
    upper.quadTo(QPointF(70, 56), QPointF(64, 60));
    upper.quadTo(QPointF(60, 54), QPointF(56, 47));
    p.setBrush(kBeak);
    p.drawPath(upper);
    if (pose.smile > 0.6) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 120, 140, 160));
        p.drawEllipse(QPointF(49, 50), 4, 2.5);
        p.drawEllipse(QPointF(79, 50), 4, 2.5);
    }
    p.restore();
}

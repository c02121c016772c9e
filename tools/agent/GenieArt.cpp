#include "GenieArt.h"

#include "ArtKit.h"

#include <QPainterPath>

namespace {
const QColor kSkin(70, 140, 225);
const QColor kSkinDark(45, 100, 190);
const QColor kSmoke(150, 200, 250);
const QColor kVest(200, 40, 50);
const QColor kGold(240, 190, 30);
} // namespace

void GenieArt::draw(QPainter& p, const Pose& pose) const {
    // Smoke tail.
    QPainterPath tail(QPointF(50, 86));
    tail.cubicTo(QPointF(46, 104), QPointF(76, 104), QPointF(62, 116));
    tail.cubicTo(QPointF(54, 122), QPointF(72, 127), QPointF(84, 120));
    tail.cubicTo(QPointF(70, 118), QPointF(92, 104), QPointF(78, 86));
    tail.closeSubpath();
    p.setPen(ArtKit::outline(1.5));
    p.setBrush(kSmoke);
    p.drawPath(tail);

    // Torso, broad at the shoulders.
    QPainterPath torso(QPointF(42, 60));
    torso.lineTo(QPointF(86, 60));
    torso.quadTo(QPointF(84, 80), QPointF(78, 90));
    torso.lineTo(QPointF(50, 90));
    torso.quadTo(QPointF(44, 80), QPointF(42, 60));
    p.setBrush(kSkin);
    p.drawPath(torso);
    p.setBrush(kVest);
    p.drawPolygon(QPolygonF({QPointF(43, 61), QPointF(56, 61), QPointF(54, 88), QPointF(50, 89)}));
    p.drawPolygon(QPolygonF({QPointF(85, 61), QPointF(72, 61), QPointF(74, 88), QPointF(78, 89)}));
    p.setBrush(kGold);
    p.drawRect(QRectF(49, 86, 30, 5));

    // Arms with gold bracelets.
    const QPointF l = ArtKit::arm(p, {46, 64}, pose.armLeft, 32, -1, kSkin, 8);
    const QPointF r = ArtKit::arm(p, {82, 64}, pose.armRight, 32, 1, kSkin, 8);
    ArtKit::hand(p, l, 5.5, kSkin);
    ArtKit::hand(p, r, 5.5, kSkin);

    p.save();
    tiltHead(p, {64, 56}, pose);
    // Ponytail from the topknot.
    QPainterPath pony(QPointF(64, 18));
    pony.cubicTo(QPointF(90, 8), QPointF(92, 30), QPointF(82, 40));
    pony.cubicTo(QPointF(86, 26), QPointF(80, 16), QPointF(66, 22));
    p.setPen(ArtKit::outline(1.5));
    p.setBrush(QColor(30, 30, 50));
    p.drawPath(pony);
    p.drawEllipse(QPointF(64, 20), 6, 4);
    // Pointed ears, head, earring.
    p.setBrush(kSkinDark);
    p.drawPolygon(QPolygonF({QPointF(47, 36), QPointF(38, 30), QPointF(48, 44)}));
    p.drawPolygon(QPolygonF({QPointF(81, 36), QPointF(90, 30), QPointF(80, 44)}));
    p.setBrush(kSkin);
    p.drawEllipse(QPointF(64, 38), 17, 18);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGold, 2.5));
    p.drawEllipse(QPointF(45, 47), 3, 3.5);
    // Brows, eyes, mouth, goatee.
    p.setPen(QPen(QColor(20, 20, 40), 3, Qt::SolidLine, Qt::RoundCap));
    const double brow = -pose.smile * 2;
    p.drawLine(QPointF(52, 30 + brow), QPointF(60, 29 - brow * 0.5));
    p.drawLine(QPointF(68, 29 - brow * 0.5), QPointF(76, 30 + brow));
    ArtKit::eyes(p, {57, 36}, {71, 36}, 4.5, pose, Qt::white, QColor(20, 20, 60));
    ArtKit::mouth(p, {64, 47}, 13, pose, QColor(20, 20, 50));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 50));
    p.drawPolygon(QPolygonF({QPointF(60, 54), QPointF(68, 54), QPointF(64, 62)}));
    p.restore();
}

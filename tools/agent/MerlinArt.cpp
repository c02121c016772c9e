#include "MerlinArt.h"

#include "ArtKit.h"

#include <QPainterPath>

namespace {
const QColor kRobe(100, 50, 160);
const QColor kHat(40, 60, 170);
const QColor kFace(245, 200, 170);
const QColor kBeard(245, 245, 250);
const QColor kStar(250, 220, 60);
} // namespace

void MerlinArt::draw(QPainter& p, const Pose& pose) const {
    // Robe down to the ground, with stars.
    QPainterPath robe(QPointF(54, 56));
    robe.lineTo(QPointF(74, 56));
    robe.quadTo(QPointF(86, 90), QPointF(92, 124));
    robe.lineTo(QPointF(36, 124));
    robe.quadTo(QPointF(42, 90), QPointF(54, 56));
    p.setPen(ArtKit::outline(1.5));
    p.setBrush(kRobe);
    p.drawPath(robe);
    ArtKit::star(p, {50, 110}, 5, kStar);
    ArtKit::star(p, {78, 100}, 4, kStar);
    ArtKit::star(p, {60, 92}, 3.5, kStar);

    // Sleeved arms.
    const QPointF l = ArtKit::arm(p, {52, 64}, pose.armLeft, 30, -1, kRobe, 10);
    const QPointF r = ArtKit::arm(p, {76, 64}, pose.armRight, 30, 1, kRobe, 10);
    ArtKit::hand(p, l, 4.5, kFace);
    ArtKit::hand(p, r, 4.5, kFace);

    p.save();
    tiltHead(p, {64, 58}, pose);
    p.setPen(ArtKit::outline(1.5));
    p.setBrush(kFace);
    p.drawEllipse(QPointF(64, 44), 13, 14);
    // Beard from ear to ear, down over the robe.
    QPainterPath beard(QPointF(51, 46));
    beard.cubicTo(QPointF(50, 70), QPointF(58, 84), QPointF(64, 90));
    beard.cubicTo(QPointF(70, 84), QPointF(78, 70), QPointF(77, 46));
    beard.quadTo(QPointF(64, 58), QPointF(51, 46));
    p.setBrush(kBeard);
    p.drawPath(beard);
    ArtKit::mouth(p, {64, 55}, 10, pose, QColor(120, 60, 60));
    // Moustache.
    p.setPen(ArtKit::outline(1));
    p.setBrush(kBeard);
    p.drawEllipse(QPointF(59, 51), 5, 2.5);
    p.drawEllipse(QPointF(69, 51), 5, 2.5);
    ArtKit::eyes(p, {58, 43}, {70, 43}, 3.6, pose, Qt::white, QColor(30, 60, 120));
    // Bushy brows.
    p.setPen(QPen(kBeard.darker(115), 3.5, Qt::SolidLine, Qt::RoundCap));
    const double brow = -pose.smile * 1.5;
    p.drawLine(QPointF(53, 37 + brow), QPointF(61, 36 - brow * 0.5));
    p.drawLine(QPointF(67, 36 - brow * 0.5), QPointF(75, 37 + brow));
    // Hat: a bent cone on a brim, with a moon.
    QPainterPath hat(QPointF(44, 33));
    hat.cubicTo(QPointF(54, 24), QPointF(58, 8), QPointF(78, 2));
    hat.cubicTo(QPointF(70, 12), QPointF(76, 24), QPointF(84, 33));
    hat.closeSubpath();
    p.setPen(ArtKit::outline(1.5));
    p.setBrush(kHat);
    p.drawPath(hat);
    p.drawEllipse(QPointF(64, 33), 24, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(kStar);
    p.drawEllipse(QPointF(64, 22), 5, 5);
    p.setBrush(kHat);
    p.drawEllipse(QPointF(66.5, 20.5), 4.3, 4.3);
    ArtKit::star(p, {72, 14}, 3, kStar);
    p.restore();
}

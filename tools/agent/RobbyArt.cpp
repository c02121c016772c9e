#include "RobbyArt.h"

#include "ArtKit.h"

#include <QPainterPath>
#include <algorithm>

namespace {
const QColor kMetal(175, 185, 195);
const QColor kMetalDark(110, 120, 135);
const QColor kVisor(40, 220, 230);
} // namespace

void RobbyArt::draw(QPainter& p, const Pose& pose) const {
    // Treads.
    p.setPen(ArtKit::outline(1.5));
    p.setBrush(QColor(60, 60, 70));
    p.drawRoundedRect(QRectF(38, 106, 52, 18), 8, 8);
    p.setBrush(kMetalDark);
    for (double x : {47.0, 64.0, 81.0})
        p.drawEllipse(QPointF(x, 115), 5, 5);

    // Body with a panel whose lights follow the mood.
    p.setBrush(kMetal);
    p.drawRoundedRect(QRectF(42, 62, 44, 44), 6, 6);
    p.setBrush(QColor(50, 55, 70));
    p.drawRect(QRectF(50, 72, 28, 20));
    const QColor mood = pose.smile >= 0 ? QColor(60, 230, 90) : QColor(240, 60, 50);
    for (int i = 0; i < 3; ++i) {
        const bool lit = static_cast<int>(pose.effectPhase * 6 + i) % 3 != 0 || i == 1;
        p.setPen(Qt::NoPen);
        p.setBrush(lit ? (i == 1 ? mood : QColor(250, 200, 40)) : QColor(90, 90, 90));
        p.drawEllipse(QPointF(56 + i * 8, 80), 3, 3);
    }
    p.setBrush(kVisor.darker(150));
    p.drawRect(QRectF(54, 86, 20, 2));

    // Jointed arms with claws.
    const QPointF l = ArtKit::arm(p, {44, 68}, pose.armLeft, 30, -1, kMetalDark, 6);
    const QPointF r = ArtKit::arm(p, {84, 68}, pose.armRight, 30, 1, kMetalDark, 6);
    for (QPointF h : {l, r}) {
        p.setPen(QPen(QColor(60, 60, 70), 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(h.x() - 6, h.y() - 5, 12, 12), 200 * 16, 140 * 16);
        ArtKit::hand(p, h, 3.5, kMetal);
    }

    p.save();
    tiltHead(p, {64, 60}, pose);
    // Neck, antenna, head.
    p.setPen(ArtKit::outline(1.5));
    p.setBrush(kMetalDark);
    p.drawRect(QRectF(58, 54, 12, 9));
    p.setPen(QPen(QColor(60, 60, 70), 2.5));
    p.drawLine(QPointF(64, 20), QPointF(64, 7));
    p.setPen(ArtKit::outline(1));
    p.setBrush(pose.effect == Pose::Effect::None ? QColor(220, 40, 40) : QColor(255, 120, 80));
    p.drawEllipse(QPointF(64, 6), 4, 4);
    p.setPen(ArtKit::outline(1.5));
    p.setBrush(kMetal);
    p.drawRoundedRect(QRectF(42, 20, 44, 36), 7, 7);
    p.setBrush(kMetalDark);
    p.drawRect(QRectF(38, 32, 5, 12));
    p.drawRect(QRectF(85, 32, 5, 12));
    // Visor eyes: rectangles that narrow as the eyes close.
    p.setBrush(QColor(30, 35, 50));
    p.drawRoundedRect(QRectF(47, 26, 34, 14), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(kVisor);
    const double h = 9 * std::clamp(pose.eyeOpen, 0.1, 1.3);
    for (double x : {56.0, 72.0})
        p.drawRoundedRect(QRectF(x - 4 + pose.look * 3, 33 - h / 2, 8, h), 2, 2);
    // Grille mouth.
    p.setPen(ArtKit::outline(1.2));
    p.setBrush(QColor(30, 35, 50));
    const double mh = 6 + pose.mouthOpen * 6;
    p.drawRoundedRect(QRectF(52, 44, 24, mh), 2, 2);
    ArtKit::mouth(p, {64, 44 + mh / 2}, 18, Pose{.mouthOpen = 0, .smile = pose.smile * 0.5},
                  kVisor);
    p.restore();
}

#include "ButtonArt.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QSize kButton(81, 28);
const QSize kArrow(28, 28);
const QSize kDoor(66, 62);

const QColor kNormalText(0x12, 0x2A, 0x6E);
const QColor kHoverText(0xE0, 0x10, 0x10);

QFont buttonFont() {
    QFont font;
    font.setFamilies({QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")});
    font.setPixelSize(16);
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void drawFace(QPainter& p, const QRectF& r, bool hover) {
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, hover ? QColor(0xFF, 0xFB, 0xE8) : QColor(0xF4, 0xF8, 0xFF));
    fill.setColorAt(1, hover ? QColor(0xF2, 0xD8, 0x8C) : QColor(0xB9, 0xCD, 0xEA));
    QPainterPath path;
    path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p.fillPath(path, fill);
    p.setPen(QPen(hover ? QColor(0xB0, 0x70, 0x20) : QColor(0x50, 0x6A, 0x9A), 1));
    p.drawPath(path);
}

void drawText(QPainter& p, const QRectF& r, const QString& text, const QColor& colour) {
    p.setFont(buttonFont());
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

void drawArrow(QPainter& p, const QRectF& r, bool up, bool hover) {
    drawFace(p, r, hover);
    const double cx = r.center().x();
    const double top = r.top() + 8;
    const double bottom = r.bottom() - 8;
    QPolygonF triangle;
    if (up)
        triangle << QPointF(cx, top) << QPointF(r.right() - 7, bottom)
                 << QPointF(r.left() + 7, bottom);
    else
        triangle << QPointF(cx, bottom) << QPointF(r.right() - 7, top)
                 << QPointF(r.left() + 7, top);
    p.setPen(Qt::NoPen);
    p.setBrush(hover ? kHoverText : kNormalText);
    p.drawPolygon(triangle);
}

// A doorway with the door swung open into the room; brighter when lit.
void drawDoor(QPainter& p, const QRectF& r, bool hover) {
    const QRectF frame(r.left() + 10, r.top() + 4, 40, 54);
    p.fillRect(frame, hover ? QColor(0xFF, 0xF2, 0xB0) : QColor(0xFF, 0xE6, 0x90));
    p.setPen(QPen(QColor(0x5A, 0x3A, 0x1A), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    const double open = hover ? 22 : 14; // how far the door stands out
    QPolygonF door;
    door << frame.topLeft() << QPointF(frame.left() + open, frame.top() + 6)
         << QPointF(frame.left() + open, frame.bottom() + 2) << frame.bottomLeft();
    p.setPen(QPen(QColor(0x4A, 0x2A, 0x10), 1.5));
    p.setBrush(hover ? QColor(0xC0, 0x60, 0x30) : QColor(0x9A, 0x55, 0x28));
    p.drawPolygon(door);
    p.setBrush(QColor(0xF0, 0xC0, 0x30));
    p.drawEllipse(QPointF(frame.left() + open - 4, frame.center().y() + 3), 2, 2);
    // An arrow pointing out through the doorway.
    p.setPen(QPen(hover ? kHoverText : QColor(0x20, 0x80, 0x30), 3, Qt::SolidLine, Qt::RoundCap));
    const double y = frame.center().y();
    p.drawLine(QPointF(frame.right() - 4, y), QPointF(r.right() - 3, y));
    p.drawLine(QPointF(r.right() - 3, y), QPointF(r.right() - 9, y - 6));
    p.drawLine(QPointF(r.right() - 3, y), QPointF(r.right() - 9, y + 6));
}

} // namespace

std::vector<ButtonArt::Picture> ButtonArt::catalogue() {
    std::vector<Picture> list;
    const auto pair = [&list](const QString& normal, const QString& hover, const QString& text) {
        list.push_back({normal, Kind::Text, text, false, kButton});
        list.push_back({hover, Kind::Text, text, true, kButton});
    };
    // The practice modes' buttons, and the buttons of the exercise window.
    const std::pair<const char*, const char*> named[] = {
        {"READALL", "全文朗读"},   {"READ", "单句朗读"},   {"FOLLOW", "全文跟读"},
        {"FOLLOWONE", "单句跟读"}, {"RECORD", "全文独白"}, {"RECORDONE", "单句独白"},
        {"HELP", "帮 助"},         {"SET", "设 置"},       {"RETURN", "返 回"},
        {"EXIT", "退 出"},
    };
    for (const auto& [name, text] : named)
        pair(QString("%1-1").arg(name), QString("%1-2").arg(name), QString::fromUtf8(text));
    pair("0-1-QINGJING", "0-2-QINGJING", QStringLiteral("情景全读"));
    pair("1-1-QINGJING", "1-2-QINGJING", QStringLiteral("情景单读"));
    pair("0-1-LANG", "0-2-LANG", QStringLiteral("英 文"));
    pair("1-1-LANG", "1-2-LANG", QStringLiteral("中 文"));
    list.push_back({"STOP", Kind::Text, QStringLiteral("停 止"), true, kButton});
    list.push_back({"0-1-SEL", Kind::UpArrow, {}, false, kArrow});
    list.push_back({"0-2-SEL", Kind::UpArrow, {}, true, kArrow});
    list.push_back({"1-1-SEL", Kind::DownArrow, {}, false, kArrow});
    list.push_back({"1-2-SEL", Kind::DownArrow, {}, true, kArrow});
    // The unit menu: enter, help, about, exit (a door), log.
    pair("0-1-MAIN", "0-2-MAIN", QStringLiteral("进 入"));
    pair("1-1-MAIN", "1-2-MAIN", QStringLiteral("帮 助"));
    pair("2-1-MAIN", "2-2-MAIN", QStringLiteral("关 于"));
    list.push_back({"3-1-MAIN", Kind::Door, {}, false, kDoor});
    list.push_back({"3-2-MAIN", Kind::Door, {}, true, kDoor});
    pair("4-1-MAIN", "4-2-MAIN", QStringLiteral("日 志"));
    return list;
}

QImage ButtonArt::draw(const Picture& picture) {
    QImage image(picture.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(picture.size));
    switch (picture.kind) {
    case Kind::Text:
        drawFace(p, r, picture.hover);
        drawText(p, r, picture.text, picture.hover ? kHoverText : kNormalText);
        break;
    case Kind::UpArrow:
    case Kind::DownArrow:
        drawArrow(p, r, picture.kind == Kind::UpArrow, picture.hover);
        break;
    case Kind::Door:
        drawDoor(p, r, picture.hover);
        break;
    }
    return image;
}

bool ButtonArt::fontAvailable(QString* family) {
    *family = QFontInfo(buttonFont()).family();
    return family->contains(QStringLiteral("UMing"), Qt::CaseInsensitive);
}

#include "windows/AboutButton.h"

#include "windows/SongTi.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

int shiftState(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

int buttonState(Qt::MouseButtons b) {
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
           (b & Qt::MiddleButton ? 4 : 0);
}

} // namespace

AboutButton::AboutButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setMouseTracking(true);
    setFont(SongTi(10.5));
    setCursor(Qt::PointingHandCursor);
}

void AboutButton::setStyle(int style) {
    if (style == m_style)
        return;
    m_style = style;
    update();
}

void AboutButton::setPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void AboutButton::mouseMoveEvent(QMouseEvent* event) {
    QPushButton::mouseMoveEvent(event);
    // A move over the button is the button's alone: it must not reach the
    // window under it, whose own move handler undoes the hover.
    event->accept();
    emit MouseMove(buttonState(event->buttons()), shiftState(event->modifiers()),
                   event->position().x(), event->position().y());
}

void AboutButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    if (!m_picture.isNull())
        p.drawPixmap(r, m_picture);
    else
        p.fillRect(r, palette().button());
    const bool raised = m_style == 4;
    const bool pressed = isDown();
    if (raised || pressed) {
        // A 3-D edge: light above and left, dark below and right (the other
        // way round while pressed).
        const QColor light(255, 255, 255), dark(80, 90, 110);
        p.setPen(pressed ? dark : light);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(pressed ? light : dark);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
    p.setPen(raised ? QColor(0xb0, 0x10, 0x10) : QColor(0x10, 0x20, 0x40));
    p.setFont(font());
    p.drawText(r.translated(pressed ? 1 : 0, pressed ? 1 : 0), Qt::AlignCenter, text());
    if (hasFocus()) {
        p.setPen(QPen(QColor(0x10, 0x20, 0x40), 1, Qt::DotLine));
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
}

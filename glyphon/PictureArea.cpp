#include "PictureArea.h"

#include "OleColor.h"

#include <QMouseEvent>
#include <QPainter>

#include <utility>

PictureArea::PictureArea(const platform::IScreenMetrics& screen, QWidget* parent)
    : QFrame(parent), m_screen(screen), m_backColor(OleColor::ButtonFace) {
    setObjectName("ImgBack");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // every move is reported, with or without a button down
    updateFrame();
}

short PictureArea::buttonMask(Qt::MouseButtons buttons) {
    static const std::pair<Qt::MouseButton, short> table[] = {
        {Qt::LeftButton, 1}, {Qt::RightButton, 2}, {Qt::MiddleButton, 4}};
    short mask = 0;
    for (const auto& [button, bit] : table)
        mask |= buttons.testFlag(button) ? bit : 0;
    return mask;
}

short PictureArea::shiftMask(Qt::KeyboardModifiers modifiers) {
    static const std::pair<Qt::KeyboardModifier, short> table[] = {
        {Qt::ShiftModifier, 1}, {Qt::ControlModifier, 2}, {Qt::AltModifier, 4}};
    short mask = 0;
    for (const auto& [modifier, bit] : table)
        mask |= modifiers.testFlag(modifier) ? bit : 0;
    return mask;
}

void PictureArea::imageChanged() {
    m_persistent = QPixmap();
    update();
}

void PictureArea::setBorderStyle(BorderStyl border) {
    m_border = border;
    updateFrame();
}

void PictureArea::setAppearance(Appear appearance) {
    m_appearance = appearance;
    updateFrame();
}

void PictureArea::setBackColor(std::uint32_t color) {
    m_backColor = color;
    imageChanged();
}

void PictureArea::setAutoRedraw(bool on) {
    m_autoRedraw = on;
    imageChanged();
}

void PictureArea::updateFrame() {
    if (m_border == BorderStyl::无边框) {
        setFrameStyle(QFrame::NoFrame);
    } else if (m_appearance == Appear::ThreeD) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    } else {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    }
    imageChanged();
}

double PictureArea::widthTwips() const {
    return width() * m_screen.twipsPerPixelX();
}

double PictureArea::heightTwips() const {
    return height() * m_screen.twipsPerPixelY();
}

QPointF PictureArea::twipsAt(const QPointF& pos) const {
    const QPointF client = pos - contentsRect().topLeft();
    return {client.x() * m_screen.twipsPerPixelX(), client.y() * m_screen.twipsPerPixelY()};
}

void PictureArea::mouseMoveEvent(QMouseEvent* event) {
    const QPointF t = twipsAt(event->position());
    emit mouseMoved(buttonMask(event->buttons()), shiftMask(event->modifiers()), float(t.x()),
                    float(t.y()));
}

void PictureArea::mousePressEvent(QMouseEvent* event) {
    const QPointF t = twipsAt(event->position());
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    emit mousePressed(buttonMask(event->button()), shiftMask(event->modifiers()), float(t.x()),
                      float(t.y()));
}

void PictureArea::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF t = twipsAt(event->position());
    // A click is a left press and release over the area; the release that
    // ends a double-click only ends it.
    const bool click = event->button() == Qt::LeftButton && m_leftPressed &&
                       !m_releaseEndsDoubleClick && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        m_leftPressed = false;
        m_releaseEndsDoubleClick = false;
    }
    emit mouseReleased(buttonMask(event->button()), shiftMask(event->modifiers()), float(t.x()),
                       float(t.y()));
    if (click)
        emit clicked();
}

void PictureArea::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    m_leftPressed = true;
    m_releaseEndsDoubleClick = true;
    emit doubleClicked();
}

void PictureArea::drawContent(QPainter& painter) const {
    painter.fillRect(rect(), OleColor::toColor(m_backColor, palette()));
    // The image element's place is given in client-area coordinates.
    painter.save();
    painter.translate(contentsRect().topLeft());
    m_image.paint(painter);
    painter.restore();
}

void PictureArea::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        if (m_autoRedraw) {
            if (m_persistent.size() != size()) {
                m_persistent = QPixmap(size());
                QPainter bitmap(&m_persistent);
                drawContent(bitmap);
            }
            painter.drawPixmap(0, 0, m_persistent);
        } else {
            drawContent(painter);
        }
    }
    QFrame::paintEvent(event); // the border
    emit painted();
}

void PictureArea::resizeEvent(QResizeEvent* event) {
    m_persistent = QPixmap();
    QFrame::resizeEvent(event);
}

void PictureArea::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        imageChanged();
    QFrame::changeEvent(event);
}

bool PictureArea::focusNextPrevChild(bool next) {
    bool cancel = false;
    emit focusLeaving(cancel);
    return cancel || QFrame::focusNextPrevChild(next);
}

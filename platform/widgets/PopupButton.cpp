#include "widgets/PopupButton.h"

#include "widgets/MouseCodes.h"

#include <QMouseEvent>
#include <QPainter>

namespace platform {

PopupButton::PopupButton(QWidget* parent, Twips twips) : QWidget(parent), m_twips(twips) {
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
}

void PopupButton::SetCaption(const QString& caption) {
    m_caption = caption;
    update();
}

void PopupButton::SetValue(short value) {
    m_value = value != 0 ? 1 : 0;
    update();
}

void PopupButton::SetStyle(short style) {
    m_style = style;
    update();
}

void PopupButton::SetPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void PopupButton::SetWidth(double twips) {
    resize(std::max(0, m_twips.toPixelsX(twips)), height());
}

void PopupButton::SetHeight(double twips) {
    resize(width(), std::max(0, m_twips.toPixelsY(twips)));
}

void PopupButton::Move(double left, double top, double width, double height) {
    setGeometry(m_twips.toPixels(left, top, width, height));
}

QSize PopupButton::sizeHint() const {
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, m_caption);
    return {std::max(text.width() + 16, 40), std::max(text.height() + 10, 24)};
}

void PopupButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    if (m_picture.isNull())
        p.fillRect(r, palette().color(QPalette::Button));
    else
        p.drawPixmap(r, m_picture);

    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const bool sunken = m_value != 0 || m_pressing;
    if (sunken || m_style != 0) {
        // Selected or being pressed: lit from below; raised: lit from above.
        const QColor topLeft = sunken ? dark : light;
        const QColor bottomRight = sunken ? light : dark;
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }

    QRect text = r.adjusted(2, 2, -2, -2);
    if (sunken)
        text.translate(1, 1);
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(text, Qt::AlignCenter | Qt::TextWordWrap, m_caption);
}

void PopupButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressing = true;
        update();
    }
    event->accept();
}

void PopupButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasPressing = m_pressing;
    m_pressing = false;
    update();
    if (wasPressing && rect().contains(event->position().toPoint()))
        emit Press();
}

void PopupButton::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    emit MouseMove(mouseButtonCode(event->buttons()), shiftCode(event->modifiers()),
                   static_cast<float>(m_twips.toTwipsX(pos.x())),
                   static_cast<float>(m_twips.toTwipsY(pos.y())));
}

} // namespace platform

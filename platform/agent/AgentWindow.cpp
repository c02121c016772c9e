#include "agent/AgentWindow.h"

#include <QPainter>

namespace platform {

AgentWindow::AgentWindow(QSize frameSize)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(frameSize);
}

void AgentWindow::setFrame(const QImage& image, const QRegion& shape) {
    m_image = image;
    setMask(shape.isEmpty() ? QRegion(0, 0, 1, 1) : shape);
    update();
}

void AgentWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(0, 0, m_image);
}

} // namespace platform

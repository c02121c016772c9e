#include "agent/AgentWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QTimer>

namespace platform {

AgentWindow::AgentWindow(QSize frameSize)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(frameSize);
    QCoreApplication::instance()->installEventFilter(this);
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

namespace {

// A window of the program that may come up over the character: not a
// character itself, nor a menu or tool tip, which close again at once.
bool mayCover(QObject* object, const QWidget* self) {
    if (object == self || !object->isWidgetType())
        return false;
    const auto* widget = static_cast<const QWidget*>(object);
    if (!widget->isWindow() || dynamic_cast<const AgentWindow*>(widget))
        return false;
    const Qt::WindowType type = widget->windowType();
    return type != Qt::Popup && type != Qt::ToolTip;
}

} // namespace

bool AgentWindow::eventFilter(QObject* watched, QEvent* event) {
    // The Show event comes before the other window is mapped: raise once the
    // event loop has run on, so the raise reaches the server after the map.
    if (event->type() == QEvent::Show && isVisible() && mayCover(watched, this))
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                raise();
        });
    return QWidget::eventFilter(watched, event);
}

} // namespace platform

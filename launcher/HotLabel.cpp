#include "HotLabel.h"

#include <QMouseEvent>

HotLabel::HotLabel(const QString& hint, QWidget* parent) : QLabel(parent) {
    setToolTip(hint);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(QStringLiteral("background: transparent;"));
}

void HotLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

#include "ShadowPanel.h"

#include <QPainter>

ShadowPanel::ShadowPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

QRect ShadowPanel::faceRect() const {
    return rect().adjusted(0, 0, -ShadowWidth, -ShadowWidth);
}

void ShadowPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect().adjusted(ShadowWidth, ShadowWidth, 0, 0), QColor(0, 0, 0, 140));
    painter.fillRect(faceRect(), palette().color(QPalette::WindowText));
}

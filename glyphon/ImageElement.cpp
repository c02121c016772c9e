#include "ImageElement.h"

#include <QPainter>

void ImageElement::setPicture(const QPixmap& picture) {
    m_picture = picture;
    if (!m_stretch)
        takeNaturalSize();
}

void ImageElement::setStretch(bool stretch) {
    m_stretch = stretch;
    if (!m_stretch)
        takeNaturalSize();
}

void ImageElement::takeNaturalSize() {
    m_geometry.setSize(m_picture.isNull() ? QSize(0, 0)
                                          : m_picture.deviceIndependentSize().toSize());
}

void ImageElement::paint(QPainter& painter) const {
    if (m_picture.isNull() || m_geometry.isEmpty())
        return;
    painter.save();
    painter.setClipRect(m_geometry);
    if (m_stretch)
        painter.drawPixmap(m_geometry, m_picture);
    else
        painter.drawPixmap(m_geometry.topLeft(), m_picture);
    painter.restore();
}

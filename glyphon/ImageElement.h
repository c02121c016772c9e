#pragma once

#include <QPixmap>
#include <QRect>

class QPainter;

// `ImgFirst`: the windowless image element that shows the picture. It has no
// window and takes no mouse input; the picture area it sits in draws it.
// Stretched, the picture fills the element; otherwise the element takes the
// picture's natural size whenever the picture or the stretch mode is set.
class ImageElement {
public:
    const QPixmap& picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);

    bool stretch() const { return m_stretch; }
    void setStretch(bool stretch);

    const QRect& geometry() const { return m_geometry; }
    void setGeometry(const QRect& r) { m_geometry = r; }

    void paint(QPainter& painter) const;

private:
    void takeNaturalSize();

    QPixmap m_picture;
    bool m_stretch = true; // a new control stretches (AutoSize False)
    QRect m_geometry;
};

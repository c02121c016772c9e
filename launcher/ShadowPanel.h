#pragma once

#include <QWidget>

// A panel that casts a shadow of `ShadowWidth` pixels at its right and bottom
// edges; its children lie in the area above and left of the shadow.
class ShadowPanel : public QWidget {
public:
    static constexpr int ShadowWidth = 4;
    explicit ShadowPanel(QWidget* parent);
    QRect faceRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

#pragma once

#include <QPixmap>
#include <QPushButton>

// The about window's popup-style buttons: a caption over a background
// picture, flat while Style is 0 and raised while it is 4 (the window sets 4
// while the pointer is over a button). Reports every pointer move over it.
class AboutButton : public QPushButton {
    Q_OBJECT
public:
    AboutButton(const QString& caption, QWidget* parent);

    int Style() const { return m_style; }
    void setStyle(int style);
    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return m_picture; }

signals:
    // Button: the mouse buttons held; Shift: the modifier keys; X, Y: where.
    void MouseMove(int Button, int Shift, double X, double Y);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_style = 0;
    QPixmap m_picture;
};

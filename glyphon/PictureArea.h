#pragma once

#include "GlyphonEnums.h"
#include "ImageElement.h"
#include "screen/IScreenMetrics.h"

#include <QFrame>

#include <cstdint>

// `ImgBack`: the windowed picture area that fills the control. It holds the
// border, 3-D appearance, back colour and persistent-bitmap settings, draws
// the image element `ImgFirst` inside its client area, and receives all mouse
// input of the control, which it reports in the platform's terms: Button and
// Shift as bit masks (1 left, 2 right, 4 middle; 1 Shift, 2 Ctrl, 4 Alt), X and
// Y in twips from the top-left corner of its client area.
class PictureArea : public QFrame {
    Q_OBJECT
public:
    PictureArea(const platform::IScreenMetrics& screen, QWidget* parent);

    ImageElement& image() { return m_image; }
    const ImageElement& image() const { return m_image; }
    // The picture changed or the image element moved.
    void imageChanged();

    BorderStyl borderStyle() const { return m_border; }
    void setBorderStyle(BorderStyl border);
    Appear appearance() const { return m_appearance; }
    void setAppearance(Appear appearance);
    std::uint32_t backColor() const { return m_backColor; }
    void setBackColor(std::uint32_t color);
    bool autoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on);

    // Outer size in twips.
    double widthTwips() const;
    double heightTwips() const;

    static short buttonMask(Qt::MouseButtons buttons);
    static short shiftMask(Qt::KeyboardModifiers modifiers);

signals:
    void mouseMoved(short button, short shift, float x, float y);
    void mousePressed(short button, short shift, float x, float y);
    void mouseReleased(short button, short shift, float x, float y);
    void clicked();
    void doubleClicked();
    void painted();
    // The keyboard is about to move the focus to another control; a handler
    // setting `cancel` keeps it here.
    void focusLeaving(bool& cancel);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void updateFrame();
    void drawContent(QPainter& painter) const;
    QPointF twipsAt(const QPointF& pos) const;

    const platform::IScreenMetrics& m_screen;
    ImageElement m_image;
    BorderStyl m_border = BorderStyl::无边框;
    Appear m_appearance = Appear::None;
    std::uint32_t m_backColor;
    bool m_autoRedraw = false;
    QPixmap m_persistent; // the persistent bitmap while AutoRedraw is on
    bool m_leftPressed = false;
    bool m_releaseEndsDoubleClick = false;
};

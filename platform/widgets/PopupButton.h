#pragma once

#include "widgets/Twips.h"

#include <QPixmap>
#include <QWidget>

namespace platform {

// The popup button the windows use for toggles and plain buttons: a caption
// drawn over a face picture, a selection value 0/1 and a style value that
// draws it flat (0) or raised (4, what the windows set while the pointer is
// over it or it is pressed). Press is raised when a left click on the button
// ends over it; MouseMove while the pointer moves over it (the windows use it
// for hover styles). A disabled or hidden button raises nothing. Sizes and
// pointer positions are in twips.
class PopupButton : public QWidget {
    Q_OBJECT

public:
    explicit PopupButton(QWidget* parent = nullptr, Twips twips = Twips());

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

    // The button's own visibility flag (true even while its window is hidden).
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool visible) { setVisible(visible); }
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }

    // Selection: 0 not selected, 1 selected (drawn pressed in). Any value
    // other than 0 selects.
    short Value() const { return m_value; }
    void SetValue(short value);

    // 0 flat, 4 raised; other values are kept and drawn raised.
    short Style() const { return m_style; }
    void SetStyle(short style);

    // The face picture, stretched over the button; a null picture shows the
    // button face colour.
    QPixmap Picture() const { return m_picture; }
    void SetPicture(const QPixmap& picture);

    // Geometry in twips relative to the parent.
    void SetTwips(Twips twips) { m_twips = twips; }
    const Twips& twips() const { return m_twips; }
    double Left() const { return m_twips.toTwipsX(x()); }
    double Top() const { return m_twips.toTwipsY(y()); }
    double Width() const { return m_twips.toTwipsX(width()); }
    double Height() const { return m_twips.toTwipsY(height()); }
    void SetWidth(double twips);
    void SetHeight(double twips);
    void Move(double left, double top, double width, double height);

    QSize sizeHint() const override;

signals:
    void Press();
    // Button and Shift as the platform reports them (1 left, 2 right, 4
    // middle; 1 Shift, 2 Ctrl, 4 Alt); X, Y in twips from the top-left corner.
    void MouseMove(short Button, short Shift, float X, float Y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Twips m_twips;
    QString m_caption;
    QPixmap m_picture;
    short m_value = 0;
    short m_style = 0;
    bool m_pressing = false; // left button went down on the button
};

} // namespace platform

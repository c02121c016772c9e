#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

namespace platform {

// The character's own window: frameless, translucent, above other windows,
// never taking the keyboard focus. It shows one frame image at a time. Besides
// the translucent background it clips itself to the frame's opaque pixels, so
// the character has its shape also on an X server without a compositor.
// "Above other windows" is a wish the window manager grants; where none runs
// (or it lets a newly shown window cover ours), the window raises itself
// again each time another window of the program is shown.
class AgentWindow : public QWidget {
public:
    explicit AgentWindow(QSize frameSize);

    void setFrame(const QImage& image, const QRegion& shape);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QImage m_image;
};

} // namespace platform

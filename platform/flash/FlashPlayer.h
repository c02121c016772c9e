#pragma once

#include "flash/SwfMovie.h"

#include <QTimer>
#include <QWidget>

namespace platform {

// The stand-in for the Shockwave Flash player control: plays a movie's
// timeline at its frame rate, once, on its background colour, and sends the
// FSCommand calls of each frame when the timeline reaches it. A file that is
// not a movie plays as an empty timeline. Asked to play before it is shown,
// the timeline starts once the player is on screen, from the event loop: a
// first frame that closes the window finds it shown.
class FlashPlayer : public QWidget {
    Q_OBJECT
public:
    explicit FlashPlayer(QWidget* parent = nullptr);

    // The player's Movie property: the file to play.
    void setMovie(const QString& path);
    QString movie() const { return m_path; }
    void play();
    void stop();
    bool isPlaying() const { return m_playing; }
    int currentFrame() const { return m_frame; }

signals:
    void FSCommand(const QString& command, const QString& arguments);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void run();
    void nextFrame();

    QString m_path;
    SwfMovie m_movie;
    int m_frame = 0;
    bool m_playing = false;
    QTimer m_timer;
};

} // namespace platform

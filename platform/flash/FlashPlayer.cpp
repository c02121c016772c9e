#include "flash/FlashPlayer.h"

#include <QPainter>

#include <algorithm>

namespace platform {

FlashPlayer::FlashPlayer(QWidget* parent) : QWidget(parent) {
    connect(&m_timer, &QTimer::timeout, this, &FlashPlayer::nextFrame);
}

void FlashPlayer::setMovie(const QString& path) {
    stop();
    m_path = path;
    m_movie = SwfMovie::load(path).value_or(SwfMovie{});
    m_frame = 0;
    update();
}

void FlashPlayer::play() {
    if (m_movie.frames.isEmpty())
        return;
    m_playing = true;
    if (isVisible())
        run();
}

void FlashPlayer::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_playing && !m_timer.isActive())
        QTimer::singleShot(0, this, [this] {
            if (m_playing && !m_timer.isActive())
                run();
        });
}

void FlashPlayer::run() {
    const double rate = m_movie.frameRate > 0 ? m_movie.frameRate : 12.0;
    m_timer.start(std::max(1, static_cast<int>(1000.0 / rate)));
    // The first frame's actions run as soon as it is shown.
    if (m_frame == 0)
        nextFrame();
}

void FlashPlayer::stop() {
    m_playing = false;
    m_timer.stop();
}

void FlashPlayer::nextFrame() {
    if (m_frame >= m_movie.frames.size()) {
        stop();
        return;
    }
    const QList<FsCommand> commands = m_movie.frames.at(m_frame++);
    update();
    for (const FsCommand& c : commands) {
        emit FSCommand(c.command, c.arguments);
        if (!isPlaying())
            return; // the host stopped the movie
    }
}

void FlashPlayer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_movie.background);
    if (m_movie.frames.isEmpty())
        return;
    // A progress bar along the bottom shows the timeline advancing.
    const int done = width() * m_frame / static_cast<int>(m_movie.frames.size());
    painter.fillRect(0, height() - 8, done, 8, m_movie.background.lighter(160));
}

} // namespace platform

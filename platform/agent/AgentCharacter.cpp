#include "agent/AgentCharacter.h"

#include "PlatformError.h"
#include "agent/AgentWindow.h"

#include <QBitmap>
#include <cmath>

namespace platform {

namespace {

constexpr int kMoveTickMs = 15;
constexpr int kIdleAfterMs = 8000;

} // namespace

AgentCharacter::AgentCharacter(const QString& name, AgentFile file)
    : m_name(name), m_file(std::move(file)), m_shapes(m_file.images.size()),
      m_window(std::make_unique<AgentWindow>(m_file.frameSize)) {
    m_window->setWindowTitle(m_name);
    m_frameTimer.setSingleShot(true);
    m_frameTimer.callOnTimeout([this] { advanceFrame(); });
    m_moveTimer.setInterval(kMoveTickMs);
    m_moveTimer.callOnTimeout([this] { stepMove(); });
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(kIdleAfterMs);
    m_idleTimer.callOnTimeout([this] { playIdle(); });
    placeWindow();
    showImage(m_file.find("RestPose")->frames.front().image);
}

AgentCharacter::~AgentCharacter() = default;

void AgentCharacter::ensureLoaded() const {
    if (m_retired)
        throw PlatformError(QString("the character \"%1\" has been unloaded").arg(m_name));
}

int AgentCharacter::LanguageID() const {
    ensureLoaded();
    return m_languageID;
}

void AgentCharacter::setLanguageID(int id) {
    ensureLoaded();
    m_languageID = id;
}

int AgentCharacter::BalloonStyle() const {
    ensureLoaded();
    return m_balloonStyle;
}

void AgentCharacter::setBalloonStyle(int style) {
    ensureLoaded();
    m_balloonStyle = style;
}

void AgentCharacter::Show() {
    ensureLoaded();
    if (m_visible)
        return;
    m_visible = true;
    m_window->show();
    m_window->raise();
    if (const AgentFile::Animation* showing = m_file.find("Showing"))
        enqueue({Kind::Play, showing, {}, 0});
}

void AgentCharacter::Hide() {
    ensureLoaded();
    if (!m_visible)
        return;
    m_visible = false;
    enqueue({Kind::Hide, m_file.find("Hiding"), {}, 0});
}

bool AgentCharacter::Visible() const {
    ensureLoaded();
    return m_visible;
}

int AgentCharacter::Left() const {
    ensureLoaded();
    return m_pos.x();
}

void AgentCharacter::setLeft(int x) {
    ensureLoaded();
    m_pos.setX(x);
    placeWindow();
}

int AgentCharacter::Top() const {
    ensureLoaded();
    return m_pos.y();
}

void AgentCharacter::setTop(int y) {
    ensureLoaded();
    m_pos.setY(y);
    placeWindow();
}

void AgentCharacter::MoveTo(int x, int y, int speed) {
    ensureLoaded();
    enqueue({Kind::Move, nullptr, QPoint(x, y), std::max(0, speed)});
}

void AgentCharacter::Play(const QString& animation) {
    ensureLoaded();
    const AgentFile::Animation* found = m_file.find(animation);
    if (!found)
        throw PlatformError(
            QString("the character \"%1\" has no animation \"%2\"").arg(m_name, animation));
    enqueue({Kind::Play, found, {}, 0});
}

void AgentCharacter::Stop() {
    ensureLoaded();
    m_queue.clear();
    m_frameTimer.stop();
    m_moveTimer.stop();
    m_current.reset();
    m_idling = false;
    // A hide that was asked for still happens, only without its animation.
    if (!m_visible)
        m_window->hide();
    becomeIdle();
}

void AgentCharacter::retire() {
    m_frameTimer.stop();
    m_moveTimer.stop();
    m_idleTimer.stop();
    m_queue.clear();
    m_current.reset();
    m_window.reset();
    m_file = AgentFile();
    m_shapes.clear();
    m_visible = false;
    m_retired = true;
}

QString AgentCharacter::playingAnimation() const {
    if (m_current && m_current->kind != Kind::Move && m_current->animation)
        return m_current->animation->name;
    return {};
}

bool AgentCharacter::isMoving() const {
    return m_current && m_current->kind == Kind::Move;
}

int AgentCharacter::queuedActions() const {
    return static_cast<int>(m_queue.size());
}

bool AgentCharacter::isBusy() const {
    return (m_current && !m_idling) || !m_queue.empty();
}

QWidget* AgentCharacter::window() const {
    return m_window.get();
}

QSize AgentCharacter::frameSize() const {
    return m_file.frameSize;
}

void AgentCharacter::enqueue(const Action& action) {
    m_queue.push_back(action);
    if (m_idling) {
        m_frameTimer.stop();
        m_current.reset();
        m_idling = false;
    }
    if (!m_current)
        startNext();
}

void AgentCharacter::startNext() {
    m_idleTimer.stop();
    if (m_queue.empty()) {
        becomeIdle();
        return;
    }
    m_current = m_queue.front();
    m_queue.pop_front();
    switch (m_current->kind) {
    case Kind::Play:
        startAnimation(m_current->animation);
        break;
    case Kind::Hide:
        if (m_current->animation)
            startAnimation(m_current->animation);
        else
            finishCurrent();
        break;
    case Kind::Move:
        m_moveFrom = m_pos;
        m_moveClock.start();
        if (m_current->durationMs == 0)
            stepMove();
        else
            m_moveTimer.start();
        break;
    }
}

void AgentCharacter::finishCurrent() {
    if (m_current && m_current->kind == Kind::Hide && !m_visible)
        m_window->hide();
    m_current.reset();
    m_idling = false;
    startNext();
}

void AgentCharacter::startAnimation(const AgentFile::Animation* animation) {
    m_frame = 0;
    showImage(animation->frames.front().image);
    m_frameTimer.start(animation->frames.front().durationMs);
}

void AgentCharacter::advanceFrame() {
    if (!m_current)
        return;
    const auto& frames = m_current->animation->frames;
    if (++m_frame >= frames.size()) {
        finishCurrent();
        return;
    }
    showImage(frames[m_frame].image);
    m_frameTimer.start(frames[m_frame].durationMs);
}

void AgentCharacter::stepMove() {
    const Action& move = *m_current;
    const qint64 elapsed = m_moveClock.elapsed();
    if (elapsed >= move.durationMs) {
        m_moveTimer.stop();
        m_pos = move.target;
        placeWindow();
        finishCurrent();
        return;
    }
    const double t = static_cast<double>(elapsed) / move.durationMs;
    const QPoint delta = move.target - m_moveFrom;
    m_pos = m_moveFrom + QPoint(static_cast<int>(std::lround(delta.x() * t)),
                                static_cast<int>(std::lround(delta.y() * t)));
    placeWindow();
}

void AgentCharacter::showImage(int index) {
    std::optional<QRegion>& shape = m_shapes[index];
    const QImage& image = m_file.images[index];
    if (!shape)
        shape = QRegion(QBitmap::fromImage(image.createAlphaMask(Qt::ThresholdAlphaDither)));
    m_window->setFrame(image, *shape);
}

void AgentCharacter::placeWindow() {
    if (m_window)
        m_window->move(m_pos);
}

void AgentCharacter::becomeIdle() {
    showImage(m_file.find("RestPose")->frames.front().image);
    if (m_visible && m_file.find("Idle"))
        m_idleTimer.start();
}

void AgentCharacter::playIdle() {
    if (m_current || !m_queue.empty() || !m_visible)
        return;
    m_current = Action{Kind::Play, m_file.find("Idle"), {}, 0};
    m_idling = true;
    startAnimation(m_current->animation);
}

} // namespace platform

#pragma once

#include "agent/AgentFile.h"
#include "agent/IAgentCharacter.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QRegion>
#include <QTimer>
#include <deque>
#include <memory>
#include <optional>

namespace platform {

class AgentWindow;

// A character loaded from a character file, shown in its own AgentWindow.
// Requests run one after another from a queue driven by timers on the window
// thread; nothing here ever waits. While the queue is empty the character
// stands in its "RestPose" and now and then plays its "Idle" animation, which
// any new request interrupts.
class AgentCharacter : public IAgentCharacter {
public:
    AgentCharacter(const QString& name, AgentFile file);
    ~AgentCharacter() override;

    int LanguageID() const override;
    void setLanguageID(int id) override;
    int BalloonStyle() const override;
    void setBalloonStyle(int style) override;
    void Show() override;
    void Hide() override;
    bool Visible() const override;
    int Left() const override;
    void setLeft(int x) override;
    int Top() const override;
    void setTop(int y) override;
    void MoveTo(int x, int y, int speed) override;
    void Play(const QString& animation) override;
    void Stop() override;

    // Unloading: the window goes away and every later call raises PlatformError.
    void retire();

    // What runs now, for the control's users and for checks: the playing
    // animation's name (empty while moving or resting), and the number of
    // requests waiting behind it.
    QString playingAnimation() const;
    bool isMoving() const;
    int queuedActions() const;
    bool isBusy() const;
    QWidget* window() const;
    QSize frameSize() const;

private:
    enum class Kind { Play, Move, Hide };
    struct Action {
        Kind kind = Kind::Play;
        const AgentFile::Animation* animation = nullptr;
        QPoint target;
        int durationMs = 0;
    };

    void ensureLoaded() const;
    void enqueue(const Action& action);
    void startNext();
    void finishCurrent();
    void startAnimation(const AgentFile::Animation* animation);
    void advanceFrame();
    void stepMove();
    void showImage(int index);
    void placeWindow();
    void becomeIdle();
    void playIdle();

    QString m_name;
    AgentFile m_file;
    QVector<std::optional<QRegion>> m_shapes;
    std::unique_ptr<AgentWindow> m_window;
    std::deque<Action> m_queue;
    std::optional<Action> m_current;
    bool m_idling = false;
    int m_frame = 0;
    QTimer m_frameTimer;
    QTimer m_moveTimer;
    QTimer m_idleTimer;
    QElapsedTimer m_moveClock;
    QPoint m_moveFrom;
    QPoint m_pos;
    int m_languageID = 1033;
    int m_balloonStyle = 1;
    bool m_visible = false;
    bool m_retired = false;
};

} // namespace platform

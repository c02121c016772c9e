#include "core/ModalWindow.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace {

// Ends the modal loop when the window goes away.
class HideWatcher : public QObject {
public:
    explicit HideWatcher(QEventLoop& loop) : m_loop(loop) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide)
            m_loop.quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& m_loop;
};

} // namespace

void ShowModal(QWidget& window) {
    QPointer<QWidget> guard(&window);
    window.setWindowModality(Qt::ApplicationModal);
    window.show();
    window.raise();
    window.activateWindow();
    if (!guard || !guard->isVisible())
        return;
    QEventLoop loop;
    HideWatcher watcher(loop);
    window.installEventFilter(&watcher);
    QObject::connect(&window, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::DialogExec);
    if (guard)
        guard->removeEventFilter(&watcher);
}

#pragma once

#include <QLabel>

// A label that reports clicks: the window's transparent hot areas and the
// help "?".
class HotLabel : public QLabel {
    Q_OBJECT
public:
    HotLabel(const QString& hint, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

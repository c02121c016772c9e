#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPair>
#include <QString>

// Writes a small Shockwave Flash movie: a frame size, a frame rate, a
// background colour and a timeline of frames, each optionally sending
// FSCommand calls (get-URL actions to "FSCommand:<name>"). `compressed`
// writes the zlib-compressed form ("CWS").
class SwfWriter {
public:
    using Commands = QList<QPair<QString, QString>>;

    SwfWriter(int width, int height, double frameRate, QColor background);
    void addFrame(const Commands& commands = {});
    QByteArray bytes(bool compressed = false) const;

private:
    static QByteArray tag(int code, const QByteArray& body);

    int m_width;
    int m_height;
    double m_frameRate;
    QColor m_background;
    QByteArray m_tags;
    int m_frames = 0;
};

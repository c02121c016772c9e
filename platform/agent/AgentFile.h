#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QVector>

namespace platform {

// Our character file format (".acs" files in the program's "CHAR" folder).
// All integers are little-endian; strings are UTF-8 preceded by a u16 byte count.
//
//   offset 0   8 bytes  magic "VRBAGENT"
//          8   u16      format version, 1
//         10   u16      reserved, 0
//         12   u32      CRC-32 (zlib) of every byte after this field
//         16   u16      frame width in pixels (1..1024)
//         18   u16      frame height in pixels (1..1024)
//         20   string   character name
//              u16      image count I (>= 1)
//              I times: u32 byte count, then a PNG image of width x height
//                       pixels with alpha (transparent outside the character)
//              u16      animation count A (>= 1)
//              A times: string animation name; u16 frame count F (>= 1);
//                       F times: u16 image index (< I), u16 duration in ms (>= 1)
//
// An animation named "RestPose" is required: it is the still picture shown
// whenever nothing else plays. "Showing", "Hiding" and "Idle" are used when
// present (on Show, on Hide, and now and then while the character waits).
// Frames are stored once and shared by animations, which keeps files small.
// Names take at most 65,535 bytes of UTF-8. A file is refused when it is
// larger than kMaxFileBytes, or when its frame images would take more than
// kMaxTotalPixels once decoded (checked before any is decoded); each frame's
// size is read from its PNG header before the frame is decoded.
class AgentFile {
public:
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
    static constexpr qint64 kMaxTotalPixels = 64 * 1024 * 1024;

    struct Frame {
        int image = 0;
        int durationMs = 0;
    };
    struct Animation {
        QString name;
        QVector<Frame> frames;
    };

    QString name;
    QSize frameSize;
    QVector<QImage> images;
    QVector<Animation> animations;

    // Reads a character file; raises PlatformError when the file is missing,
    // unreadable, damaged or not a character file.
    static AgentFile load(const QString& path);
    static AgentFile parse(const QByteArray& bytes);

    // The file's bytes; raises PlatformError when the contents break the rules above.
    QByteArray serialize() const;
    // Writes the file; raises PlatformError on failure.
    void save(const QString& path) const;

    // The animation of that name: the exact name first, then without regard to case.
    const Animation* find(const QString& animation) const;

    // Checks the rules above; raises PlatformError naming the first one broken.
    void validate() const;
};

} // namespace platform

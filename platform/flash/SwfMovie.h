#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

#include <optional>

namespace platform {

// A command a movie sends to its host (an FSCommand): a "FSCommand:<name>"
// address in a get-URL action, with the target as the arguments.
struct FsCommand {
    QString command;
    QString arguments;
    bool operator==(const FsCommand&) const = default;
};

// What the stand-in player needs of a Shockwave Flash file: the header (size,
// frame rate, frame count), the background colour and, for each frame of the
// timeline, the commands its actions send. Compressed files ("CWS") are
// inflated with zlib. Tags other than ShowFrame, End, SetBackgroundColor and
// DoAction are skipped.
//
// Limits keep a broken or hostile file from exhausting memory: a file (or a
// compressed file's body) over kMaxFileBytes is refused; reading stops after
// kMaxFrames frames (the most the header's 16-bit frame count can announce)
// and keeps no more than kMaxCommands commands.
class SwfMovie {
public:
    static constexpr qint64 kMaxFileBytes = 256 * 1024 * 1024;
    static constexpr qsizetype kMaxFrames = 0xFFFF;
    static constexpr qsizetype kMaxCommands = 0x10000;

    static std::optional<SwfMovie> parse(const QByteArray& file);
    static std::optional<SwfMovie> load(const QString& path);

    int version = 0;
    int widthTwips = 0;
    int heightTwips = 0;
    double frameRate = 12.0;
    int frameCount = 0;
    QColor background = Qt::white;
    // One entry per shown frame: the commands sent when it is reached.
    QList<QList<FsCommand>> frames;
};

} // namespace platform

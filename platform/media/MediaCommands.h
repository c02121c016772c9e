#pragma once

#include "media/IMediaCommands.h"

#include <QMap>
#include <QStringList>

namespace platform {

class IPathLookup;

// The media command interpreter. Devices are kept by alias; OPEN checks the
// file (through the path lookup, so names match without regard to case) and
// its kind: a sequencer file must be a standard MIDI file. There is no MIDI
// synthesizer here, so PLAY on a sequencer answers SeqNoMidiPresent and the
// device stays "stopped"; everything else about the alias works.
class MediaCommands : public IMediaCommands {
public:
    explicit MediaCommands(const IPathLookup& paths) : m_paths(paths) {}

    std::int32_t sendString(const QString& command, QString* reply = nullptr) override;
    QString errorString(std::int32_t code) const override;

    // The aliases now open, in lower case.
    QStringList openAliases() const { return m_devices.keys(); }

    // Splits a command string into words; double quotes hold a word with
    // blanks. False when a quote is not closed.
    static bool splitWords(const QString& command, QStringList* words);

private:
    struct Device {
        QString type; // "sequencer"
        QString file; // the resolved path
        QString mode; // "stopped"
    };

    std::int32_t open(const QStringList& args);
    std::int32_t close(const QStringList& args);
    std::int32_t status(const QStringList& args, QString* reply);
    std::int32_t play(const QStringList& args);
    std::int32_t stop(const QStringList& args);
    Device* device(const QString& alias);

    const IPathLookup& m_paths;
    QMap<QString, Device> m_devices; // by lower-case alias
};

} // namespace platform

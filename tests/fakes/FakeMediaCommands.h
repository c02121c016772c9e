#pragma once

#include "media/IMediaCommands.h"

#include <QMap>
#include <QStringList>

// Records every command string and answers from a script: `results` maps a
// command (upper case, as sent but case-folded) to its result code, `replies`
// to its reply; anything else succeeds with an empty reply.
class FakeMediaCommands : public platform::IMediaCommands {
public:
    std::int32_t sendString(const QString& command, QString* reply) override {
        sent << command;
        const QString key = command.toUpper();
        if (reply)
            *reply = replies.value(key);
        return results.value(key, platform::mci::NoError);
    }
    QString errorString(std::int32_t code) const override {
        return code == 0 ? QString() : QStringLiteral("media error %1").arg(code);
    }

    QStringList sent;
    QMap<QString, std::int32_t> results;
    QMap<QString, QString> replies;
};

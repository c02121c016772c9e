#pragma once

#include "CharacterArt.h"
#include "Motions.h"
#include "agent/AgentFile.h"

#include <QHash>
#include <QString>
#include <utility>
#include <vector>

// Draws a character's animations with its art and collects them into a
// character file; identical frames are stored once.
class CharacterBuilder {
public:
    static constexpr int kFrameSide = 128;

    CharacterBuilder(const QString& name, const CharacterArt& art);

    void add(const QString& animation, Motion motion);
    const platform::AgentFile& file() const { return m_file; }

private:
    int frameFor(const Pose& pose);
    QImage render(const Pose& pose) const;

    const CharacterArt& m_art;
    platform::AgentFile m_file;
    QHash<QByteArray, int> m_known; // image digest -> image index
};

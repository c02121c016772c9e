#pragma once

#include <QString>

// The help files compiled from fixture/ at build time.
inline QString helpFixture(const QString& name) {
    return QStringLiteral(HELP_FIXTURE_DIR "/") + name;
}

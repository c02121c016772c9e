#pragma once

#include "paths/IPathLookup.h"

namespace platform {

// Path lookup on the real file system. Drive paths ("c:\dir\file") live in a
// per-user drive folder, $XDG_DATA_HOME/verbaro/drive_c/... (as Wine keeps
// them); `driveRoot` overrides that folder.
class PathLookup : public IPathLookup {
public:
    PathLookup();
    explicit PathLookup(QString driveRoot);

    QString resolve(const QString& path) const override;
    bool fileExists(const QString& path) const override;

    // The folder that stands for the drive root "x:\".
    QString driveFolder(QChar letter) const;

private:
    QString toLocal(const QString& path) const;
    QString m_driveRoot; // holds drive_c, drive_d, ...
};

} // namespace platform

#pragma once

#include <QString>

class QWidget;

namespace platform {

// The help viewer for ".chm" files.
class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;
    // Shows the file's default topic with `owner` as owner window; false when
    // the file cannot be read as a help file.
    virtual bool displayTopic(const QString& chmPath, QWidget* owner) = 0;
};

} // namespace platform

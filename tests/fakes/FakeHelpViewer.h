#pragma once

#include "help/IHelpViewer.h"

#include <QStringList>

// Records the help files asked for.
class FakeHelpViewer : public platform::IHelpViewer {
public:
    bool displayTopic(const QString& chmPath, QWidget*) override {
        shownFiles << chmPath;
        return opens;
    }

    QStringList shownFiles;
    bool opens = true;
};

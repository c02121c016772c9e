#pragma once

#include "help/IHelpViewer.h"

#include <QPointer>

#include <map>

namespace platform {

class HelpViewerWindow;
class IMessageBox;
class IPathLookup;

// The help viewer over chmlib: one viewer window per help file, shown again
// (and brought to its default topic) when the same file is asked for again.
class ChmHelpViewer : public IHelpViewer {
public:
    // `messages` asks the learner before a link leaves the help files.
    explicit ChmHelpViewer(const IPathLookup& paths, IMessageBox* messages = nullptr);
    ~ChmHelpViewer() override;
    ChmHelpViewer(const ChmHelpViewer&) = delete;
    ChmHelpViewer& operator=(const ChmHelpViewer&) = delete;

    bool displayTopic(const QString& chmPath, QWidget* owner) override;

    // The open window of the file; nullptr when there is none.
    HelpViewerWindow* windowFor(const QString& chmPath) const;

private:
    QString fileKey(const QString& chmPath) const;

    const IPathLookup& m_paths;
    IMessageBox* m_messages;
    // Windows delete themselves when closed, or with their owner.
    std::map<QString, QPointer<HelpViewerWindow>> m_windows;
};

} // namespace platform

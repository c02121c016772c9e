#pragma once

#include "agent/IAgentCharacter.h"
#include "agent/IAgentControl.h"

#include <QMap>
#include <QSet>
#include <QStringList>
#include <memory>

// A character that records every request in `calls` ("Show", "Hide",
// "MoveTo 8,424,1000", "Play GestureLeft", "Stop") and knows the animations
// listed in `animations` (an empty set knows every name).
class FakeAgentCharacter : public platform::IAgentCharacter {
public:
    int LanguageID() const override { return languageID; }
    void setLanguageID(int id) override { languageID = id; }
    int BalloonStyle() const override { return balloonStyle; }
    void setBalloonStyle(int style) override { balloonStyle = style; }
    void Show() override;
    void Hide() override;
    bool Visible() const override { return visible; }
    int Left() const override { return left; }
    void setLeft(int x) override { left = x; }
    int Top() const override { return top; }
    void setTop(int y) override { top = y; }
    void MoveTo(int x, int y, int speed) override;
    void Play(const QString& animation) override;
    void Stop() override;

    int languageID = 0;
    int balloonStyle = 0;
    bool visible = false;
    int left = 0;
    int top = 0;
    QSet<QString> animations;
    QStringList calls;
};

// An agent control that loads any file except those in `missingFiles`, which
// raise PlatformError as a missing file does. `calls` records "Load <name> <file>"
// and "Unload <name>".
class FakeAgentControl : public platform::IAgentControl {
public:
    void Load(const QString& name, const QString& file) override;
    void Unload(const QString& name) override;
    platform::IAgentCharacter& Characters(const QString& name) override;

    FakeAgentCharacter* character(const QString& name) const;

    QSet<QString> missingFiles;
    QStringList calls;

private:
    QMap<QString, std::shared_ptr<FakeAgentCharacter>> m_loaded;
    // Unloaded characters stay alive so that a test's pointers to them stay valid.
    QList<std::shared_ptr<FakeAgentCharacter>> m_unloaded;
};

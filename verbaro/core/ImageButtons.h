#pragma once

#include "com/HResult.h"
#include "widgets/Twips.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace platform {
struct Platform;
}

// One image button of a window: the Glyphon.ImageLabel control created
// through the component layer, with typed access to what the windows use.
// The control is a child of the window's widget; this handle is a child of
// the control, so both go with the window.
class ImageButton : public QObject {
    Q_OBJECT
public:
    ImageButton(QWidget* control, platform::Twips twips);

    QWidget* control() const { return m_control; }

    QPixmap Picture() const;
    void SetPicture(const QPixmap& picture);
    // Picture := the program's resource picture of that name (case ignored);
    // an unknown name leaves the picture and returns false.
    bool SetPictureByName(const QString& name);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    void SetVisible(bool visible);
    QString ToolTipText() const;
    void SetToolTipText(const QString& text);

    // Geometry in twips relative to the window (the host's extender values).
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void Move(double left, double top, double width, double height);

signals:
    // The control's events without their (unused) pointer arguments.
    void MouseEnter();
    void MouseExit();
    void Click();

private slots:
    void onMouseEnter(short&, short&, float&, float&) { emit MouseEnter(); }
    void onMouseExit(short&, short&, float&, float&) { emit MouseExit(); }
    void onClick() { emit Click(); }

private:
    QPointer<QWidget> m_control;
    platform::Twips m_twips;
};

// Makes a window's image buttons: "Glyphon.ImageLabel" by ProgID through the
// registry (class, library "Glyphon.ocx", class object). When the control
// cannot be made (class not registered, library missing or broken), the
// first failure tells the learner in a message box (title "错误") and ends
// the program through the platform; create() then returns nullptr, and
// every later call does so silently.
class ImageButtons {
public:
    static constexpr const char* ProgId = "Glyphon.ImageLabel";

    explicit ImageButtons(platform::Platform& platform);

    ImageButton* create(QWidget* parent);
    // Checks that the control can be made (creates and drops one), with the
    // same message and end when it cannot.
    bool available();
    bool failed() const { return m_failed; }

    // The learner's message for a creation result code.
    static QString failureText(platform::com::HResult hresult, const QString& loadError);

private:
    void fail(platform::com::HResult hresult, const QString& loadError);

    platform::Platform& m_platform;
    bool m_failed = false;
};

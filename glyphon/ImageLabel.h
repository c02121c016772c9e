#pragma once

#include "GlyphonEnums.h"
#include "com/IPropertyBag.h"
#include "screen/IScreenMetrics.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <cstdint>
#include <memory>

class PictureArea;

// The image button control: shows one picture and tells its host when the
// pointer enters and leaves it. The control draws nothing itself; the picture
// area `ImgBack` fills it and the image element `ImgFirst` inside shows the
// picture. Properties and events carry the platform's names; every property
// change is announced with PropertyChanged(name); by-reference event arguments
// come back as the host's handlers left them. Sizes and coordinates of the
// interface are in twips.
class ImageLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    // By name the two enumerations travel as their numbers (0, 1).
    Q_PROPERTY(int BorderStyle READ borderStyleNumber WRITE putBorderStyle)
    Q_PROPERTY(int Appearance READ appearanceNumber WRITE putAppearance)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool AutoRedraw READ AutoRedraw WRITE setAutoRedraw)
    Q_PROPERTY(uint BackColor READ BackColor WRITE putBackColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)

public:
    // Twips per pixel come from `screen`, the host's (see GlyphonServer).
    ImageLabel(QWidget* parent, std::shared_ptr<const platform::IScreenMetrics> screen);
    ~ImageLabel() override;

    QPixmap Picture() const;
    void setPicture(const QPixmap& picture);
    BorderStyl BorderStyle() const;
    // Setters taking the platform's enumerations raise Overflow (6) for values
    // beyond 16 bits and Invalid property value (380) for unknown ones.
    void setBorderStyle(BorderStyl value);
    Appear Appearance() const;
    void setAppearance(Appear value);
    int borderStyleNumber() const { return static_cast<int>(BorderStyle()); }
    int appearanceNumber() const { return static_cast<int>(Appearance()); }
    bool AutoSize() const;
    void setAutoSize(bool value);
    bool AutoRedraw() const;
    void setAutoRedraw(bool value);
    uint BackColor() const;
    void setBackColor(uint value);
    bool Enabled() const { return isEnabled(); }
    void setEnabledProperty(bool value);

    void ReadProperties(platform::com::IPropertyBag& bag);
    void WriteProperties(platform::com::IPropertyBag& bag) const;

    bool mouseInside() const { return m_MouseInside; }
    PictureArea* imgBack() const { return m_ImgBack; }
    // The 16 x 15 toolbox picture (resource 30000).
    static QImage toolboxBitmap();

signals:
    void PropertyChanged(const QString& name);

    void MouseEnter(short& Button, short& Shift, float& X, float& Y);
    void MouseExit(short& Button, short& Shift, float& X, float& Y);
    void MouseMove(short& Button, short& Shift, float& X, float& Y);
    void Click();
    void MouseDown(short& Button, short& Shift, float& X, float& Y);
    void MouseUp(short& Button, short& Shift, float& X, float& Y);
    void Paint();
    void DblClick();
    void Validate(bool& Cancel);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The write accessors of the properties by name: a refused value stays on
    // the control for the host (see PropertyPut) instead of unwinding
    // through Qt's property system.
    void putBorderStyle(int value);
    void putAppearance(int value);
    void putBackColor(uint value);

    void surfaceResized();
    void backResized();
    void fitImage();
    void setSurfaceSize(const QSize& size);

    void releaseGrab();
    void backMouseMove(short button, short shift, float x, float y);
    void backMouseDown(short button, short shift, float x, float y);
    void backMouseUp(short button, short shift, float x, float y);
    void backClick();
    void backDblClick();
    void backPaint();
    void focusMoved(QWidget* from, QWidget* to);
    bool validateLeaving();
    void watchWindow(bool on);
    QWidget* clickFocusTaker(const QPoint& windowPos) const;

    std::shared_ptr<const platform::IScreenMetrics> m_screen;
    PictureArea* m_ImgBack;
    bool m_MouseInside = false;
    bool m_SkipBackResize = false;
    bool m_SkipControlResize = false;
    // While the picture area has the focus: its window, whose mouse presses
    // are looked at before they move the focus.
    QPointer<QWindow> m_watchedWindow;
    bool m_validated = false; // the coming focus move has been validated
};

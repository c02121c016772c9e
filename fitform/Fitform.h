#pragma once

#include "com/ILateBound.h"
#include "com/IPropertyBag.h"
#include "screen/IScreenMetrics.h"

#include <QVariant>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

// The form auto-resize control. A host form places one on itself and calls
// Resize(form) from its own resize handling: the first call adapts the form
// and its controls to the screen's pixel density, every later call scales the
// controls by the change of the form's inner size since the previous call.
// The form is reached only by property name (late binding); all geometry is
// in the form's twips. Property changes are announced with
// PropertyChanged(name). The control keeps its own surface at 400 x 400 twips.
class Fitform : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int FormScaleWidth READ FormScaleWidth WRITE setFormScaleWidth)
    Q_PROPERTY(QVariant FormScaleHeight READ FormScaleHeight WRITE putFormScaleHeight)
    Q_PROPERTY(QVariant TwipsPerPixelX READ TwipsPerPixelX WRITE putTwipsPerPixelX)
    Q_PROPERTY(QVariant TwipsPerPixelY READ TwipsPerPixelY WRITE putTwipsPerPixelY)

public:
    // Twips per pixel of the screen come from `screen`, the host's (see
    // FitformServer).
    Fitform(QWidget* parent, std::shared_ptr<const platform::IScreenMetrics> screen);

    void Resize(platform::com::ILateBound& FormObject);
    // Resizes a Qt form (see QtWidgetObject for how it is reached by name).
    Q_INVOKABLE void Resize(QWidget* FormObject);

    // Set accessors convert to a 32-bit integer: Overflow (6) or Type
    // mismatch (13) when the value cannot be.
    int FormScaleWidth() const { return m_FormScaleWidth; }
    void setFormScaleWidth(int value);
    QVariant FormScaleHeight() const { return m_FormScaleHeight; }
    void setFormScaleHeight(const QVariant& value);
    QVariant TwipsPerPixelX() const { return m_TwipsPerPixelX; }
    void setTwipsPerPixelX(const QVariant& value);
    QVariant TwipsPerPixelY() const { return m_TwipsPerPixelY; }
    void setTwipsPerPixelY(const QVariant& value);

    void ReadProperties(platform::com::IPropertyBag& bag);
    void WriteProperties(platform::com::IPropertyBag& bag) const;

    // 0 no call yet, 1 first call in progress, 2 first call done.
    int resizePhase() const { return m_ResizePhase; }
    static QImage toolboxBitmap();

signals:
    void PropertyChanged(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The write accessors of the properties by name: a refused value stays on
    // the control for the host (see PropertyPut).
    void putFormScaleHeight(const QVariant& value);
    void putTwipsPerPixelX(const QVariant& value);
    void putTwipsPerPixelY(const QVariant& value);

    struct Ratios {
        double x = 0;
        double y = 0;
    };
    std::optional<Ratios> innerSizeRatios(platform::com::ILateBound& form) const;
    std::optional<Ratios> firstCall(platform::com::ILateBound& form, int windowState);
    void scaleControls(platform::com::ILateBound& form, const Ratios& ratios);
    QSize surfaceSize() const;

    std::shared_ptr<const platform::IScreenMetrics> m_screen;
    std::int32_t m_FormScaleWidth = 0;
    std::int32_t m_FormScaleHeight = 0;
    std::int32_t m_TwipsPerPixelX = 15;
    std::int32_t m_TwipsPerPixelY = 15;
    int m_ResizePhase = 0;
};

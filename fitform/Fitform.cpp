#include "Fitform.h"

#include "com/ComError.h"
#include "com/PropertyPut.h"
#include "com/QtWidgetObject.h"
#include "com/VariantConvert.h"

#include <QImage>
#include <QPainter>

#include <cmath>

using platform::com::ComError;
using platform::com::ILateBound;
using platform::com::toDouble;
using platform::com::toLong;

namespace {

constexpr double kSurfaceTwips = 400;

// A statement of Resize that fails (a missing property, a refused value) is
// skipped and the next one runs.
template <class Statement> bool attempt(Statement statement) {
    try {
        statement();
        return true;
    } catch (const ComError&) {
        return false;
    }
}

// a / b, or nothing when b is 0 or a cannot be read.
template <class Read> std::optional<double> quotient(Read numerator, double denominator) {
    std::optional<double> result;
    attempt([&] {
        const double a = numerator();
        if (denominator == 0)
            throw ComError::divisionByZero();
        result = a / denominator;
    });
    return result;
}

} // namespace

Fitform::Fitform(QWidget* parent, std::shared_ptr<const platform::IScreenMetrics> screen)
    : QWidget(parent), m_screen(std::move(screen)) {
    setObjectName("Fitform");
    resize(surfaceSize());
}

QImage Fitform::toolboxBitmap() {
    return QImage(":/fitform/bitmaps/30000");
}

// ---- properties

void Fitform::setFormScaleWidth(int value) {
    m_FormScaleWidth = value;
    emit PropertyChanged("FormScaleWidth");
}

void Fitform::setFormScaleHeight(const QVariant& value) {
    m_FormScaleHeight = toLong(value);
    emit PropertyChanged("FormScaleHeight");
}

void Fitform::setTwipsPerPixelX(const QVariant& value) {
    m_TwipsPerPixelX = toLong(value);
    emit PropertyChanged("TwipsPerPixelX");
}

void Fitform::setTwipsPerPixelY(const QVariant& value) {
    m_TwipsPerPixelY = toLong(value);
    emit PropertyChanged("TwipsPerPixelY");
}

void Fitform::putFormScaleHeight(const QVariant& value) {
    platform::com::PropertyPut::guard(*this, [&] { setFormScaleHeight(value); });
}

void Fitform::putTwipsPerPixelX(const QVariant& value) {
    platform::com::PropertyPut::guard(*this, [&] { setTwipsPerPixelX(value); });
}

void Fitform::putTwipsPerPixelY(const QVariant& value) {
    platform::com::PropertyPut::guard(*this, [&] { setTwipsPerPixelY(value); });
}

void Fitform::ReadProperties(platform::com::IPropertyBag& bag) {
    setFormScaleWidth(toLong(bag.readProperty("FormScaleWidth", 0)));
    setFormScaleHeight(bag.readProperty("FormScaleHeight", 0));
    setTwipsPerPixelX(bag.readProperty("TwipsPerPixelX", 15));
    setTwipsPerPixelY(bag.readProperty("TwipsPerPixelY", 15));
}

void Fitform::WriteProperties(platform::com::IPropertyBag& bag) const {
    const auto write = [&bag](const char* name, std::int32_t value, std::int32_t def) {
        if (value != def)
            bag.writeProperty(name, value);
    };
    write("FormScaleWidth", m_FormScaleWidth, 0);
    write("FormScaleHeight", m_FormScaleHeight, 0);
    write("TwipsPerPixelX", m_TwipsPerPixelX, 15);
    write("TwipsPerPixelY", m_TwipsPerPixelY, 15);
}

// ---- resizing the form

void Fitform::Resize(QWidget* FormObject) {
    if (!FormObject) {
        // Every statement on a missing form fails and is skipped: the call
        // still ends as a call does.
        if (m_ResizePhase != 1)
            m_ResizePhase = 2;
        return;
    }
    platform::com::QtWidgetObject form(FormObject, platform::com::QtWidgetObject::Role::Form,
                                       *m_screen);
    Resize(form);
}

void Fitform::Resize(ILateBound& FormObject) {
    if (m_ResizePhase == 1)
        return;          // the first call is changing the form's size
    int windowState = 0; // a form that cannot tell is taken as normal
    attempt([&] { windowState = toLong(FormObject.get("WindowState")); });
    if (windowState == 1)
        return;

    std::optional<Ratios> ratios;
    if (m_ResizePhase != 0)
        ratios = innerSizeRatios(FormObject);
    else
        ratios = firstCall(FormObject, windowState);
    // Without a ratio (an inner size of 0 stored or read, no density) the
    // controls are left as they are.
    if (ratios)
        scaleControls(FormObject, *ratios);

    m_ResizePhase = 2;
    attempt([&] { m_FormScaleWidth = toLong(FormObject.get("ScaleWidth")); });
    attempt([&] { m_FormScaleHeight = toLong(FormObject.get("ScaleHeight")); });
}

// A stored or a read inner size of 0 gives no ratio: the controls would all
// collapse to nothing, and stay so.
std::optional<Fitform::Ratios> Fitform::innerSizeRatios(ILateBound& form) const {
    const auto x = quotient([&] { return toDouble(form.get("ScaleWidth")); }, m_FormScaleWidth);
    const auto y = quotient([&] { return toDouble(form.get("ScaleHeight")); }, m_FormScaleHeight);
    if (!x || !y || *x == 0 || *y == 0)
        return std::nullopt;
    return Ratios{*x, *y};
}

// Adapts the form laid out at the design screen's density to this screen's.
std::optional<Fitform::Ratios> Fitform::firstCall(ILateBound& form, int windowState) {
    m_ResizePhase = 1;
    const auto densityX = quotient([&] { return m_screen->twipsPerPixelX(); }, m_TwipsPerPixelX);
    const auto densityY = quotient([&] { return m_screen->twipsPerPixelY(); }, m_TwipsPerPixelY);
    if (!densityX || !densityY)
        return std::nullopt;
    const auto scaleFont = [&] {
        attempt([&] { form.put("FontSize", *densityY * toDouble(form.get("FontSize"))); });
    };
    if (windowState == 2) {
        const auto inner = innerSizeRatios(form);
        scaleFont();
        if (!inner)
            return std::nullopt;
        return Ratios{*densityX * inner->x, *densityY * inner->y};
    }
    // Each assignment may resize the form and so call back here; phase 1
    // turns those calls away.
    attempt([&] { form.put("Width", *densityX * toDouble(form.get("Width"))); });
    attempt([&] { form.put("Height", *densityY * toDouble(form.get("Height"))); });
    scaleFont();
    return Ratios{*densityX, *densityY};
}

void Fitform::scaleControls(ILateBound& form, const Ratios& ratios) {
    std::shared_ptr<ILateBound> controls;
    int count = 0;
    if (!attempt([&] {
            controls = form.object("Controls");
            count = toLong(controls->get("Count"));
        }))
        return;
    const bool first = m_ResizePhase == 1;
    for (int i = 0; i < count; ++i) {
        std::shared_ptr<ILateBound> c;
        if (!attempt([&] { c = controls->item(i); }) || !c)
            continue;
        const auto scale = [&c](const char* name, double ratio) {
            attempt([&] { c->put(name, std::floor(ratio * toDouble(c->get(name)))); });
        };
        scale("Left", ratios.x);
        scale("Top", ratios.y);
        scale("Width", ratios.x);
        scale("Height", ratios.y);
        if (first) // fonts keep their fraction
            attempt([&] { c->put("FontSize", ratios.x * toDouble(c->get("FontSize"))); });
    }
}

// ---- the control's own surface

QSize Fitform::surfaceSize() const {
    return {static_cast<int>(std::lround(kSurfaceTwips / m_screen->twipsPerPixelX())),
            static_cast<int>(std::lround(kSurfaceTwips / m_screen->twipsPerPixelY()))};
}

void Fitform::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (size() != surfaceSize())
        resize(surfaceSize());
}

void Fitform::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    painter.setPen(palette().dark().color());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QImage glyph = toolboxBitmap();
    painter.drawImage(rect().center() - glyph.rect().center(), glyph);
}

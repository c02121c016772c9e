#include "ImageLabel.h"

#include "OleColor.h"
#include "PictureArea.h"
#include "com/ComError.h"
#include "com/PropertyPut.h"
#include "com/VariantConvert.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <utility>

using platform::com::ComError;
using platform::com::PropertyPut;
using platform::com::toLong;

namespace {

// The platform narrows these values to 16 bits before it checks them.
int narrowed(int value, int max) {
    if (value < INT16_MIN || value > INT16_MAX)
        throw ComError::overflow();
    if (value < 0 || value > max)
        throw ComError::invalidPropertyValue();
    return value;
}

} // namespace

ImageLabel::ImageLabel(QWidget* parent, std::shared_ptr<const platform::IScreenMetrics> screen)
    : QWidget(parent), m_screen(std::move(screen)), m_ImgBack(new PictureArea(*m_screen, this)) {
    setObjectName("ImageLabel");
    connect(m_ImgBack, &PictureArea::mouseMoved, this, &ImageLabel::backMouseMove);
    connect(m_ImgBack, &PictureArea::mousePressed, this, &ImageLabel::backMouseDown);
    connect(m_ImgBack, &PictureArea::mouseReleased, this, &ImageLabel::backMouseUp);
    connect(m_ImgBack, &PictureArea::clicked, this, &ImageLabel::backClick);
    connect(m_ImgBack, &PictureArea::doubleClicked, this, &ImageLabel::backDblClick);
    connect(m_ImgBack, &PictureArea::painted, this, &ImageLabel::backPaint);
    connect(m_ImgBack, &PictureArea::focusLeaving, this,
            [this](bool& cancel) { cancel = validateLeaving(); });
    connect(qApp, &QApplication::focusChanged, this, &ImageLabel::focusMoved);
    m_ImgBack->installEventFilter(this);
    surfaceResized();
}

ImageLabel::~ImageLabel() = default;

QImage ImageLabel::toolboxBitmap() {
    return QImage(":/glyphon/bitmaps/30000");
}

// ---- properties

QPixmap ImageLabel::Picture() const {
    return m_ImgBack->image().picture();
}

void ImageLabel::setPicture(const QPixmap& picture) {
    m_ImgBack->image().setPicture(picture);
    m_ImgBack->imageChanged();
    emit PropertyChanged("Picture");
}

BorderStyl ImageLabel::BorderStyle() const {
    return m_ImgBack->borderStyle();
}

void ImageLabel::setBorderStyle(BorderStyl value) {
    m_ImgBack->setBorderStyle(static_cast<BorderStyl>(narrowed(static_cast<int>(value), 1)));
    emit PropertyChanged("BorderStyle");
}

Appear ImageLabel::Appearance() const {
    return m_ImgBack->appearance();
}

void ImageLabel::setAppearance(Appear value) {
    m_ImgBack->setAppearance(static_cast<Appear>(narrowed(static_cast<int>(value), 1)));
    emit PropertyChanged("Appearance");
}

bool ImageLabel::AutoSize() const {
    return !m_ImgBack->image().stretch();
}

// With stretch off the image element takes its picture's size; the picture
// area and then the control follow it. Only the second of each pair of
// width/height assignments sets off the next resize routine. Stretched, the
// picture fills the area as it is: the control keeps its size (taking the
// element's size would shrink a bordered control by its border every time).
void ImageLabel::setAutoSize(bool value) {
    ImageElement& first = m_ImgBack->image();
    first.setStretch(!value);
    if (!value) {
        fitImage();
        emit PropertyChanged("AutoSize");
        return;
    }
    const QSize before = m_ImgBack->size();
    m_SkipBackResize = true;
    m_ImgBack->resize(first.geometry().width(), m_ImgBack->height());
    m_SkipBackResize = false;
    m_ImgBack->resize(m_ImgBack->width(), first.geometry().height());
    if (m_ImgBack->size() != before)
        backResized();
    m_ImgBack->imageChanged();
    emit PropertyChanged("AutoSize");
}

bool ImageLabel::AutoRedraw() const {
    return m_ImgBack->autoRedraw();
}

void ImageLabel::setAutoRedraw(bool value) {
    m_ImgBack->setAutoRedraw(value);
    emit PropertyChanged("AutoRedraw");
}

uint ImageLabel::BackColor() const {
    return m_ImgBack->backColor();
}

void ImageLabel::setBackColor(uint value) {
    if (!OleColor::isValid(value))
        throw ComError::invalidPropertyValue();
    m_ImgBack->setBackColor(value);
    emit PropertyChanged("BackColor");
}

void ImageLabel::putBorderStyle(int value) {
    PropertyPut::guard(*this, [&] { setBorderStyle(static_cast<BorderStyl>(value)); });
}

void ImageLabel::putAppearance(int value) {
    PropertyPut::guard(*this, [&] { setAppearance(static_cast<Appear>(value)); });
}

void ImageLabel::putBackColor(uint value) {
    PropertyPut::guard(*this, [&] { setBackColor(value); });
}

void ImageLabel::setEnabledProperty(bool value) {
    setEnabled(value);
    emit PropertyChanged("Enabled");
}

// ---- persistence

void ImageLabel::ReadProperties(platform::com::IPropertyBag& bag) {
    setPicture(bag.readProperty("Picture", Picture()).value<QPixmap>());
    setAppearance(static_cast<Appear>(toLong(bag.readProperty("Appearance", 0))));
    setBorderStyle(static_cast<BorderStyl>(
        toLong(bag.readProperty("BorderStyle", static_cast<int>(BorderStyle())))));
    setAutoSize(bag.readProperty("AutoSize", false).toBool());
    setAutoRedraw(bag.readProperty("AutoRedraw", false).toBool());
    setBackColor(OleColor::fromVariant(bag.readProperty("BackColor", OleColor::ButtonFace)));
    setEnabledProperty(bag.readProperty("Enabled", true).toBool());
}

void ImageLabel::WriteProperties(platform::com::IPropertyBag& bag) const {
    const auto write = [&bag](const char* name, const QVariant& value, const QVariant& def) {
        if (value != def)
            bag.writeProperty(name, value);
    };
    bag.writeProperty("Picture", Picture());
    write("AutoSize", AutoSize(), false);
    write("BorderStyle", static_cast<int>(BorderStyle()), 0);
    write("Appearance", static_cast<int>(Appearance()), 0);
    write("AutoRedraw", AutoRedraw(), false);
    write("BackColor", BackColor(), uint(OleColor::ButtonFace));
    write("Enabled", Enabled(), true);
}

// ---- size synchronisation

void ImageLabel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    surfaceResized();
}

void ImageLabel::fitImage() {
    m_ImgBack->image().setGeometry(QRect(QPoint(0, 0), m_ImgBack->contentsRect().size()));
    m_ImgBack->imageChanged();
}

void ImageLabel::setSurfaceSize(const QSize& size) {
    if (size == this->size())
        return;
    resize(size);
    surfaceResized();
}

// The host (or the picture area's routine) resized the control.
void ImageLabel::surfaceResized() {
    if (m_SkipControlResize)
        return;
    const QSize before = m_ImgBack->size();
    m_ImgBack->setGeometry(0, 0, width(), height());
    if (m_ImgBack->size() != before && !m_SkipBackResize)
        backResized();
    fitImage();
}

// The picture area was resized: the control follows it.
void ImageLabel::backResized() {
    if (m_SkipBackResize)
        return;
    m_SkipControlResize = true;
    resize(m_ImgBack->width(), height());
    m_SkipControlResize = false;
    setSurfaceSize(QSize(width(), m_ImgBack->height()));
    fitImage();
}

// ---- events

// Lets go of the mouse only if the picture area still holds it: another
// window may have taken it meanwhile, and its grab is not ours to end.
void ImageLabel::releaseGrab() {
    if (QWidget::mouseGrabber() == m_ImgBack)
        m_ImgBack->releaseMouse();
}

void ImageLabel::backMouseMove(short button, short shift, float x, float y) {
    if (!isEnabled())
        return;
    const bool outside =
        x <= 0 || y <= 0 || x >= m_ImgBack->widthTwips() || y >= m_ImgBack->heightTwips();
    if (outside && m_MouseInside) {
        releaseGrab();
        emit MouseExit(button, shift, x, y);
        m_MouseInside = false;
    }
    if (!outside && !m_MouseInside) {
        // Holding the mouse is how leaving is noticed: further moves come
        // here even when the pointer is no longer over the control.
        m_ImgBack->grabMouse();
        emit MouseEnter(button, shift, x, y);
        m_MouseInside = true;
    }
    emit MouseMove(button, shift, x, y);
}

void ImageLabel::backMouseDown(short button, short shift, float x, float y) {
    if (isEnabled())
        emit MouseDown(button, shift, x, y);
}

void ImageLabel::backMouseUp(short button, short shift, float x, float y) {
    if (isEnabled())
        emit MouseUp(button, shift, x, y);
}

// A click ends the hover without MouseExit; the mouse is let go as the
// platform lets go of it when the button comes up, so the next move inside
// enters anew.
void ImageLabel::backClick() {
    if (!isEnabled())
        return;
    m_MouseInside = false;
    releaseGrab();
    emit Click();
}

void ImageLabel::backDblClick() {
    if (!isEnabled())
        return;
    m_MouseInside = false;
    releaseGrab();
    emit DblClick();
}

// A disabled control gets no input, so it must not hold the mouse.
void ImageLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        releaseGrab();
    QWidget::changeEvent(event);
}

void ImageLabel::backPaint() {
    if (isEnabled())
        emit Paint();
}

// The picture area is about to lose the focus to another control of its
// window: the host may keep it there. True when it does.
bool ImageLabel::validateLeaving() {
    if (!isEnabled())
        return false;
    bool cancel = false;
    emit Validate(cancel);
    m_validated = !cancel;
    return cancel;
}

// Tab and clicks are validated before they move the focus (focusLeaving and
// the window's presses). A move made by the host's code is only seen once
// made: it is validated then, and a Cancel moves the focus back.
void ImageLabel::focusMoved(QWidget* from, QWidget* to) {
    if (from != m_ImgBack || !to || to == m_ImgBack || to->window() != window())
        return;
    if (std::exchange(m_validated, false))
        return;
    if (validateLeaving())
        m_ImgBack->setFocus(Qt::OtherFocusReason);
    m_validated = false;
}

void ImageLabel::watchWindow(bool on) {
    QWindow* handle = on ? window()->windowHandle() : nullptr;
    if (handle == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = handle;
    if (handle)
        handle->installEventFilter(this);
}

// The widget a press at this point of the window gives the focus to, as the
// platform chooses it: the one under the pointer or the first of its
// containers that takes the focus by click.
QWidget* ImageLabel::clickFocusTaker(const QPoint& windowPos) const {
    QWidget* top = window();
    QWidget* w = top->childAt(windowPos);
    for (w = w ? w : top; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        QWidget* taker = w->focusProxy() ? w->focusProxy() : w;
        if (w->isEnabled() && (taker->focusPolicy() & Qt::ClickFocus))
            return taker;
    }
    return nullptr;
}

bool ImageLabel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ImgBack) {
        if (event->type() == QEvent::FocusIn) {
            m_validated = false;
            watchWindow(true);
        } else if (event->type() == QEvent::FocusOut) {
            watchWindow(false);
        }
        return false;
    }
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (watched == m_watchedWindow && press && m_ImgBack->hasFocus()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        QWidget* taker = clickFocusTaker(mouse->position().toPoint());
        // A cancelled move leaves the focus here, and the press unanswered.
        if (taker && taker != m_ImgBack && validateLeaving())
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

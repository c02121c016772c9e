#include "com/QtWidgetObject.h"

#include "com/ComError.h"
#include "com/QtControlCollection.h"
#include "com/VariantConvert.h"

#include <QGroupBox>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBox>

#include <cmath>

namespace platform::com {

namespace {

// Qt's own parts of a widget, named "qt_..." (a tab widget's page stack, a
// scroll area's viewport, a spin box's line edit).
bool isInnerPart(const QWidget* w) {
    return w->objectName().startsWith("qt_");
}

// A page of a tab or stacked widget, or a scroll area's content: the
// surface its container shows, part of the container and no control.
bool isSurface(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    if (qobject_cast<const QStackedWidget*>(parent))
        return true;
    const auto* area = parent ? qobject_cast<const QScrollArea*>(parent->parentWidget()) : nullptr;
    return area && area->widget() == w;
}

// Widgets that host controls, as a form does: plain widgets and frames,
// group boxes, tab and stacked widgets, scroll areas, tool boxes, splitters.
// Any other widget is a control, and what it is made of is its own.
bool hostsControls(const QWidget* w) {
    const QMetaObject* type = w->metaObject();
    return type == &QWidget::staticMetaObject || type == &QFrame::staticMetaObject ||
           qobject_cast<const QGroupBox*>(w) || qobject_cast<const QTabWidget*>(w) ||
           qobject_cast<const QStackedWidget*>(w) || qobject_cast<const QScrollArea*>(w) ||
           qobject_cast<const QToolBox*>(w) || qobject_cast<const QSplitter*>(w);
}

void collectControls(QWidget* parent, QList<QWidget*>& out) {
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow())
            continue;
        const bool surface = isSurface(w);
        if (!surface && !isInnerPart(w) && !w->objectName().isEmpty())
            out.append(w);
        // Qt's own parts are looked into only where they hold the controls
        // (a tab widget's page stack, a scroll area's viewport), not where
        // they are made of buttons of Qt's (a tab bar's scroll arrows).
        if (surface || hostsControls(w))
            collectControls(w, out);
    }
}

} // namespace

QtWidgetObject::QtWidgetObject(QWidget* widget, Role role, const IScreenMetrics& screen)
    : m_widget(widget), m_role(role), m_screen(screen) {
    if (role == Role::Form)
        addFormMembers();
    else
        addControlMembers();
    addFontMember();
}

QList<QWidget*> QtWidgetObject::controlsOf(QWidget* form) {
    QList<QWidget*> controls;
    collectControls(form, controls);
    return controls;
}

QWidget* QtWidgetObject::widget() const {
    if (!m_widget)
        throw ComError(424, "Object required");
    return m_widget;
}

int QtWidgetObject::toPixelsX(const QVariant& twips) const {
    return static_cast<int>(std::lround(toDouble(twips) / m_screen.twipsPerPixelX()));
}

int QtWidgetObject::toPixelsY(const QVariant& twips) const {
    return static_cast<int>(std::lround(toDouble(twips) / m_screen.twipsPerPixelY()));
}

void QtWidgetObject::addFormMembers() {
    m_members["windowstate"] = {
        [this] {
            const Qt::WindowStates s = widget()->windowState();
            return QVariant(s & Qt::WindowMinimized ? 1 : s & Qt::WindowMaximized ? 2 : 0);
        },
        [this](const QVariant& v) {
            static const Qt::WindowState states[] = {Qt::WindowNoState, Qt::WindowMinimized,
                                                     Qt::WindowMaximized};
            const int s = toLong(v);
            if (s < 0 || s > 2)
                throw ComError::invalidPropertyValue();
            widget()->setWindowState(states[s]);
        }};
    // The frame's extra size is whatever the window manager adds around the
    // inner area; without a frame (not shown yet) outer and inner agree.
    m_members["width"] = {
        [this] { return QVariant(widget()->frameGeometry().width() * m_screen.twipsPerPixelX()); },
        [this](const QVariant& v) {
            QWidget* w = widget();
            const int frame = w->frameGeometry().width() - w->width();
            w->resize(std::max(0, toPixelsX(v) - frame), w->height());
        }};
    m_members["height"] = {
        [this] { return QVariant(widget()->frameGeometry().height() * m_screen.twipsPerPixelY()); },
        [this](const QVariant& v) {
            QWidget* w = widget();
            const int frame = w->frameGeometry().height() - w->height();
            w->resize(w->width(), std::max(0, toPixelsY(v) - frame));
        }};
    m_members["scalewidth"] = {
        [this] { return QVariant(widget()->width() * m_screen.twipsPerPixelX()); }, nullptr};
    m_members["scaleheight"] = {
        [this] { return QVariant(widget()->height() * m_screen.twipsPerPixelY()); }, nullptr};
}

void QtWidgetObject::addControlMembers() {
    m_members["left"] = {
        [this] { return QVariant(widget()->x() * m_screen.twipsPerPixelX()); },
        [this](const QVariant& v) { widget()->move(toPixelsX(v), widget()->y()); }};
    m_members["top"] = {[this] { return QVariant(widget()->y() * m_screen.twipsPerPixelY()); },
                        [this](const QVariant& v) { widget()->move(widget()->x(), toPixelsY(v)); }};
    m_members["width"] = {
        [this] { return QVariant(widget()->width() * m_screen.twipsPerPixelX()); },
        [this](const QVariant& v) {
            const int px = toPixelsX(v);
            if (px < 0)
                throw ComError::invalidPropertyValue();
            widget()->resize(px, widget()->height());
        }};
    m_members["height"] = {
        [this] { return QVariant(widget()->height() * m_screen.twipsPerPixelY()); },
        [this](const QVariant& v) {
            const int px = toPixelsY(v);
            if (px < 0)
                throw ComError::invalidPropertyValue();
            widget()->resize(widget()->width(), px);
        }};
}

void QtWidgetObject::addFontMember() {
    m_members["fontsize"] = {[this] { return fontSize(); },
                             [this](const QVariant& v) { setFontSize(v); }};
}

QVariant QtWidgetObject::fontSize() const {
    const double size = widget()->font().pointSizeF();
    if (size <= 0) // a font given in pixels has no point size
        throw ComError::notSupported();
    return size;
}

void QtWidgetObject::setFontSize(const QVariant& value) {
    const double size = toDouble(value);
    if (!(size > 0))
        throw ComError::invalidPropertyValue();
    QWidget* w = widget();
    // Qt children inherit their form's font; the platform's controls each
    // keep their own, so a change of the form's font must not reach them.
    if (m_role == Role::Form) {
        for (QWidget* control : controlsOf(w)) {
            if (!control->testAttribute(Qt::WA_SetFont))
                control->setFont(control->font());
        }
    }
    QFont font = w->font();
    font.setPointSizeF(size);
    w->setFont(font);
}

QVariant QtWidgetObject::get(const QString& name) {
    const auto it = m_members.find(name.toLower());
    if (it == m_members.end() || !it->second.get)
        throw ComError::notSupported();
    return it->second.get();
}

void QtWidgetObject::put(const QString& name, const QVariant& value) {
    const auto it = m_members.find(name.toLower());
    if (it == m_members.end())
        throw ComError::notSupported();
    if (!it->second.put)
        throw ComError(383, "Property is read-only");
    it->second.put(value);
}

std::shared_ptr<ILateBound> QtWidgetObject::object(const QString& name) {
    if (m_role != Role::Form || name.compare("Controls", Qt::CaseInsensitive) != 0)
        throw ComError::notSupported();
    return std::make_shared<QtControlCollection>(controlsOf(widget()), m_screen);
}

std::shared_ptr<ILateBound> QtWidgetObject::item(int) {
    throw ComError::notSupported();
}

} // namespace platform::com

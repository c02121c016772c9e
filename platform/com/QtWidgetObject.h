#pragma once

#include "com/ILateBound.h"
#include "screen/IScreenMetrics.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>

namespace platform::com {

// A Qt form, or one of its controls, reached by property name as the
// platform's forms are. Geometry is in twips (the screen's twips per pixel):
// a form has "WindowState" (0 normal, 1 minimised, 2 maximised), "Width" and
// "Height" (outer, with the frame), "ScaleWidth" and "ScaleHeight" (inner),
// "FontSize" (points) and "Controls"; a control has "Left", "Top" (within its
// container), "Width", "Height" and "FontSize". The form's controls are the
// named widgets it hosts (a designed form names every widget): on the form
// itself and in its containers (frames, group boxes, tab pages, scroll areas
// and the like), not windows, and not the parts a control is made of (the
// image button's picture area, a spin box's line edit).
// The screen metrics must outlive the object.
class QtWidgetObject : public ILateBound {
public:
    enum class Role { Form, Control };

    QtWidgetObject(QWidget* widget, Role role, const IScreenMetrics& screen);

    QVariant get(const QString& name) override;
    void put(const QString& name, const QVariant& value) override;
    std::shared_ptr<ILateBound> object(const QString& name) override;
    std::shared_ptr<ILateBound> item(int index) override;

    // The widgets the form's "Controls" collection holds, in tree order.
    static QList<QWidget*> controlsOf(QWidget* form);

private:
    struct Member {
        std::function<QVariant()> get;
        std::function<void(const QVariant&)> put;
    };
    void addFormMembers();
    void addControlMembers();
    void addFontMember();
    QVariant fontSize() const;
    void setFontSize(const QVariant& value);
    QWidget* widget() const;
    int toPixelsX(const QVariant& twips) const;
    int toPixelsY(const QVariant& twips) const;

    QPointer<QWidget> m_widget;
    Role m_role;
    const IScreenMetrics& m_screen;
    std::map<QString, Member> m_members; // by lower-case name
};

} // namespace platform::com

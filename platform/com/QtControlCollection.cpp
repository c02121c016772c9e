#include "com/QtControlCollection.h"

#include "com/ComError.h"
#include "com/QtWidgetObject.h"

namespace platform::com {

QtControlCollection::QtControlCollection(QList<QWidget*> controls, const IScreenMetrics& screen)
    : m_screen(screen) {
    for (QWidget* w : controls)
        m_controls.append(w);
}

QVariant QtControlCollection::get(const QString& name) {
    if (name.compare("Count", Qt::CaseInsensitive) != 0)
        throw ComError::notSupported();
    return static_cast<int>(m_controls.size());
}

void QtControlCollection::put(const QString&, const QVariant&) {
    throw ComError::notSupported();
}

std::shared_ptr<ILateBound> QtControlCollection::object(const QString&) {
    throw ComError::notSupported();
}

std::shared_ptr<ILateBound> QtControlCollection::item(int index) {
    if (index < 0 || index >= m_controls.size())
        throw ComError::subscriptOutOfRange();
    return std::make_shared<QtWidgetObject>(m_controls[index], QtWidgetObject::Role::Control,
                                            m_screen);
}

} // namespace platform::com

#pragma once

#include <QString>
#include <QVariant>

namespace platform::com {

// The host's store of a control's persisted properties, by name. Whether a
// value equal to its default is written is the control's decision.
class IPropertyBag {
public:
    virtual ~IPropertyBag() = default;
    // The stored value, or `defaultValue` when the bag holds none.
    virtual QVariant readProperty(const QString& name, const QVariant& defaultValue) = 0;
    virtual void writeProperty(const QString& name, const QVariant& value) = 0;
};

} // namespace platform::com

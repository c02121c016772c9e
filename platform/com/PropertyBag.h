#pragma once

#include "com/IPropertyBag.h"

#include <QByteArray>
#include <QVariantMap>

namespace platform::com {

// A property bag a Qt host keeps with its form: names ignore case, as the
// platform's bags do; `save`/`load` give it a byte form (QDataStream) for the
// host's form file.
class PropertyBag : public IPropertyBag {
public:
    QVariant readProperty(const QString& name, const QVariant& defaultValue) override;
    void writeProperty(const QString& name, const QVariant& value) override;

    bool contains(const QString& name) const;
    QByteArray save() const;
    // False (and the bag left empty) when `data` is not a saved bag.
    bool load(const QByteArray& data);

private:
    QVariantMap m_values; // by lower-case name
    QVariantMap m_names;  // lower-case name -> name as written
};

} // namespace platform::com

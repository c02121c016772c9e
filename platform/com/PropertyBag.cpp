#include "com/PropertyBag.h"

#include <QDataStream>
#include <QIODevice>

namespace platform::com {

namespace {
constexpr quint32 kMagic = 0x56504231; // "VPB1"
}

QVariant PropertyBag::readProperty(const QString& name, const QVariant& defaultValue) {
    return m_values.value(name.toLower(), defaultValue);
}

void PropertyBag::writeProperty(const QString& name, const QVariant& value) {
    m_values.insert(name.toLower(), value);
    m_names.insert(name.toLower(), name);
}

bool PropertyBag::contains(const QString& name) const {
    return m_values.contains(name.toLower());
}

QByteArray PropertyBag::save() const {
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << kMagic << m_names << m_values;
    return data;
}

bool PropertyBag::load(const QByteArray& data) {
    QDataStream in(data);
    quint32 magic = 0;
    QVariantMap names;
    QVariantMap values;
    in >> magic >> names >> values;
    m_names.clear();
    m_values.clear();
    if (in.status() != QDataStream::Ok || magic != kMagic)
        return false;
    m_names = names;
    m_values = values;
    return true;
}

} // namespace platform::com

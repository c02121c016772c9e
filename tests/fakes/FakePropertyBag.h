#pragma once

#include "com/IPropertyBag.h"

#include <QStringList>

#include <map>

// A host's property bag in memory that records the names read and written,
// in order.
class FakePropertyBag : public platform::com::IPropertyBag {
public:
    QVariant readProperty(const QString& name, const QVariant& defaultValue) override {
        reads << name;
        const auto it = values.find(name);
        return it == values.end() ? defaultValue : it->second;
    }
    void writeProperty(const QString& name, const QVariant& value) override {
        writes << name;
        values[name] = value;
    }

    std::map<QString, QVariant> values;
    QStringList reads;
    QStringList writes;
};

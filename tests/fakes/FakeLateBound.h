#pragma once

#include "com/ILateBound.h"

#include <QStringList>

#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

// An object reached by name: a form, one of its controls, or a collection.
// It has exactly the properties it was given (names ignore case); any other
// member raises "Object doesn't support this property or method". A
// collection answers "Count" and item(i) from `items`.
class FakeLateBound : public platform::com::ILateBound {
public:
    FakeLateBound() = default;
    FakeLateBound(std::initializer_list<std::pair<QString, QVariant>> properties);

    static std::shared_ptr<FakeLateBound>
    collection(std::vector<std::shared_ptr<FakeLateBound>> items);

    QVariant get(const QString& name) override;
    void put(const QString& name, const QVariant& value) override;
    std::shared_ptr<platform::com::ILateBound> object(const QString& name) override;
    std::shared_ptr<platform::com::ILateBound> item(int index) override;

    // Test access without logging.
    QVariant value(const QString& name) const;
    void set(const QString& name, const QVariant& value);
    bool has(const QString& name) const;

    std::map<QString, QVariant> properties;                    // by lower-case name
    std::map<QString, std::shared_ptr<FakeLateBound>> objects; // by lower-case name
    std::vector<std::shared_ptr<FakeLateBound>> items;
    QStringList puts;                                  // names assigned, in order
    std::function<void(const QString& name)> afterPut; // e.g. the form's resize handler
};

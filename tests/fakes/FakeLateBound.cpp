#include "FakeLateBound.h"

#include "com/ComError.h"

using platform::com::ComError;

FakeLateBound::FakeLateBound(std::initializer_list<std::pair<QString, QVariant>> props) {
    for (const auto& [name, value] : props)
        set(name, value);
}

std::shared_ptr<FakeLateBound>
FakeLateBound::collection(std::vector<std::shared_ptr<FakeLateBound>> items) {
    auto c = std::make_shared<FakeLateBound>();
    c->items = std::move(items);
    return c;
}

QVariant FakeLateBound::get(const QString& name) {
    if (name.compare("Count", Qt::CaseInsensitive) == 0 && !has(name))
        return static_cast<int>(items.size());
    if (!has(name))
        throw ComError::notSupported();
    return value(name);
}

void FakeLateBound::put(const QString& name, const QVariant& v) {
    if (!has(name))
        throw ComError::notSupported();
    set(name, v);
    puts << name;
    if (afterPut)
        afterPut(name);
}

std::shared_ptr<platform::com::ILateBound> FakeLateBound::object(const QString& name) {
    const auto it = objects.find(name.toLower());
    if (it == objects.end())
        throw ComError::notSupported();
    return it->second;
}

std::shared_ptr<platform::com::ILateBound> FakeLateBound::item(int index) {
    if (index < 0 || index >= static_cast<int>(items.size()))
        throw ComError::subscriptOutOfRange();
    return items[index];
}

QVariant FakeLateBound::value(const QString& name) const {
    const auto it = properties.find(name.toLower());
    return it == properties.end() ? QVariant() : it->second;
}

void FakeLateBound::set(const QString& name, const QVariant& v) {
    properties[name.toLower()] = v;
}

bool FakeLateBound::has(const QString& name) const {
    return properties.count(name.toLower()) != 0;
}

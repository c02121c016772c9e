#pragma once

#include <QString>
#include <QVariant>

#include <memory>

namespace platform::com {

// An object reached by member name at run time (late binding), as a control
// reaches the form it is given. Every call throws ComError when the object
// does not have the member (438) or refuses the value.
class ILateBound {
public:
    virtual ~ILateBound() = default;
    virtual QVariant get(const QString& name) = 0;
    virtual void put(const QString& name, const QVariant& value) = 0;
    // A property whose value is an object, such as a form's "Controls".
    virtual std::shared_ptr<ILateBound> object(const QString& name) = 0;
    // Element `index` of a collection (its default member).
    virtual std::shared_ptr<ILateBound> item(int index) = 0;
};

} // namespace platform::com

#pragma once

#include "com/ILateBound.h"
#include "screen/IScreenMetrics.h"

#include <QList>
#include <QPointer>
#include <QWidget>

namespace platform::com {

// A Qt form's "Controls" collection: "Count" and the controls by index from 0,
// as they were when the collection was taken.
class QtControlCollection : public ILateBound {
public:
    QtControlCollection(QList<QWidget*> controls, const IScreenMetrics& screen);

    QVariant get(const QString& name) override;
    void put(const QString& name, const QVariant& value) override;
    std::shared_ptr<ILateBound> object(const QString& name) override;
    std::shared_ptr<ILateBound> item(int index) override;

private:
    QList<QPointer<QWidget>> m_controls;
    const IScreenMetrics& m_screen;
};

} // namespace platform::com

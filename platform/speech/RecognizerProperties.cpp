#include "RecognizerProperties.h"

#include "PlatformError.h"

namespace platform {

std::size_t RecognizerProperties::indexOf(const QString& name) const {
    for (std::size_t i = 0; i < ConfidenceThresholds.size(); ++i)
        if (name == QLatin1String(ConfidenceThresholds[i]))
            return i;
    throw PlatformError(QStringLiteral("The recogniser has no property %1").arg(name));
}

void RecognizerProperties::SetPropertyNumber(const QString& name, int value) {
    const std::size_t index = indexOf(name);
    if (value < 0 || value > 100)
        throw PlatformError(QStringLiteral("%1 must lie in 0..100, not %2").arg(name).arg(value));
    m_thresholds[index] = value;
}

int RecognizerProperties::GetPropertyNumber(const QString& name) const {
    return m_thresholds[indexOf(name)];
}

bool RecognizerProperties::accepts(int confidence) const {
    return confidence >= m_thresholds[1];
}

int RecognizerProperties::levelOf(int confidence) const {
    if (confidence >= m_thresholds[0])
        return 1;
    return confidence >= m_thresholds[1] ? 0 : -1;
}

} // namespace platform

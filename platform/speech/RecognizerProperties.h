#pragma once

#include "IRecognizer.h"

#include <array>

namespace platform {

// The recogniser's confidence thresholds (defaults 80, 50, 20).
class RecognizerProperties : public IRecognizer {
public:
    void SetPropertyNumber(const QString& name, int value) override;
    int GetPropertyNumber(const QString& name) const override;

    // Recognised when the confidence reaches the normal threshold.
    bool accepts(int confidence) const;
    // 1 high, 0 normal, -1 low.
    int levelOf(int confidence) const;

private:
    std::size_t indexOf(const QString& name) const;

    // High, normal, low.
    std::array<int, 3> m_thresholds{80, 50, 20};
};

} // namespace platform

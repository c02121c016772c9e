#pragma once

#include <QString>

#include <array>

namespace platform {

// The recogniser behind a recognition context, reached for its properties:
// "HighConfidenceThreshold", "NormalConfidenceThreshold",
// "LowConfidenceThreshold", each 0..100. An utterance is recognised when its
// confidence reaches the normal threshold; the high and low ones only class
// the result. Unknown names and values outside 0..100 raise PlatformError.
class IRecognizer {
public:
    // The three threshold properties, highest first.
    static constexpr std::array<const char*, 3> ConfidenceThresholds{
        "HighConfidenceThreshold", "NormalConfidenceThreshold", "LowConfidenceThreshold"};

    virtual ~IRecognizer() = default;
    virtual void SetPropertyNumber(const QString& name, int value) = 0;
    virtual int GetPropertyNumber(const QString& name) const = 0;
};

} // namespace platform

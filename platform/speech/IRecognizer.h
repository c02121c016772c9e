#pragma once

#include <QString>

namespace platform {

// The recogniser behind a recognition context, reached for its properties:
// "HighConfidenceThreshold", "NormalConfidenceThreshold",
// "LowConfidenceThreshold", each 0..100. An utterance is recognised when its
// confidence reaches the normal threshold; the high and low ones only class
// the result. Unknown names and values outside 0..100 raise PlatformError.
class IRecognizer {
public:
    virtual ~IRecognizer() = default;
    virtual void SetPropertyNumber(const QString& name, int value) = 0;
    virtual int GetPropertyNumber(const QString& name) const = 0;
};

} // namespace platform

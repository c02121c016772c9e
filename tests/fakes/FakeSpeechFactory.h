#pragma once

#include "FakeRecoContext.h"
#include "FakeVoice.h"
#include "speech/ISpeechFactory.h"

#include <QPointer>
#include <vector>

// Makes fake voices and recognition contexts and remembers them in the order
// made, so a test can drive the ones a window owns (a released one reads null).
class FakeSpeechFactory : public platform::ISpeechFactory {
public:
    std::unique_ptr<platform::IVoice> CreateVoice() override;
    std::unique_ptr<platform::IRecoContext> CreateRecoContext() override;

    std::vector<QPointer<FakeVoice>> voices;
    std::vector<QPointer<FakeRecoContext>> contexts;
    bool failRecoContext = false; // CreateRecoContext raises as without a model
};

#include "FakeSpeechFactory.h"

#include "PlatformError.h"

std::unique_ptr<platform::IVoice> FakeSpeechFactory::CreateVoice() {
    auto voice = std::make_unique<FakeVoice>();
    voices.emplace_back(voice.get());
    return voice;
}

std::unique_ptr<platform::IRecoContext> FakeSpeechFactory::CreateRecoContext() {
    if (failRecoContext)
        throw platform::PlatformError(QStringLiteral("no recogniser model"));
    auto context = std::make_unique<FakeRecoContext>();
    contexts.emplace_back(context.get());
    return context;
}

#include "SpeechFactory.h"

#include "PulseAudioSource.h"
#include "PulseVoice.h"
#include "RecoContext.h"

namespace platform {

std::unique_ptr<IVoice> SpeechFactory::CreateVoice() {
    return std::make_unique<PulseVoice>();
}

std::unique_ptr<IRecoContext> SpeechFactory::CreateRecoContext() {
    return std::make_unique<RecoContext>(std::make_unique<PulseAudioSource>());
}

} // namespace platform

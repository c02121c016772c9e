#pragma once

#include "ISpeechFactory.h"

namespace platform {

// Voices over PulseAudio and recognition contexts over PocketSphinx listening
// to the default PulseAudio source.
class SpeechFactory : public ISpeechFactory {
public:
    std::unique_ptr<IVoice> CreateVoice() override;
    std::unique_ptr<IRecoContext> CreateRecoContext() override;
};

} // namespace platform

#pragma once

#include <memory>

namespace platform {

class IVoice;
class IRecoContext;

// Makes the speech objects a window owns: voices that play wave files and
// shared recognition contexts. Each object lives on the calling thread and
// belongs to the caller. Raises PlatformError when the speech service cannot
// give one (for example no sound server, or no recogniser model).
class ISpeechFactory {
public:
    virtual ~ISpeechFactory() = default;
    virtual std::unique_ptr<IVoice> CreateVoice() = 0;
    virtual std::unique_ptr<IRecoContext> CreateRecoContext() = 0;
};

} // namespace platform

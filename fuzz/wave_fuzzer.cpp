// Wave files through our reader (libsndfile underneath).
#include "FuzzInput.h"
#include "PlatformError.h"
#include "speech/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::MemoryFile file(data, size);
    try {
        const platform::WaveFile wave = platform::WaveFile::read(file.path());
        fuzz::require(wave.samples.size() <= platform::WaveFile::kMaxSamples, "samples bounded");
        fuzz::require(wave.samples.size() % static_cast<std::size_t>(wave.channels) == 0,
                      "whole frames");
        (void)wave.toMono16k();
    } catch (const platform::PlatformError&) {
    }
    return 0;
}

// Shockwave Flash movies, as the launcher's intro player reads them.
#include "FuzzInput.h"
#include "flash/SwfMovie.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto movie = platform::SwfMovie::parse(fuzz::bytes(data, size));
    if (movie) {
        fuzz::require(movie->frames.size() <= platform::SwfMovie::kMaxFrames, "frames bounded");
        qsizetype commands = 0;
        for (const auto& frame : movie->frames)
            commands += frame.size();
        fuzz::require(commands <= platform::SwfMovie::kMaxCommands, "commands bounded");
    }
    return 0;
}

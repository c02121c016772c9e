// The XML grammar files the recogniser loads.
#include "FuzzInput.h"
#include "PlatformError.h"
#include "speech/GrammarFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        for (const platform::GrammarRule& rule :
             platform::GrammarFile::parse(fuzz::bytes(data, size), QStringLiteral("fuzz"))) {
            fuzz::require(rule.phrases.size() <= platform::GrammarFile::kMaxPhrases + 1,
                          "phrases bounded");
            for (const QString& phrase : rule.phrases)
                fuzz::require(phrase.size() <= platform::GrammarFile::kMaxPhraseLength,
                              "phrase length bounded");
        }
    } catch (const platform::PlatformError&) {
    }
    return 0;
}

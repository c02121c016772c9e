#include "WordPronouncer.h"

#include <QRegularExpression>
#include <array>
#include <dlfcn.h>
#include <espeak-ng/speak_lib.h>
#include <mutex>
#include <utility>

namespace platform {

namespace {

// IPA symbols (longest first where one begins another) and their CMU phones.
constexpr std::array<std::pair<const char*, const char*>, 58> kIpa{{
    {"tʃ", "CH"}, {"dʒ", "JH"}, {"aɪ", "AY"},   {"aʊ", "AW"},   {"ɔɪ", "OY"},   {"eɪ", "EY"},
    {"oʊ", "OW"}, {"əʊ", "OW"}, {"ɪə", "IH R"}, {"eə", "EH R"}, {"ʊə", "UH R"}, {"iə", "IY AH"},
    {"iː", "IY"}, {"uː", "UW"}, {"ɑː", "AA"},   {"ɔː", "AO"},   {"ɜː", "ER"},   {"oː", "AO"},
    {"ɚ", "ER"},  {"ɝ", "ER"},  {"ə", "AH"},    {"ɐ", "AH"},    {"ʌ", "AH"},    {"æ", "AE"},
    {"ɛ", "EH"},  {"e", "EH"},  {"ɪ", "IH"},    {"ᵻ", "IH"},    {"i", "IY"},    {"ʊ", "UH"},
    {"u", "UW"},  {"ɑ", "AA"},  {"ɒ", "AA"},    {"ɔ", "AO"},    {"o", "OW"},    {"a", "AA"},
    {"p", "P"},   {"b", "B"},   {"t", "T"},     {"d", "D"},     {"k", "K"},     {"g", "G"},
    {"ɡ", "G"},   {"f", "F"},   {"v", "V"},     {"θ", "TH"},    {"ð", "DH"},    {"s", "S"},
    {"z", "Z"},   {"ʃ", "SH"},  {"ʒ", "ZH"},    {"h", "HH"},    {"m", "M"},     {"n", "N"},
    {"ŋ", "NG"},  {"l", "L"},   {"ɹ", "R"},     {"j", "Y"},
}};
constexpr std::array<std::pair<const char*, const char*>, 7> kIpaMore{{
    {"ɜ", "ER"},
    {"w", "W"},
    {"r", "R"},
    {"ɾ", "D"},
    {"ɫ", "L"},
    {"x", "HH"},
    {"ç", "HH"},
}};

// One phone (or two) per letter: rough, but every word gets a path.
constexpr std::array<const char*, 26> kLetters{"AE", "B", "K",  "D", "EH", "F",   "G", "HH", "IH",
                                               "JH", "K", "L",  "M", "N",  "AA",  "P", "K",  "R",
                                               "S",  "T", "AH", "V", "W",  "K S", "Y", "Z"};
constexpr std::array<const char*, 10> kDigits{"Z IH R OW", "W AH N", "T UW",     "TH R IY",
                                              "F AO R",    "F AY V", "S IH K S", "S EH V AH N",
                                              "EY T",      "N AY N"};

// espeak-ng keeps process-wide state and is not thread-safe: one lock, one
// initialisation, reached through dlopen so the library stays optional.
class Espeak {
public:
    Espeak() = default;
    Espeak(const Espeak&) = delete;
    Espeak& operator=(const Espeak&) = delete;
    // The library stays loaded to the end of the process (its exit handlers
    // may still run); only its buffers are released here.
    ~Espeak() {
        if (m_terminate)
            m_terminate();
    }

    QString ipa(const QString& word) {
        std::lock_guard lock(m_mutex);
        if (!m_tried)
            load();
        if (!m_textToPhonemes)
            return {};
        const QByteArray utf8 = word.toUtf8();
        const void* text = utf8.constData();
        QString out;
        while (text) {
            const char* part = m_textToPhonemes(&text, espeakCHARS_UTF8, espeakPHONEMES_IPA);
            if (!part)
                break;
            out += QString::fromUtf8(part);
        }
        return out;
    }

private:
    using InitFn = int (*)(espeak_AUDIO_OUTPUT, int, const char*, int);
    using VoiceFn = espeak_ERROR (*)(const char*);
    using PhonemesFn = const char* (*)(const void**, int, int);
    using TerminateFn = espeak_ERROR (*)();

    void load() {
        m_tried = true;
        void* lib = dlopen("libespeak-ng.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return;
        auto init = reinterpret_cast<InitFn>(dlsym(lib, "espeak_Initialize"));
        auto voice = reinterpret_cast<VoiceFn>(dlsym(lib, "espeak_SetVoiceByName"));
        auto phonemes = reinterpret_cast<PhonemesFn>(dlsym(lib, "espeak_TextToPhonemes"));
        if (!init || !voice || !phonemes ||
            init(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT) <= 0 ||
            voice("en-us") != EE_OK)
            return;
        m_textToPhonemes = phonemes;
        m_terminate = reinterpret_cast<TerminateFn>(dlsym(lib, "espeak_Terminate"));
    }

    std::mutex m_mutex;
    bool m_tried = false;
    PhonemesFn m_textToPhonemes = nullptr;
    TerminateFn m_terminate = nullptr;
};

// The library's state is the process's, so its wrapper is one per process too.
Espeak& espeak() {
    static Espeak instance;
    return instance;
}

} // namespace

QStringList WordPronouncer::tokens(const QString& phrase) {
    QString text = phrase.toLower();
    text.replace('&', QStringLiteral(" and "));
    static const QRegularExpression split(QStringLiteral("[^\\p{L}\\p{N}']+"));
    QStringList words;
    for (QString word : text.split(split, Qt::SkipEmptyParts)) {
        while (word.startsWith('\''))
            word.remove(0, 1);
        while (word.endsWith('\''))
            word.chop(1);
        if (!word.isEmpty())
            words << word;
    }
    return words;
}

QString WordPronouncer::phones(const QString& word) {
    const QString fromIpa = phonesFromIpa(espeak().ipa(word));
    return fromIpa.isEmpty() ? phonesFromLetters(word) : fromIpa;
}

QString WordPronouncer::phonesFromLetters(const QString& word) {
    QStringList out;
    for (const QChar c : word.toLower()) {
        if (c >= 'a' && c <= 'z')
            out << kLetters[static_cast<std::size_t>(c.unicode() - 'a')];
        else if (c >= '0' && c <= '9')
            out << kDigits[static_cast<std::size_t>(c.unicode() - '0')];
    }
    if (out.isEmpty())
        out << "AH";
    return out.join(' ');
}

QString WordPronouncer::phonesFromIpa(const QString& ipa) {
    QStringList out;
    qsizetype at = 0;
    auto match = [&](const auto& table) {
        for (const auto& [symbol, phone] : table) {
            const QString s = QString::fromUtf8(symbol);
            if (QStringView(ipa).mid(at).startsWith(s)) {
                out << QString::fromLatin1(phone);
                at += s.size();
                return true;
            }
        }
        return false;
    };
    while (at < ipa.size()) {
        if (!match(kIpa) && !match(kIpaMore))
            ++at; // stress, length and unknown marks
    }
    return out.join(' ');
}

} // namespace platform

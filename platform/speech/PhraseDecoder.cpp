#include "PhraseDecoder.h"

#include "PlatformError.h"
#include "WordPronouncer.h"

#include <algorithm>
#include <cmath>
#include <pocketsphinx.h>
#include <sphinxbase/ckd_alloc.h>
#include <sphinxbase/fsg_model.h>
#include <sphinxbase/jsgf.h>

namespace platform {

namespace {

constexpr const char* kModel = POCKETSPHINX_MODEL_DIR;
constexpr const char* kSearch = "phrases";

// Pure digital silence (files, muted inputs) throws the noise estimate and the
// cepstral mean off; a noise floor far below any microphone's is added.
constexpr int kNoiseFloor = 100;

// The margin scale, measured on synthetic speech: right phrases lie between
// about -23 and -3 per frame, speech outside the phrase list at -31 and below.
// -27 maps to 10 (the lowest threshold in use), -2 to 100.
constexpr double kMarginAtTen = -27.0;
constexpr double kPointsPerUnit = 3.6;

ps_decoder_t* makeDecoder(std::initializer_list<const char*> args) {
    std::vector<char*> argv;
    for (const char* a : args)
        argv.push_back(const_cast<char*>(a));
    cmd_ln_t* config =
        cmd_ln_parse_r(nullptr, ps_args(), static_cast<int32>(argv.size()), argv.data(), FALSE);
    ps_decoder_t* decoder = config ? ps_init(config) : nullptr;
    if (config)
        cmd_ln_free_r(config);
    if (!decoder)
        throw PlatformError(QStringLiteral("Cannot load the speech model in %1").arg(kModel));
    return decoder;
}

QString modelPath(const char* name) {
    return QString::fromUtf8(kModel) + '/' + name;
}

} // namespace

PhraseDecoder::PhraseDecoder() {
    const QByteArray hmm = modelPath("en-us").toUtf8();
    const QByteArray dict = modelPath("cmudict-en-us.dict").toUtf8();
    const QByteArray phoneLm = modelPath("en-us-phone.lm.bin").toUtf8();
    m_phrases =
        makeDecoder({"-hmm", hmm.constData(), "-dict", dict.constData(), "-logfn", "/dev/null"});
    try {
        m_phones = makeDecoder({"-hmm", hmm.constData(), "-allphone", phoneLm.constData(),
                                "-allphone_ci", "yes", "-logfn", "/dev/null"});
    } catch (...) {
        ps_free(m_phrases);
        throw;
    }
    restart();
}

PhraseDecoder::~PhraseDecoder() {
    ps_end_utt(m_phones);
    if (m_hasGrammar)
        ps_end_utt(m_phrases);
    ps_free(m_phones);
    ps_free(m_phrases);
}

void PhraseDecoder::restart() {
    ps_start_utt(m_phones);
    if (m_hasGrammar)
        ps_start_utt(m_phrases);
    m_inSpeech = false;
}

QString PhraseDecoder::dictionaryWord(const QString& token) {
    auto known = [this](const QString& word) {
        char* phones = ps_lookup_word(m_phrases, word.toUtf8().constData());
        ckd_free(phones);
        return phones != nullptr;
    };
    bool ascii = true;
    for (const QChar c : token)
        ascii = ascii && c.unicode() < 128;
    // Grammar tokens stay ASCII; other words get a name made from their bytes.
    const QString name = ascii ? token : "w" + QString::fromLatin1(token.toUtf8().toHex());
    if (known(token))
        return token;
    if (!known(name))
        ps_add_word(m_phrases, name.toUtf8().constData(),
                    WordPronouncer::phones(token).toUtf8().constData(), TRUE);
    return name;
}

void PhraseDecoder::setPhrases(const QStringList& phrases) {
    ps_end_utt(m_phones);
    if (m_hasGrammar)
        ps_end_utt(m_phrases);
    m_phraseOfWords.clear();
    QStringList alternatives;
    for (int i = 0; i < phrases.size(); ++i) {
        QStringList words;
        for (const QString& token : WordPronouncer::tokens(phrases[i]))
            words << dictionaryWord(token);
        const QString key = words.join(' ');
        if (key.isEmpty() || m_phraseOfWords.contains(key))
            continue;
        m_phraseOfWords.insert(key, i);
        alternatives << "( " + key + " )";
    }
    m_hasGrammar = false;
    if (!alternatives.isEmpty()) {
        const QByteArray source =
            ("#JSGF V1.0;\ngrammar verbaro;\npublic <phrase> = " + alternatives.join(" | ") +
             " ;\n")
                .toUtf8();
        jsgf_t* jsgf = jsgf_parse_string(source.constData(), nullptr);
        jsgf_rule_t* rule = jsgf ? jsgf_get_public_rule(jsgf) : nullptr;
        fsg_model_t* fsg =
            rule ? jsgf_build_fsg(jsgf, rule, ps_get_logmath(m_phrases), 7.5) : nullptr;
        m_hasGrammar = fsg && ps_set_fsg(m_phrases, kSearch, fsg) == 0 &&
                       ps_set_search(m_phrases, kSearch) == 0;
        if (fsg)
            fsg_model_free(fsg);
        if (jsgf)
            jsgf_grammar_free(jsgf);
        if (!m_hasGrammar)
            m_phraseOfWords.clear();
    }
    restart();
}

PhraseDecoder::Step PhraseDecoder::process(const std::int16_t* samples, std::size_t count) {
    m_block.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        m_noise = m_noise * 1103515245u + 12345u;
        const int noise = static_cast<int>((m_noise >> 16) % (2 * kNoiseFloor + 1)) - kNoiseFloor;
        m_block[i] = static_cast<std::int16_t>(std::clamp(samples[i] + noise, -32768, 32767));
    }
    ps_process_raw(m_phones, m_block.data(), count, FALSE, FALSE);
    if (m_hasGrammar)
        ps_process_raw(m_phrases, m_block.data(), count, FALSE, FALSE);
    Step step;
    const bool inSpeech = ps_get_in_speech(m_phones) != 0;
    if (inSpeech && !m_inSpeech)
        step.speechStarted = true;
    if (!inSpeech && m_inSpeech) {
        step.ended = finish();
        restart();
        return step;
    }
    m_inSpeech = inSpeech;
    return step;
}

PhraseDecoder::Score PhraseDecoder::score(ps_decoder_t* decoder) {
    Score result;
    int32 best = 0;
    const char* hyp = ps_get_hyp(decoder, &best);
    result.found = hyp && *hyp;
    result.words = QString::fromUtf8(hyp ? hyp : "");
    result.frames = ps_get_n_frames(decoder);
    for (ps_seg_t* seg = ps_seg_iter(decoder); seg; seg = ps_seg_next(seg)) {
        int32 acoustic = 0, language = 0, backoff = 0;
        ps_seg_prob(seg, &acoustic, &language, &backoff);
        result.acoustic += acoustic;
    }
    return result;
}

Utterance PhraseDecoder::finish() {
    ps_end_utt(m_phones);
    Utterance utterance;
    if (!m_hasGrammar)
        return utterance;
    ps_end_utt(m_phrases);
    const Score phrase = score(m_phrases);
    const Score phones = score(m_phones);
    utterance.frames = phrase.frames;
    if (!phrase.found)
        return utterance;
    utterance.phrase = m_phraseOfWords.value(phrase.words, -1);
    const double margin =
        static_cast<double>(phrase.acoustic - phones.acoustic) / std::max(phrase.frames, 1);
    utterance.confidence = utterance.phrase < 0 ? 0 : confidenceFor(margin);
    return utterance;
}

int PhraseDecoder::confidenceFor(double marginPerFrame) {
    const double points = 10.0 + kPointsPerUnit * (marginPerFrame - kMarginAtTen);
    return static_cast<int>(std::lround(std::clamp(points, 0.0, 100.0)));
}

} // namespace platform

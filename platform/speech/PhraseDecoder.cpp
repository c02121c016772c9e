#include "PhraseDecoder.h"

#include "PlatformError.h"
#include "WordPronouncer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <pocketsphinx.h>
#include <sphinxbase/ckd_alloc.h>
#include <sphinxbase/cmn.h>
#include <sphinxbase/feat.h>
#include <sphinxbase/fsg_model.h>

namespace platform {

namespace {

constexpr const char* kModel = POCKETSPHINX_MODEL_DIR;
constexpr const char* kSearch = "phrases";
constexpr const char* kForcedSearch = "forced";
constexpr const char* kOpenSearch = "open";

// A few broad phones standing for every sound no word explains, each also a
// "word" of the garbage loop: vowels front, central and back, the commonest
// consonant kinds. Fewer than the model's 39 keeps the loop cheap.
constexpr const char* kGarbagePhones[] = {"AA", "AE", "AH", "IY", "UW", "ER", "S",
                                          "T",  "N",  "L",  "R",  "M",  "K"};
constexpr const char* kGarbagePrefix = "garbage-";

// Pure digital silence (files, muted inputs) throws the noise estimate and the
// cepstral mean off; a noise floor far below any microphone's is added. It is
// low-passed like a room's hum: white noise would sound like an "f".
constexpr int kNoiseFloor = 100;
// Two seconds of it before the first real audio.
constexpr std::size_t kWarmUpSamples = 32000;
// Low-pass pole and gain of that noise (about 50 RMS).
constexpr double kHumPole = 0.9;
constexpr double kHumGain = 4.0;

// The confidence scale, calibrated on the benchmark's calibration voices
// (bench/recognition). The score, per frame of speech, weighs what tells a
// right reading from a near miss (a word added, dropped or changed): the
// utterance's margin against the phone loop, its worst word's margin, the
// word check (how many changes its open grammar's best path made, and how
// the phrase alone fits the sound against that path), and how squeezed its
// shortest word is (a dropped word's phones forced into the fewest frames the
// model allows; right readings give every word its time). Weights fitted on
// labelled right readings and near misses. The easiest threshold (10) sits
// where 97.5% of right readings score above; the hardest (100) just under the
// median clean right reading, so it stays reachable; 50 four fifths of the
// way up. Linear between the knots. Refit with
// bench/recognition/fit_confidence.py on a --raw --dump of the benchmark.
struct ScoreTerm {
    double Utterance::*feature;
    double weight;
    double cap; // the feature counts up to this much
};
constexpr ScoreTerm kScoreTerms[] = {
    {&Utterance::margin, 1.0, 1e9},     {&Utterance::worstWordMargin, 0.25, 1e9},
    {&Utterance::checkEdits, -5.0, 3},  {&Utterance::shortestWord, 40.0, 1},
    {&Utterance::tightestWord, 5.0, 6}, {&Utterance::checkMargin, 0.5, 1e9},
};
struct Knot {
    double score;
    double confidence;
};
constexpr Knot kKnots[] = {{-10.16, 10}, {22.31, 50}, {30.43, 100}};

// The garbage loop between the words of a phrase: entering it costs about as
// much as it takes to keep right phrases from wandering into it (on synthetic
// speech, about 1 in 100 does); most extra words in the middle go there.
constexpr double kGarbageEnter = 2e-5;
constexpr double kGarbageStay = 0.05;
// Leaving a word of the phrase out: a path that does so is no phrase at all
// (a learner who dropped a word); it costs enough that right readings keep
// their words.
constexpr double kSkipWord = 1e-5;
// Sounds after the last word of a phrase (a word added at its end) go to a
// garbage loop too, dearer to enter than one between words. (One before the
// first word stopped quick speech from completing any path at all.)
constexpr double kEdgeGarbage = 1e-6;
// Below the lowest threshold in use, so a near miss is never recognised.
constexpr int kGarbageConfidence = 5;
// Words shorter than this (30 ms) are too short for their own margin to say much.
constexpr int kMinWordFrames = 3;

// The word check: the decoded phrase alone against a grammar where each of
// its words may be swapped for another word of the lesson or for any sounds,
// be left out, or be joined by extra sounds, each change at this cost.
constexpr double kCheckSwap = 1e-2;
constexpr double kCheckNoise = 1e-2;
constexpr double kCheckDrop = 1e-2;
constexpr double kCheckInsert = 1e-2;
constexpr const char* kNoiseToken = "*";

// Quick speakers: every phone of the model lasts at least three frames
// (30 ms), so a phrase said quicker than that has no complete path through
// the grammar. Such an utterance is decoded once more, slowed down this much
// (without changing its pitch). The audio before the speech kept for that, and
// the longest utterance kept (longer ones are not retried).
constexpr double kSlowDown = 1.4;
constexpr std::size_t kPreSpeechSamples = 8000;
constexpr std::size_t kMaxUtteranceSamples = 16000 * 30;

// Slows speech down by `factor` keeping its pitch: overlap-add of 30 ms
// Hann-windowed stretches, each taken where it continues the previous one
// best (waveform-similarity overlap-add).
std::vector<std::int16_t> slowedDown(const std::vector<std::int16_t>& in, double factor) {
    constexpr int kFrame = 480;
    constexpr int kHop = kFrame / 2;
    constexpr int kSearch = 120;
    const int n = static_cast<int>(in.size());
    if (n < 2 * kFrame)
        return in;
    std::vector<double> window(kFrame);
    for (int i = 0; i < kFrame; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kFrame);
    const int frames = static_cast<int>((n - kFrame) * factor / kHop);
    std::vector<double> out(static_cast<std::size_t>(frames * kHop + kFrame), 0.0);
    int previous = 0;
    for (int k = 0; k < frames; ++k) {
        const int nominal = static_cast<int>(k * kHop / factor);
        int best = std::clamp(nominal, 0, n - kFrame);
        if (k > 0) {
            // The natural continuation of the previous stretch.
            const int natural = previous + kHop;
            double bestMatch = -1e300;
            for (int d = -kSearch; d <= kSearch; d += 2) {
                const int at = nominal + d;
                if (at < 0 || at + kFrame > n || natural + kHop > n)
                    continue;
                double match = 0;
                for (int i = 0; i < kHop; i += 2)
                    match += static_cast<double>(in[at + i]) * in[natural + i];
                if (match > bestMatch) {
                    bestMatch = match;
                    best = at;
                }
            }
        }
        for (int i = 0; i < kFrame; ++i)
            out[static_cast<std::size_t>(k * kHop + i)] += window[i] * in[best + i];
        previous = best;
    }
    std::vector<std::int16_t> result(out.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        result[i] = static_cast<std::int16_t>(std::clamp(std::lround(out[i]), -32768L, 32767L));
    return result;
}

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
    // Let the noise estimate settle on the noise floor first, so the first
    // moments of a quiet input are not taken for speech.
    const std::vector<std::int16_t> quiet(kWarmUpSamples, 0);
    process(quiet.data(), quiet.size());
}

PhraseDecoder::~PhraseDecoder() {
    ps_end_utt(m_phones);
    // The phone-loop search frees an utterance's segments only when the next
    // one ends: end an empty one, so the last real one's are released.
    ps_start_utt(m_phones);
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
    m_audio.clear();
    m_tooLong = false;
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
    if (!known(name)) {
        const QByteArray phones = WordPronouncer::phones(token).toUtf8();
        ps_add_word(m_phrases, name.toUtf8().constData(), phones.constData(), TRUE);
    }
    return name;
}

void PhraseDecoder::setPhrases(const QStringList& phrases) {
    ps_end_utt(m_phones);
    if (m_hasGrammar)
        ps_end_utt(m_phrases);
    m_phraseOfWords.clear();
    m_vocabulary.clear();
    std::vector<QStringList> sequences;
    for (int i = 0; i < phrases.size(); ++i) {
        QStringList words;
        for (const QString& token : WordPronouncer::tokens(phrases[i]))
            words << dictionaryWord(token);
        const QString key = words.join(' ');
        if (key.isEmpty() || m_phraseOfWords.contains(key))
            continue;
        m_phraseOfWords.insert(key, i);
        for (const QString& w : words)
            if (!m_vocabulary.contains(w))
                m_vocabulary << w;
        sequences.push_back(words);
    }
    m_hasGrammar = false;
    if (!sequences.empty()) {
        fsg_model_t* fsg = buildSearch(sequences);
        m_hasGrammar =
            ps_set_fsg(m_phrases, kSearch, fsg) == 0 && ps_set_search(m_phrases, kSearch) == 0;
        fsg_model_free(fsg);
        if (!m_hasGrammar)
            m_phraseOfWords.clear();
    }
    restart();
}

fsg_model_t* PhraseDecoder::buildSearch(const std::vector<QStringList>& sequences) {
    // States: 0 start, 1 end, 2 the garbage after the end, then the inner
    // states of each phrase; every inner state has a garbage state beside it.
    int inner = 0;
    for (const QStringList& words : sequences)
        inner += static_cast<int>(words.size()) - 1;
    logmath_t* lmath = ps_get_logmath(m_phrases);
    const float lw = 7.5f;
    fsg_model_t* fsg = fsg_model_init(kSearch, lmath, lw, 3 + 2 * inner);
    fsg->start_state = 0;
    fsg->final_state = 1;
    auto logp = [&](double p) { return static_cast<int32>(logmath_log(lmath, p) * lw); };
    const int32 pickPhrase = logp(1.0 / static_cast<double>(sequences.size()));
    const int32 enter = logp(kGarbageEnter), stay = logp(kGarbageStay);
    const int32 skip = logp(kSkipWord);
    std::vector<int32> garbage;
    for (const char* phone : kGarbagePhones) {
        const QByteArray word = QByteArray(kGarbagePrefix) + phone;
        char* known = ps_lookup_word(m_phrases, word.constData());
        if (!known)
            ps_add_word(m_phrases, word.constData(), phone, TRUE);
        ckd_free(known);
        garbage.push_back(fsg_model_word_add(fsg, word.constData()));
    }
    // Sounds after the phrase: the final state's own garbage loop (state 2).
    const int32 edge = logp(kEdgeGarbage);
    for (const int32 g : garbage) {
        fsg_model_trans_add(fsg, 1, 2, edge, g);
        fsg_model_trans_add(fsg, 2, 2, stay, g);
    }
    fsg_model_null_trans_add(fsg, 2, 1, 0);
    int next = 3;
    for (const QStringList& words : sequences) {
        int from = 0;
        for (qsizetype w = 0; w < words.size(); ++w) {
            const int to = w + 1 == words.size() ? 1 : next;
            const int32 wid = fsg_model_word_add(fsg, words[w].toUtf8().constData());
            fsg_model_trans_add(fsg, from, to, w == 0 ? pickPhrase : 0, wid);
            if (words.size() > 1)
                fsg_model_null_trans_add(fsg, from, to, (w == 0 ? pickPhrase : 0) + skip);
            if (to != 1) {
                // Sounds that fit no word of the phrase: a phone loop, costly to enter.
                const int side = next + 1;
                for (const int32 g : garbage) {
                    fsg_model_trans_add(fsg, to, side, enter, g);
                    fsg_model_trans_add(fsg, side, side, stay, g);
                }
                fsg_model_null_trans_add(fsg, side, to, 0);
                next += 2;
            }
            from = to;
        }
    }
    return fsg;
}

void PhraseDecoder::feed(const std::int16_t* samples, std::size_t count) {
    ps_process_raw(m_phones, samples, count, FALSE, FALSE);
    if (m_hasGrammar)
        ps_process_raw(m_phrases, samples, count, FALSE, FALSE);
}

// Keeps the utterance's audio for a second pass: a little before the speech,
// then all of it.
void PhraseDecoder::keep(bool inSpeech) {
    m_audio.insert(m_audio.end(), m_block.begin(), m_block.end());
    if (!inSpeech && !m_inSpeech && m_audio.size() > kPreSpeechSamples)
        m_audio.erase(m_audio.begin(),
                      m_audio.end() - static_cast<std::ptrdiff_t>(kPreSpeechSamples));
    if (m_audio.size() > kMaxUtteranceSamples)
        m_tooLong = true;
    if (m_tooLong)
        m_audio.clear();
}

PhraseDecoder::Step PhraseDecoder::process(const std::int16_t* samples, std::size_t count) {
    m_block.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        m_noise = m_noise * 1103515245u + 12345u;
        const double white = static_cast<double>((m_noise >> 16) % 2001) / 1000.0 - 1.0;
        m_hum = kHumPole * m_hum + (1.0 - kHumPole) * white;
        const int noise = static_cast<int>(m_hum * kNoiseFloor * kHumGain);
        m_block[i] = static_cast<std::int16_t>(std::clamp(samples[i] + noise, -32768, 32767));
    }
    feed(m_block.data(), count);
    Step step;
    const bool inSpeech = ps_get_in_speech(m_phones) != 0;
    keep(inSpeech);
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
        Segment segment;
        segment.word = QString::fromUtf8(ps_seg_word(seg));
        ps_seg_frames(seg, &segment.first, &segment.last);
        segment.acoustic = acoustic;
        result.segments.push_back(std::move(segment));
    }
    return result;
}

// Per frame, how much worse the phrase's worst word explains its stretch of
// sound than the phone loop explains the same frames. A word said differently
// (one word changed, one dropped) sinks this even when the rest of the phrase
// fits well and keeps the whole utterance's margin high.
double PhraseDecoder::worstWordMargin(const Score& phrase, const Score& phones) {
    double worst = 0;
    bool any = false;
    for (const Segment& word : phrase.segments) {
        const bool filler = word.word.startsWith('<') || word.word.startsWith('(') ||
                            word.word.startsWith('[') || word.word.startsWith(kGarbagePrefix);
        const int frames = word.last - word.first + 1;
        if (filler || frames < kMinWordFrames)
            continue;
        double loop = 0;
        for (const Segment& phone : phones.segments) {
            const int from = std::max(phone.first, word.first);
            const int to = std::min(phone.last, word.last);
            if (to < from)
                continue;
            const int length = std::max(phone.last - phone.first + 1, 1);
            loop += static_cast<double>(phone.acoustic) * (to - from + 1) / length;
        }
        const double margin = (static_cast<double>(word.acoustic) - loop) / frames;
        worst = any ? std::min(worst, margin) : margin;
        any = true;
    }
    return worst;
}

Utterance PhraseDecoder::finish() {
    endAll();
    Utterance utterance = judge();
    if (!m_hasGrammar || m_tooLong || m_audio.empty())
        return utterance;
    if (!m_normalised) {
        // The first speech a decoder hears is measured against the model's
        // starting feature normalisation, which a given voice and microphone
        // can be far from (a right sentence came back as nothing). The
        // normalisation has now adapted to this speech: judge it again.
        m_normalised = true;
        utterance = decodeAgain(m_audio);
    }
    if (utterance.phrase >= 0) {
        checkWords(utterance, m_audio);
        return utterance;
    }
    // No complete path: perhaps said too quickly for the model; try it slower.
    const std::vector<std::int16_t> slowed = slowedDown(m_audio, kSlowDown);
    Utterance second = decodeAgain(slowed);
    second.slowed = true;
    if (second.phrase < 0)
        return utterance;
    checkWords(second, slowed);
    return second;
}

fsg_model_t* PhraseDecoder::buildCheck(const QStringList& words, bool alternatives) {
    // States: 0 start, n end, then per word a garbage state standing in for
    // it and per state after a word one for extra sounds there.
    const int n = static_cast<int>(words.size());
    logmath_t* lmath = ps_get_logmath(m_phrases);
    const float lw = 7.5f;
    fsg_model_t* fsg = fsg_model_init(alternatives ? kOpenSearch : kForcedSearch, lmath, lw,
                                      alternatives ? 3 * n + 1 : n + 1);
    fsg->start_state = 0;
    fsg->final_state = n;
    auto logp = [&](double p) { return static_cast<int32>(logmath_log(lmath, p) * lw); };
    std::vector<int32> garbage;
    for (const char* phone : kGarbagePhones)
        garbage.push_back(
            fsg_model_word_add(fsg, (QByteArray(kGarbagePrefix) + phone).constData()));
    for (int i = 0; i < n; ++i) {
        const int32 wid = fsg_model_word_add(fsg, words[i].toUtf8().constData());
        fsg_model_trans_add(fsg, i, i + 1, 0, wid);
        if (!alternatives)
            continue;
        for (const QString& other : m_vocabulary)
            if (other != words[i])
                fsg_model_trans_add(fsg, i, i + 1, logp(kCheckSwap),
                                    fsg_model_word_add(fsg, other.toUtf8().constData()));
        fsg_model_null_trans_add(fsg, i, i + 1, logp(kCheckDrop));
        const int instead = n + 1 + 2 * i;
        const int extra = instead + 1;
        for (const int32 g : garbage) {
            fsg_model_trans_add(fsg, i, instead, logp(kCheckNoise), g);
            fsg_model_trans_add(fsg, instead, instead, logp(kGarbageStay), g);
            fsg_model_trans_add(fsg, i + 1, extra, logp(kCheckInsert), g);
            fsg_model_trans_add(fsg, extra, extra, logp(kGarbageStay), g);
        }
        fsg_model_null_trans_add(fsg, instead, i + 1, 0);
        fsg_model_null_trans_add(fsg, extra, i + 1, 0);
    }
    return fsg;
}

PhraseDecoder::Score PhraseDecoder::decodeWith(const char* search,
                                               const std::vector<std::int16_t>& audio) {
    Score result;
    if (ps_set_search(m_phrases, search) != 0)
        return result;
    ps_start_utt(m_phrases);
    ps_process_raw(m_phrases, audio.data(), audio.size(), FALSE, FALSE);
    ps_end_utt(m_phrases);
    return score(m_phrases);
}

namespace {

// Word-level edits between two token lists.
int editDistance(const QStringList& a, const QStringList& b) {
    std::vector<int> row(static_cast<std::size_t>(b.size()) + 1);
    for (std::size_t j = 0; j < row.size(); ++j)
        row[j] = static_cast<int>(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int up = row[static_cast<std::size_t>(j)];
            row[static_cast<std::size_t>(j)] =
                std::min({up + 1, row[static_cast<std::size_t>(j - 1)] + 1,
                          diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row.back();
}

// The words of a hypothesis, each run of garbage phones one token.
QStringList checkTokens(const QString& hypothesis) {
    QStringList tokens;
    for (const QString& w : hypothesis.split(' ', Qt::SkipEmptyParts)) {
        const bool noise = w.startsWith(kGarbagePrefix);
        if (noise && !tokens.isEmpty() && tokens.back() == kNoiseToken)
            continue;
        tokens << (noise ? QString(kNoiseToken) : w);
    }
    return tokens;
}

} // namespace

void PhraseDecoder::checkWords(Utterance& utterance, const std::vector<std::int16_t>& audio) {
    // Sounds no word explains already turned the phrase down.
    if (utterance.garbage)
        return;
    const QStringList words = m_lastWords;
    fsg_model_t* forced = buildCheck(words, false);
    fsg_model_t* open = buildCheck(words, true);
    const bool ready = ps_set_fsg(m_phrases, kForcedSearch, forced) == 0 &&
                       ps_set_fsg(m_phrases, kOpenSearch, open) == 0;
    fsg_model_free(forced);
    fsg_model_free(open);
    // The check hears the utterance twice more; the feature normalisation
    // must not lean further towards it than the first hearing did.
    cmn_t* cmn = ps_get_feat(m_phrases)->cmn_struct;
    const std::vector<mfcc_t> mean(cmn->cmn_mean, cmn->cmn_mean + cmn->veclen);
    const std::vector<mfcc_t> sum(cmn->sum, cmn->sum + cmn->veclen);
    const int32 nframe = cmn->nframe;
    if (ready) {
        const Score alone = decodeWith(kForcedSearch, audio);
        const Score best = decodeWith(kOpenSearch, audio);
        const int frames = std::max(best.frames, 1);
        if (best.found) {
            utterance.checkEdits = editDistance(checkTokens(best.words), words);
            utterance.checkMargin =
                alone.found ? static_cast<double>(alone.acoustic - best.acoustic) / frames
                            : -1000.0;
        }
    }
    rate(utterance);
    std::copy(mean.begin(), mean.end(), cmn->cmn_mean);
    std::copy(sum.begin(), sum.end(), cmn->sum);
    cmn->nframe = nframe;
    ps_set_search(m_phrases, kSearch);
}

Utterance PhraseDecoder::decodeAgain(const std::vector<std::int16_t>& audio) {
    ps_start_utt(m_phones);
    ps_start_utt(m_phrases);
    feed(audio.data(), audio.size());
    endAll();
    return judge();
}

void PhraseDecoder::endAll() {
    ps_end_utt(m_phones);
    if (m_hasGrammar)
        ps_end_utt(m_phrases);
}

Utterance PhraseDecoder::judge() {
    Utterance utterance;
    if (!m_hasGrammar)
        return utterance;
    const Score phrase = score(m_phrases);
    const Score phones = score(m_phones);
    utterance.frames = phrase.frames;
    if (!phrase.found)
        return utterance;
    QStringList words = phrase.words.split(' ', Qt::SkipEmptyParts);
    const qsizetype before = words.size();
    words.removeIf([](const QString& w) { return w.startsWith(kGarbagePrefix); });
    for (const Segment& segment : phrase.segments)
        if (segment.word.startsWith(kGarbagePrefix))
            utterance.garbageFrames += segment.last - segment.first + 1;
    const bool garbage = words.size() != before;
    m_lastWords = words;
    utterance.phrase = m_phraseOfWords.value(words.join(' '), -1);
    shortestWord(phrase, utterance);
    utterance.margin =
        static_cast<double>(phrase.acoustic - phones.acoustic) / std::max(phrase.frames, 1);
    utterance.worstWordMargin = worstWordMargin(phrase, phones);
    utterance.garbage = garbage;
    rate(utterance);
    return utterance;
}

void PhraseDecoder::rate(Utterance& utterance) {
    utterance.confidence = utterance.phrase < 0 ? 0 : confidenceFor(utterance);
    // Sounds no word of the phrase explains: a near miss, not the phrase.
    if (utterance.garbage)
        utterance.confidence = std::min(utterance.confidence, kGarbageConfidence);
}

int PhraseDecoder::phoneCount(const QString& word) {
    char* phones = ps_lookup_word(m_phrases, word.toUtf8().constData());
    const int count =
        phones ? static_cast<int>(QString::fromUtf8(phones).split(' ', Qt::SkipEmptyParts).size())
               : 0;
    ckd_free(phones);
    return count;
}

// How long the phrase's shortest word lasts for its phones, against the
// utterance's pace and in frames per phone.
void PhraseDecoder::shortestWord(const Score& phrase, Utterance& utterance) {
    int frames = 0, phones = 0;
    double tightest = 1e9;
    for (const Segment& word : phrase.segments) {
        const bool filler = word.word.startsWith('<') || word.word.startsWith('(') ||
                            word.word.startsWith('[') || word.word.startsWith(kGarbagePrefix);
        const int count = filler ? 0 : phoneCount(word.word);
        if (count == 0)
            continue;
        const int length = word.last - word.first + 1;
        frames += length;
        phones += count;
        tightest = std::min(tightest, static_cast<double>(length) / count);
    }
    if (phones == 0)
        return;
    utterance.tightestWord = tightest;
    utterance.shortestWord = tightest / (static_cast<double>(frames) / phones);
}

int PhraseDecoder::confidenceFor(const Utterance& utterance) {
    double score = 0;
    for (const ScoreTerm& term : kScoreTerms)
        score += term.weight * std::min(utterance.*term.feature, term.cap);
    // The segment the score falls in; below the first knot the first segment
    // goes on down to 0.
    std::size_t i = 0;
    while (i + 2 < std::size(kKnots) && score >= kKnots[i + 1].score)
        ++i;
    const Knot& a = kKnots[i];
    const Knot& b = kKnots[i + 1];
    const double points =
        a.confidence + (b.confidence - a.confidence) * (score - a.score) / (b.score - a.score);
    return static_cast<int>(std::lround(std::clamp(points, 0.0, 100.0)));
}

} // namespace platform

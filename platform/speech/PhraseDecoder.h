#pragma once

#include <QHash>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

struct ps_decoder_s;
struct fsg_model_s;

namespace platform {

// What the decoder made of one utterance: the phrase it heard (index into
// the phrase list, -1 when no phrase fits at all) and how sure it is, 0..100.
struct Utterance {
    int phrase = -1;
    int confidence = 0;
    int frames = 0;
    // What the confidence is made of (kept for calibration): the score margin
    // per frame against the phone loop over the whole utterance and over its
    // worst-fitting word, and whether the garbage loop was needed.
    double margin = 0;
    double worstWordMargin = 0;
    bool garbage = false;
    int garbageFrames = 0;
    // Decoded again slowed down (said too quickly for the model).
    bool slowed = false;
    // The word check: how much worse the phrase alone explains the sound than
    // the best path of a grammar letting each of its words be swapped for
    // another word of the lesson or for any sounds, left out, or joined by
    // extra sounds (<= 0), and how many such changes that path makes.
    double checkMargin = 0;
    double checkEdits = 0;
    // The shortest word for its phones, against the utterance's own pace
    // (a word squeezed into a few frames was not said).
    double shortestWord = 0;
    // The same in frames per phone (three is the model's least).
    double tightestWord = 0;
};

// Two PocketSphinx decoders listening to the same audio, both kept warm for
// the whole run: one searches the phrase list (a finite-state grammar), the
// other a free phone loop. A closed phrase list forces every sound onto some
// phrase, so the confidence compares the two: per frame of speech, how much
// worse the best phrase explains the sound than the best phone sequence.
// Between the words of each phrase and after its last word the grammar also
// offers a costly phone loop ("garbage"): an utterance that needs it holds
// sounds no word explains (an extra word, "how old are you" against "how are
// you") and gets a confidence below every threshold. Each word of a phrase may
// also be left out at a cost; a path that does so matches no phrase (a
// dropped word is no right reading). An utterance with no complete path
// through the grammar (said quicker than the model's shortest phones allow) is
// decoded once more, slowed down. The phone decoder's voice-activity
// detection cuts the stream into utterances.
class PhraseDecoder {
public:
    // Raises PlatformError when the acoustic model cannot be loaded.
    PhraseDecoder();
    ~PhraseDecoder();
    PhraseDecoder(const PhraseDecoder&) = delete;
    PhraseDecoder& operator=(const PhraseDecoder&) = delete;

    // Replaces the phrase list; an utterance in progress is dropped. Words
    // missing from the dictionary are added with made-up pronunciations.
    void setPhrases(const QStringList& phrases);

    struct Step {
        bool speechStarted = false;
        std::optional<Utterance> ended;
    };
    // Feeds 16 kHz samples; tells when speech began and when an utterance ended.
    Step process(const std::int16_t* samples, std::size_t count);

    // Maps what an utterance's confidence is made of (its margins, the word
    // check, its shortest word) to 0..100.
    static int confidenceFor(const Utterance& utterance);

private:
    // One word (or phone) of a hypothesis: its frames and acoustic score.
    struct Segment {
        QString word;
        int first = 0;
        int last = 0;
        long acoustic = 0;
    };
    struct Score {
        long acoustic = 0;
        int frames = 0;
        QString words;
        bool found = false;
        std::vector<Segment> segments;
    };
    void restart();
    void feed(const std::int16_t* samples, std::size_t count);
    void keep(bool inSpeech);
    void endAll();
    Utterance finish();
    Utterance decodeAgain(const std::vector<std::int16_t>& audio);
    Utterance judge();
    static void rate(Utterance& utterance);
    void checkWords(Utterance& utterance, const std::vector<std::int16_t>& audio);
    Score decodeWith(const char* search, const std::vector<std::int16_t>& audio);
    fsg_model_s* buildCheck(const QStringList& words, bool alternatives);
    void shortestWord(const Score& phrase, Utterance& utterance);
    int phoneCount(const QString& word);
    static Score score(ps_decoder_s* decoder);
    static double worstWordMargin(const Score& phrase, const Score& phones);
    QString dictionaryWord(const QString& token);
    fsg_model_s* buildSearch(const std::vector<QStringList>& sequences);

    ps_decoder_s* m_phrases = nullptr;
    ps_decoder_s* m_phones = nullptr;
    bool m_hasGrammar = false;
    bool m_inSpeech = false;
    QHash<QString, int> m_phraseOfWords;
    // The lesson's words (dictionary names), and the words last decoded.
    QStringList m_vocabulary;
    QStringList m_lastWords;
    std::vector<std::int16_t> m_block;
    std::vector<std::int16_t> m_audio;
    bool m_tooLong = false;
    bool m_normalised = false;
    std::uint32_t m_noise = 1;
    double m_hum = 0;
};

} // namespace platform

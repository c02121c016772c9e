// Recognition benchmark: how often the right sentence is recognised, another
// sentence of the lesson accepted in its place, speech outside the lesson
// accepted, and a near miss (a word added, dropped or changed) accepted as
// the sentence it was made from, at each difficulty, for the calibration
// voices and for held-out voices; plus the latency from the end of speech to
// the event, real-time factor and memory of the recognition context.
//
// --raw drives the phrase decoder directly (no event loop, no latency) and
// --dump writes one line per utterance with what its confidence is made of,
// for calibrating the confidence scale.
#include "BenchAudioSource.h"
#include "Corpus.h"
#include "speech/IRecognizer.h"
#include "speech/PhraseDecoder.h"
#include "speech/RecoContext.h"
#include "speech/WaveFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using platform::ISpeechGrammar;

namespace {

struct Outcome {
    const BenchSample* sample = nullptr;
    bool heard = false;
    int phrase = -1; // index into the lesson, -1 when none
    platform::Utterance utterance;
    double latencyMs = 0; // from the end of the speech to the event
};

struct LastEvent {
    bool arrived = false;
    QString text;
    int confidence = 0;
    long long endSample = 0;
    BenchAudioSource::Clock::time_point at;
};

const std::vector<std::int16_t> kLead(6400, 0), kTail(16000, 0);
constexpr double kSampleRate = 16000;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QString writeGrammar(const QString& path, const QStringList& phrases) {
    QStringList lines{"<GRAMMAR LANGID=\"409\">", "<RULE NAME=\"dialog\" TOPLEVEL=\"ACTIVE\">",
                      "<P>", "<L>"};
    for (const QString& p : phrases)
        lines << "<P>" + p.toHtmlEscaped() + "</P>";
    lines << "</L>"
          << "</P>"
          << "</RULE>"
          << "</GRAMMAR>";
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write((lines.join("\r\n") + "\r\n").toLatin1());
    return path;
}

void pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double share(int part, int whole) {
    return whole ? 100.0 * part / whole : 0.0;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

bool belongsTo(const BenchSample& s, int lesson) {
    const bool lessonBound =
        s.kind == BenchSample::Kind::Lesson || s.kind == BenchSample::Kind::NearMiss;
    return !lessonBound || s.lesson == lesson;
}

// Through the real recognition context, as the exercise window listens.
struct ContextRun {
    std::vector<Outcome> outcomes;
    double audioSeconds = 0;
};

ContextRun runContext(const std::vector<BenchLesson>& lessons,
                      const std::vector<const BenchSample*>& samples, const QString& cache) {
    ContextRun run;
    auto owned = std::make_unique<BenchAudioSource>();
    BenchAudioSource& source = *owned;
    platform::RecoContext context(std::move(owned));
    for (const char* name :
         {"HighConfidenceThreshold", "NormalConfidenceThreshold", "LowConfidenceThreshold"})
        context.Recognizer().SetPropertyNumber(name, 0);
    LastEvent last;
    auto record = [&](const QVariant& position, const platform::RecoResult& r) {
        last = {true, r.PhraseInfo.GetText(0, -1, true), r.PhraseInfo.confidence,
                position.toLongLong() / 2, BenchAudioSource::Clock::now()};
    };
    QObject::connect(
        &context, &platform::IRecoContext::Recognition,
        [&](qint32, const QVariant& p, int, const platform::RecoResult& r) { record(p, r); });
    QObject::connect(
        &context, &platform::IRecoContext::FalseRecognition,
        [&](qint32, const QVariant& p, const platform::RecoResult& r) { record(p, r); });
    long long fed = 0;
    for (int l = 0; l < static_cast<int>(lessons.size()); ++l) {
        auto grammar = context.CreateGrammar(0);
        grammar->CmdLoadFromFile(writeGrammar(cache + "/~File.xml", lessons[l].phrases), 1);
        grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSActive);
        for (const BenchSample* s : samples) {
            if (!belongsTo(*s, l))
                continue;
            const auto audio = platform::WaveFile::read(s->wave).toMono16k();
            last = {};
            source.feed(kLead);
            source.feed(audio);
            source.feed(kTail);
            const long long speechEnd = fed + static_cast<long long>(kLead.size() + audio.size());
            fed += static_cast<long long>(kLead.size() + audio.size() + kTail.size());
            run.audioSeconds +=
                static_cast<double>(kLead.size() + audio.size() + kTail.size()) / kSampleRate;
            int idle = 0;
            while (!last.arrived && idle < 25) {
                pump(10);
                idle += source.drained() ? 1 : 0;
            }
            Outcome o;
            o.sample = s;
            if (last.arrived) {
                o.heard = true;
                o.phrase = lessons[l].phrases.indexOf(last.text);
                o.utterance.confidence = last.confidence;
                // The audio the voice-activity detection waited for after the
                // speech, plus the time from reading its end to the event.
                const double hangover =
                    1000.0 * static_cast<double>(last.endSample - speechEnd) / kSampleRate;
                o.latencyMs = hangover + std::chrono::duration<double, std::milli>(
                                             last.at - source.readTimeOf(last.endSample))
                                             .count();
            }
            run.outcomes.push_back(o);
        }
    }
    return run;
}

// The phrase decoder alone: the first utterance of each sample.
ContextRun runDecoder(const std::vector<BenchLesson>& lessons,
                      const std::vector<const BenchSample*>& samples) {
    ContextRun run;
    platform::PhraseDecoder decoder;
    for (int l = 0; l < static_cast<int>(lessons.size()); ++l) {
        decoder.setPhrases(lessons[l].phrases);
        for (const BenchSample* s : samples) {
            if (!belongsTo(*s, l))
                continue;
            std::vector<std::int16_t> audio = kLead;
            const auto speech = platform::WaveFile::read(s->wave).toMono16k();
            audio.insert(audio.end(), speech.begin(), speech.end());
            audio.insert(audio.end(), kTail.begin(), kTail.end());
            run.audioSeconds += static_cast<double>(audio.size()) / kSampleRate;
            Outcome o;
            o.sample = s;
            for (std::size_t at = 0; at < audio.size(); at += 480) {
                const std::size_t n = std::min<std::size_t>(480, audio.size() - at);
                const auto step = decoder.process(audio.data() + at, n);
                if (step.ended && !o.heard) {
                    o.heard = true;
                    o.utterance = *step.ended;
                    o.phrase = step.ended->phrase;
                }
            }
            run.outcomes.push_back(o);
        }
    }
    return run;
}

const char* kindName(BenchSample::Kind kind) {
    switch (kind) {
    case BenchSample::Kind::Lesson:
        return "lesson";
    case BenchSample::Kind::NearMiss:
        return "near";
    case BenchSample::Kind::Outside:
        return "outside";
    default:
        return "chinese";
    }
}

void dump(const QString& path, const std::vector<Outcome>& outcomes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    QTextStream out(&file);
    out << "kind\theldout\tnoisy\tvoice\tlesson\tsentence\theard\tphrase\tconfidence\tmargin\t"
           "worst\tgarbage\tgframes\tslowed\tframes\tcheck\tedits\tshortest\ttightest\ttext\n";
    for (const Outcome& o : outcomes) {
        const BenchSample& s = *o.sample;
        const platform::Utterance& u = o.utterance;
        out << kindName(s.kind) << '\t' << int(s.heldOut) << '\t' << int(s.noisy) << '\t' << s.voice
            << '\t' << s.lesson << '\t' << s.sentence << '\t' << int(o.heard) << '\t' << o.phrase
            << '\t' << u.confidence << '\t' << u.margin << '\t' << u.worstWordMargin << '\t'
            << int(u.garbage) << '\t' << u.garbageFrames << '\t' << int(u.slowed) << '\t'
            << u.frames << '\t' << u.checkMargin << '\t' << u.checkEdits << '\t' << u.shortestWord
            << '\t' << u.tightestWord << '\t' << s.text << '\n';
    }
}

struct Tally {
    int hits = 0;
    int count = 0;
    void add(bool hit) {
        hits += hit;
        ++count;
    }
    double percent() const { return share(hits, count); }
};

void printTable(const std::vector<Outcome>& outcomes, const std::vector<BenchLesson>& lessons) {
    std::printf("| difficulty | right, calibration voices (clean / noisy) | right, held-out "
                "voices (clean / noisy) | other sentence accepted | outside accepted | near "
                "miss accepted as its sentence: calibration / held-out |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (int d = 1; d <= 10; ++d) {
        const int t = d * 10;
        Tally right[2][2], near[2], outside;
        int other = 0, pairs = 0;
        for (const Outcome& o : outcomes) {
            const BenchSample& s = *o.sample;
            const bool accepted = o.phrase >= 0 && o.utterance.confidence >= t;
            switch (s.kind) {
            case BenchSample::Kind::Lesson:
                right[s.heldOut][s.noisy].add(accepted && o.phrase == s.sentence);
                pairs += static_cast<int>(lessons[s.lesson].phrases.size()) - 1;
                other += accepted && o.phrase != s.sentence;
                break;
            case BenchSample::Kind::NearMiss:
                near[s.heldOut].add(accepted && o.phrase == s.sentence);
                break;
            default:
                outside.add(accepted);
            }
        }
        auto both = [](const Tally* t) {
            return share(t[0].hits + t[1].hits, t[0].count + t[1].count);
        };
        std::printf("| %d | %.1f%% (%.1f%% / %.1f%%) | %.1f%% (%.1f%% / %.1f%%) | %.2f%% (%d) | "
                    "%.1f%% | %.1f%% / %.1f%% |\n",
                    d, both(right[0]), right[0][0].percent(), right[0][1].percent(), both(right[1]),
                    right[1][0].percent(), right[1][1].percent(), share(other, pairs), other,
                    outside.percent(), near[0].percent(), near[1].percent());
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.addOption({"lessons", "lesson sources (JSON), one or more", "file"});
    options.addOption({"outside", "sentences outside the lessons (JSON)", "file"});
    options.addOption({"cache", "folder for the generated speech", "dir"});
    options.addOption({"every", "use only every n-th utterance (quick runs)", "n", "1"});
    options.addOption({"raw", "the phrase decoder alone, without the recognition context"});
    options.addOption({"dump", "write every utterance's outcome to this file", "file"});
    options.process(app);

    std::vector<BenchLesson> lessons;
    for (const QString& path : options.values("lessons"))
        for (BenchLesson& lesson : Corpus::readLessons(path))
            lessons.push_back(std::move(lesson));
    Corpus corpus(options.value("cache"));
    const auto all = corpus.build(lessons, options.value("outside"));
    if (lessons.empty() || all.empty()) {
        std::fprintf(stderr, "no lessons or no speech (espeak-ng, flite and sox are needed)\n");
        return 1;
    }
    const int every = std::max(1, options.value("every").toInt());
    std::vector<const BenchSample*> samples;
    for (std::size_t i = 0; i < all.size(); i += static_cast<std::size_t>(every))
        samples.push_back(&all[i]);

    const double cpuBefore = cpuSeconds();
    const ContextRun run = options.isSet("raw")
                               ? runDecoder(lessons, samples)
                               : runContext(lessons, samples, options.value("cache"));
    const double cpu = cpuSeconds() - cpuBefore;
    if (options.isSet("dump"))
        dump(options.value("dump"), run.outcomes);

    std::printf("utterances: %zu, audio %.0f s, lessons %zu\n", run.outcomes.size(),
                run.audioSeconds, lessons.size());
    printTable(run.outcomes, lessons);
    std::vector<double> latencies;
    int silent = 0;
    for (const Outcome& o : run.outcomes) {
        if (o.heard)
            latencies.push_back(o.latencyMs);
        silent += !o.heard;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    if (!options.isSet("raw"))
        std::printf("latency from the end of speech to the event: median %.0f ms, 95%% %.0f ms, "
                    "max %.0f ms\n",
                    percentile(latencies, 0.5), percentile(latencies, 0.95),
                    percentile(latencies, 1.0));
    std::printf("utterances without an event: %d\n", silent);
    std::printf("real-time factor (CPU seconds per audio second): %.3f\n", cpu / run.audioSeconds);
    std::printf("peak memory (max RSS): %.1f MiB\n", usage.ru_maxrss / 1024.0);
    return 0;
}

// Recognition benchmark: how often the right sentence is recognised, another
// sentence accepted, speech outside the lesson accepted, at each difficulty;
// plus latency, real-time factor and memory of the recognition context.
#include "BenchAudioSource.h"
#include "Corpus.h"
#include "speech/IRecognizer.h"
#include "speech/RecoContext.h"
#include "speech/WaveFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
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
    int confidence = 0;
    double latencyMs = 0;
};

struct LastEvent {
    bool arrived = false;
    QString text;
    int confidence = 0;
    long long endSample = 0;
    BenchAudioSource::Clock::time_point at;
};

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
    file.write((lines.join("\r\n") + "\r\n").toUtf8());
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.addOption({"lessons", "lesson source (JSON)", "file"});
    options.addOption({"outside", "sentences outside the lessons (JSON)", "file"});
    options.addOption({"cache", "folder for the generated speech", "dir"});
    options.process(app);

    const auto lessons = Corpus::readLessons(options.value("lessons"));
    Corpus corpus(options.value("cache"));
    const auto samples = corpus.build(lessons, options.value("outside"));
    if (lessons.empty() || samples.empty()) {
        std::fprintf(stderr, "no lessons or no speech (espeak-ng and sox are needed)\n");
        return 1;
    }

    auto owned = std::make_unique<BenchAudioSource>();
    BenchAudioSource& source = *owned;
    const double cpuBefore = cpuSeconds();
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

    std::vector<Outcome> outcomes;
    double audioSeconds = 0;
    const std::vector<std::int16_t> lead(6400, 0), tail(16000, 0);
    for (int l = 0; l < static_cast<int>(lessons.size()); ++l) {
        auto grammar = context.CreateGrammar(0);
        grammar->CmdLoadFromFile(
            writeGrammar(options.value("cache") + "/~File.xml", lessons[l].phrases), 1);
        grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSActive);
        for (const BenchSample& s : samples) {
            if ((s.kind == BenchSample::Kind::Lesson || s.kind == BenchSample::Kind::NearMiss) &&
                s.lesson != l)
                continue;
            const auto audio = platform::WaveFile::read(s.wave).toMono16k();
            last = {};
            source.feed(lead);
            source.feed(audio);
            source.feed(tail);
            audioSeconds += static_cast<double>(lead.size() + audio.size() + tail.size()) / 16000;
            int idle = 0;
            while (!last.arrived && idle < 25) {
                pump(10);
                idle += source.drained() ? 1 : 0;
            }
            Outcome o{&s};
            o.heard = last.arrived;
            o.phrase = lessons[l].phrases.indexOf(last.text);
            o.confidence = last.confidence;
            o.latencyMs = std::chrono::duration<double, std::milli>(
                              last.at - source.readTimeOf(last.endSample))
                              .count();
            if (o.heard)
                outcomes.push_back(o);
            else
                outcomes.push_back({&s, false, -1, 0, 0});
        }
    }
    const double cpu = cpuSeconds() - cpuBefore;

    std::printf("utterances: %zu, audio %.0f s, lessons %zu\n", outcomes.size(), audioSeconds,
                lessons.size());
    std::printf("difficulty | right recognised (clean/noisy) | other accepted as target | "
                "outside accepted | near-miss accepted\n");
    for (int d = 1; d <= 10; ++d) {
        const int t = d * 10;
        int right = 0, rightN = 0, rightClean = 0, cleanN = 0, other = 0, pairs = 0;
        int out = 0, outN = 0, near = 0, nearN = 0;
        for (const Outcome& o : outcomes) {
            const BenchSample& s = *o.sample;
            const bool accepted = o.phrase >= 0 && o.confidence >= t;
            switch (s.kind) {
            case BenchSample::Kind::Lesson: {
                const bool ok = accepted && o.phrase == s.sentence;
                ++rightN;
                right += ok;
                cleanN += !s.noisy;
                rightClean += ok && !s.noisy;
                pairs += static_cast<int>(lessons[s.lesson].phrases.size()) - 1;
                other += accepted && o.phrase != s.sentence;
                break;
            }
            case BenchSample::Kind::NearMiss:
                ++nearN;
                near += accepted;
                break;
            default:
                ++outN;
                out += accepted;
            }
        }
        std::printf("%10d | %6.1f%% (%5.1f%% / %5.1f%%) | %6.2f%% (%d) | %6.1f%% | %6.1f%%\n", d,
                    share(right, rightN), share(rightClean, cleanN),
                    share(right - rightClean, rightN - cleanN), share(other, pairs), other,
                    share(out, outN), share(near, nearN));
    }
    std::vector<double> latencies;
    int silent = 0;
    for (const Outcome& o : outcomes) {
        if (o.heard)
            latencies.push_back(o.latencyMs);
        silent += !o.heard;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("latency from the audio that ended the utterance to the event: median %.1f ms, "
                "95%% %.1f ms, max %.1f ms (%d utterances without an event)\n",
                percentile(latencies, 0.5), percentile(latencies, 0.95), percentile(latencies, 1.0),
                silent);
    std::printf("real-time factor (CPU seconds per audio second): %.3f\n", cpu / audioSeconds);
    std::printf("peak memory (max RSS): %.1f MiB\n", usage.ru_maxrss / 1024.0);
    return 0;
}

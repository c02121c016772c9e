// A long practice session: judged attempts through the real recogniser
// (PocketSphinx through the recognition context, as the exercise window
// listens), on espeak-ng speech of the demo lessons' sentences fed as the
// microphone, each judged against the sentence to say and stored as scoring
// stores it: the sentence, lesson, unit, part and day rows in one
// transaction of the SQLCipher lesson database. Every ten attempts the
// session steps to the next lesson: a new grammar file is written and
// loaded and the lesson's queries are opened again.
//
// Reports the process's resident memory, open handles (file descriptors)
// and threads at the start and at the end, and the time per attempt.
//
//   bench_session [attempts (500)] [lesson database (the demo's)]
#include "BenchAudioSource.h"
#include "core/MyDataEm.h"
#include "exercise/ExerRecognition.h"
#include "speech/IRecognizer.h"
#include "speech/ISpeechGrammar.h"
#include "speech/RecoContext.h"
#include "speech/WaveFile.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unistd.h>

using platform::ISpeechGrammar;
using platform::db::Recordset;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kAttemptsPerLesson = 10;
const std::vector<std::int16_t> kLead(6400, 0), kTail(16000, 0);

struct Usage {
    double rssMiB = 0;
    int handles = 0;
    int threads = 0;
};

Usage usageNow() {
    Usage u;
    QFile statm("/proc/self/statm");
    if (statm.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = statm.readAll().split(' ');
        u.rssMiB = fields.value(1).toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) /
                   (1024.0 * 1024.0);
    }
    u.handles =
        static_cast<int>(QDir("/proc/self/fd")
                             .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
                             .size());
    QFile status("/proc/self/status");
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Threads:"))
                u.threads = line.mid(8).trimmed().toInt();
    return u;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

struct Lesson {
    QString id;
    QStringList phrases;                           // EDlgSB, trimmed, in query order
    std::vector<std::vector<std::int16_t>> speech; // espeak-ng, 16 kHz
};

std::vector<Lesson> readLessons(MyDataEm& data, const QString& speechDir) {
    std::vector<Lesson> lessons;
    QStringList ids;
    Recordset& units = data.rsSelUnit;
    for (units.MoveFirst(); !units.IsEOF(); units.MoveNext()) {
        const QString id = units.Field("UnitID").toString();
        if (!id.endsWith("00"))
            ids << id;
    }
    int n = 0;
    for (const QString& id : ids) {
        data.Reopen(data.SelUnitContent, "UnitID", id);
        Lesson lesson{id, {}, {}};
        Recordset& rs = data.rsSelUnitContent;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
            const QString text = rs.Field("EDlgSB").toString().trimmed();
            const QString wave = QString("%1/%2.wav").arg(speechDir).arg(n++);
            if (QProcess::execute("espeak-ng", {"-v", "en-us+m3", "-s", "150", "-w", wave, text}) !=
                0)
                return {};
            lesson.phrases << text;
            lesson.speech.push_back(platform::WaveFile::read(wave).toMono16k());
        }
        if (lesson.phrases.size() >= 2)
            lessons.push_back(std::move(lesson));
    }
    return lessons;
}

// The grammar file as the exercise window writes it.
void writeGrammar(const QString& path, const QStringList& phrases) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(ExerRecognition::GrammarBytes(phrases));
}

// The lesson's queries as opening a lesson runs them, and today's row.
void openLesson(MyDataEm& data, const QString& id) {
    data.Reopen(data.Command1, "UnitID", id.left(2) + "0000");
    data.Reopen(data.SelUnitContent, "UnitID", id);
    data.OpenUnitRow(id);
    data.rsSelUnit.MoveFirst();
    data.rsSelUnit.Find("UnitID = '" + id + "'");
    const QDate today = QDate::currentDate();
    data.Reopen(data.SelRe, "Date1", today);
    if (data.rsSelRe.RecordCount() == 0) {
        data.rsSelRe.AddNew();
        data.rsSelRe.SetField("NowChengji", 0);
        data.rsSelRe.SetField("NowCishu", 0);
        data.rsSelRe.SetField("NowData", today);
        data.rsSelRe.Update();
    }
}

void add(Recordset& rs, const QString& field, int amount) {
    const QVariant value = rs.Field(field);
    rs.SetField(field, value.isNull() ? amount : value.toLongLong() + amount);
    rs.Update();
}

// One attempt's rows, in one transaction, as scoring writes them.
void store(MyDataEm& data, int points) {
    data.DbCn.BeginTrans();
    for (auto [field, amount] : {std::pair{"chengji", points}, std::pair{"cishu", 1}}) {
        if (points == 0 && QLatin1String(field) == QLatin1String("chengji"))
            continue;
        add(data.rsSelRe, field == QLatin1String("cishu") ? "NowCishu" : "NowChengji", amount);
        for (Recordset* rs :
             {&data.rsSelUnitContent, &data.rsCommand1, &data.rsSelUnit, &data.rsselunited})
            add(*rs, field, amount);
    }
    data.DbCn.CommitTrans();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int attempts = argc > 1 ? std::max(20, atoi(argv[1])) : 500;
    const QString source = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString(VERBARO_DEMO_DB);

    QTemporaryDir folder;
    QDir().mkpath(folder.path() + "/data");
    QDir().mkpath(folder.path() + "/speech");
    if (!QFile::copy(source, folder.path() + "/data/qvedbdemo.aaa")) {
        std::fprintf(stderr, "cannot copy the lesson database %s\n", qPrintable(source));
        return 1;
    }
    QFile(folder.path() + "/data/qvedbdemo.aaa")
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    const QString dataPath = folder.path() + "/";
    MyDataEm data;
    data.OpenDatabase(dataPath);
    const std::vector<Lesson> lessons = readLessons(data, folder.path() + "/speech");
    if (lessons.empty()) {
        std::fprintf(stderr, "no lessons, or espeak-ng failed\n");
        return 1;
    }

    auto owned = std::make_unique<BenchAudioSource>(false);
    BenchAudioSource& microphone = *owned;
    platform::RecoContext context(std::move(owned));
    for (const char* name :
         {"HighConfidenceThreshold", "NormalConfidenceThreshold", "LowConfidenceThreshold"})
        context.Recognizer().SetPropertyNumber(name, 10); // difficulty 1
    bool arrived = false;
    QString heard;
    QObject::connect(&context, &platform::IRecoContext::Recognition,
                     [&](qint32, const QVariant&, int, const platform::RecoResult& r) {
                         arrived = true;
                         heard = r.PhraseInfo.GetText(0, -1, true);
                     });
    QObject::connect(&context, &platform::IRecoContext::FalseRecognition,
                     [&](qint32, const QVariant&, const platform::RecoResult&) {
                         arrived = true;
                         heard.clear();
                     });

    const Usage start = usageNow();
    Usage warm, half;
    std::vector<double> attemptMs, storeMs;
    int judgedRight = 0, saidRight = 0, noEvent = 0;
    std::unique_ptr<ISpeechGrammar> grammar;
    const Lesson* lesson = nullptr;
    const auto began = Clock::now();
    for (int i = 0; i < attempts; ++i) {
        if (i % kAttemptsPerLesson == 0) {
            // Stepping to the next lesson, as the stepping window does.
            lesson = &lessons[static_cast<std::size_t>(i / kAttemptsPerLesson) % lessons.size()];
            openLesson(data, lesson->id);
            writeGrammar(dataPath + "~file.xml", lesson->phrases);
            grammar = context.CreateGrammar(0);
            grammar->CmdLoadFromFile(dataPath + "~File.xml", 1);
            grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSInactive);
        }
        if (i == 10)
            warm = usageNow();
        if (i == attempts / 2)
            half = usageNow();
        const int sentence = i % static_cast<int>(lesson->phrases.size());
        data.rsSelUnitContent.SetAbsolutePosition(sentence + 1);
        const QString target = lesson->phrases[sentence];
        // Every third attempt the learner says another sentence of the lesson.
        const bool right = i % 3 != 2;
        const int said =
            right ? sentence : (sentence + 1) % static_cast<int>(lesson->phrases.size());
        saidRight += right;

        const auto t0 = Clock::now();
        arrived = false;
        grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSActive);
        microphone.feed(kLead);
        microphone.feed(lesson->speech[static_cast<std::size_t>(said)]);
        microphone.feed(kTail);
        int idle = 0;
        while (!arrived && idle < 200) {
            QEventLoop loop;
            QTimer::singleShot(5, &loop, &QEventLoop::quit);
            loop.exec();
            idle += microphone.drained() ? 1 : 0;
        }
        grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSInactive);
        noEvent += !arrived;
        const bool correct = arrived && heard == target;
        judgedRight += correct && right;
        const auto t1 = Clock::now();
        store(data, correct ? 1 : 0);
        const auto t2 = Clock::now();
        attemptMs.push_back(std::chrono::duration<double, std::milli>(t2 - t0).count());
        storeMs.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
        // Let the recogniser finish the tail's silence before the next attempt.
        while (!microphone.drained())
            QThread::msleep(1);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
    grammar.reset();
    const Usage end = usageNow();

    std::printf("%d judged attempts on %zu lessons in %.1f s (%d said right, %d of them judged "
                "right; %d without an event)\n\n",
                attempts, lessons.size(), seconds, saidRight, judgedRight, noEvent);
    std::printf(
        "| measure | at the start | after 10 attempts | after %d | at the end | end - start "
        "| end - after 10 |\n",
        attempts / 2);
    std::printf("|---|---|---|---|---|---|---|\n");
    std::printf("| resident memory (MiB) | %.1f | %.1f | %.1f | %.1f | %+.1f | %+.1f |\n",
                start.rssMiB, warm.rssMiB, half.rssMiB, end.rssMiB, end.rssMiB - start.rssMiB,
                end.rssMiB - warm.rssMiB);
    std::printf("| open handles (fds) | %d | %d | %d | %d | %+d | %+d |\n", start.handles,
                warm.handles, half.handles, end.handles, end.handles - start.handles,
                end.handles - warm.handles);
    std::printf("| threads | %d | %d | %d | %d | %+d | %+d |\n\n", start.threads, warm.threads,
                half.threads, end.threads, end.threads - start.threads, end.threads - warm.threads);
    std::printf("| time per attempt | median | 95%% | max |\n|---|---|---|---|\n");
    std::printf("| whole attempt (speech fed to the stored rows) | %.0f ms | %.0f ms | %.0f ms |\n",
                percentile(attemptMs, 0.5), percentile(attemptMs, 0.95),
                percentile(attemptMs, 1.0));
    std::printf("| storing the rows (one transaction) | %.1f ms | %.1f ms | %.1f ms |\n",
                percentile(storeMs, 0.5), percentile(storeMs, 0.95), percentile(storeMs, 1.0));
    const bool within = end.rssMiB - warm.rssMiB <= 5.0;
    std::printf("\nmemory growth after warm-up %.1f MiB (aim: at most 5 MiB): %s\n",
                end.rssMiB - warm.rssMiB, within ? "met" : "NOT met");
    return 0;
}

// A learner's attempts are never half-written: the program killed outright
// (SIGKILL) at random moments of a practice run, again and again on the same
// lesson database, leaves a file that opens, passes SQLite's integrity check
// and whose sentence, lesson, unit, part and day totals are exactly those of
// the attempts that were committed; the one attempt in flight at the kill is
// either wholly stored or not at all.
//
// The child logs each attempt before it is made ("try <sentence> <points>")
// and once it was scored ("done"); the parent settles the attempt in flight
// at each kill from the file ("kept" / "lost") before starting the next.
// VERBARO_FAULTS_SEED=<n> repeats a run's kill moments and attempts.
#include "ExerFixture.h"
#include "StoredTotals.h"
#include "exercise/ExerModes.h"
#include "exercise/frmExer.h"
#include "widgets/FlexGrid.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <random>
#include <unistd.h>

namespace {

const char* const kFolderVariable = "VERBARO_KILLED_PRACTICE_FOLDER";
const char* const kSeedVariable = "VERBARO_KILLED_PRACTICE_SEED";
constexpr int kKills = 30;

QString DatabaseFile(const QString& folder) {
    return folder + "/data/qvedbdemo.aaa";
}

// One line per write(2) with O_APPEND: a kill leaves whole lines only.
void AppendLine(const QString& path, const QByteArray& line) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    const QByteArray bytes = line + '\n';
    ASSERT_EQ(::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    ::close(fd);
}

class KilledPracticeTest : public ExerFixture {};

// The child: opens the shared lesson database and follows sentences of the
// monologue lesson, right and wrong at random difficulties, until killed.
TEST_F(KilledPracticeTest, ChildPractisesUntilKilled) {
    const QString shared = qEnvironmentVariable(kFolderVariable);
    if (shared.isEmpty())
        GTEST_SKIP() << "run by KilledAtRandomMomentsKeepsWholeAttemptsOnly";
    GlobalVars& g = program->vars;
    g.DataPath = shared + "/";
    program->MyDataEm.OpenDatabase(g.DataPath);
    frmExer& w = LoadLesson("030101");
    g.AgentChar = fake.agent.character("Merlin");
    w.RETRYNUMS = 1;
    std::mt19937 rng(qEnvironmentVariable(kSeedVariable).toUInt());
    const QString log = shared + "/attempts.log";
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        w.EGrid->SetRow(1 + static_cast<int>(rng() % 3));
        w.modes().CmdFollowOne_Click();
        ASSERT_TRUE(voice().playNext());
        ASSERT_TRUE(Listening());
        const QString id = program->MyDataEm.rsSelUnitContent.Field("DlgID").toString();
        const bool right = rng() % 3 != 0;
        w.Fenshu = static_cast<std::int16_t>(1 + rng() % 10);
        AppendLine(log, QString("try %1 %2").arg(id).arg(right ? w.Fenshu : 0).toLatin1());
        const std::size_t shownBefore = fake.messages.shown.size();
        ASSERT_TRUE(reco().hear(right ? w.TargetText : QStringLiteral("Something else")));
        AppendLine(log, fake.messages.shown.size() == shownBefore ? "done" : "refused");
    }
}

// The attempts the log says were committed, and the one in flight if any.
struct Ledger {
    StoredTotals committed;
    std::optional<std::pair<QString, qint64>> inFlight;
    int attempts = 0;

    static Ledger read(const QString& path) {
        Ledger l;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return l;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words[0] == "try") {
                EXPECT_FALSE(l.inFlight) << "an attempt was never settled";
                l.inFlight = {QString::fromLatin1(words.at(1)), words.at(2).toLongLong()};
            } else if (words[0] == "done" || words[0] == "kept") {
                EXPECT_TRUE(l.inFlight);
                l.committed = l.committed.plus(l.inFlight->first, l.inFlight->second);
                l.inFlight.reset();
                ++l.attempts;
            } else if (words[0] == "refused" || words[0] == "lost") {
                l.inFlight.reset();
            }
        }
        return l;
    }
};

TEST_F(KilledPracticeTest, KilledAtRandomMomentsKeepsWholeAttemptsOnly) {
    if (!qEnvironmentVariableIsEmpty(kFolderVariable))
        GTEST_SKIP();
    program.reset(); // the children alone use the database
    const QString shared = folder.path();
    const QString log = shared + "/attempts.log";
    QDir().mkpath(shared + "/tmp");
    const unsigned seed = qEnvironmentVariableIsSet("VERBARO_FAULTS_SEED")
                              ? qEnvironmentVariable("VERBARO_FAULTS_SEED").toUInt()
                              : std::random_device{}();
    std::printf("kill moments from seed %u (VERBARO_FAULTS_SEED=%u repeats them)\n", seed, seed);
    RecordProperty("seed", std::to_string(seed));
    std::mt19937 rng(seed);

    qint64 readyMs = 0; // how long a child takes to reach the practice
    int keptInFlight = 0, lostInFlight = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kFolderVariable, shared);
        env.insert(kSeedVariable, QString::number(rng()));
        env.insert("TMPDIR", shared + "/tmp");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=KilledPracticeTest.ChildPractisesUntilKilled"});
        ASSERT_TRUE(child.waitForStarted(10000));
        // A quarter of the kills come while the child starts and loads the
        // lesson (the day's row is added then), the rest while it practises.
        const bool early = readyMs > 0 && rng() % 4 == 0;
        if (early) {
            QThread::msleep(static_cast<unsigned long>(rng() % readyMs));
        } else {
            QByteArray out;
            while (!out.contains("ready\n") && child.state() == QProcess::Running &&
                   clock.elapsed() < 60000) {
                child.waitForReadyRead(100);
                out += child.readAllStandardOutput();
            }
            ASSERT_TRUE(out.contains("ready\n"))
                << "kill " << kill << ": the child never got ready";
            if (readyMs == 0)
                readyMs = std::max<qint64>(1, clock.elapsed());
            QThread::msleep(static_cast<unsigned long>(rng() % 400));
        }
        ASSERT_EQ(child.state(), QProcess::Running) << "kill " << kill << ": the child ended";
        child.kill(); // SIGKILL
        ASSERT_TRUE(child.waitForFinished(10000));

        QString integrity;
        const StoredTotals stored = StoredTotals::read(DatabaseFile(shared), &integrity);
        ASSERT_EQ(integrity, "ok") << "kill " << kill;
        ASSERT_TRUE(stored.rollsUp()) << "kill " << kill << ": " << qPrintable(stored.describe());
        const Ledger ledger = Ledger::read(log);
        if (stored == ledger.committed) {
            if (ledger.inFlight) {
                AppendLine(log, "lost");
                ++lostInFlight;
            }
        } else {
            ASSERT_TRUE(ledger.inFlight)
                << "kill " << kill << ": stored " << qPrintable(stored.describe())
                << "\n  committed " << qPrintable(ledger.committed.describe());
            ASSERT_EQ(stored,
                      ledger.committed.plus(ledger.inFlight->first, ledger.inFlight->second))
                << "kill " << kill << ": stored " << qPrintable(stored.describe())
                << "\n  committed " << qPrintable(ledger.committed.describe()) << " + "
                << qPrintable(ledger.inFlight->first) << " " << ledger.inFlight->second;
            AppendLine(log, "kept");
            ++keptInFlight;
        }
    }
    const Ledger ledger = Ledger::read(log);
    std::printf("%d attempts stored over %d kills (in flight at a kill: %d kept, %d lost)\n",
                ledger.attempts, kKills, keptInFlight, lostInFlight);
    EXPECT_GT(ledger.attempts, kKills) << "the kills came before any practice";
}

} // namespace

// One judged attempt: from the recogniser's recognition event to the score
// label, the lesson total, both grids' columns and the committed rows, on a
// copy of the demo lesson database (SQLCipher, write-ahead log, full sync).
// The agent and the reward sound are the test fakes, so the sound's length
// is not counted.
//
//   build/default/bench/attempt/bench_attempt [lesson database] [attempts]
#include "FakePlatform.h"
#include "core/Program.h"
#include "core/generalsub.h"
#include "exercise/ExerModes.h"
#include "exercise/frmExer.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Timings {
    std::vector<double> ms;
    std::vector<int> writes;

    void print(const char* what) {
        if (ms.empty())
            return;
        std::sort(ms.begin(), ms.end());
        const auto at = [&](double q) { return ms[static_cast<size_t>(q * (ms.size() - 1))]; };
        std::printf(
            "  %-14s %5zu   median %7.3f ms   p95 %7.3f ms   max %7.3f ms   row writes %d\n", what,
            ms.size(), at(0.5), at(0.95), ms.back(), writes.empty() ? 0 : writes[0]);
    }
};

QString FirstLesson(Program& program) {
    auto& units = program.MyDataEm.rsSelUnit;
    for (units.MoveFirst(); !units.IsEOF(); units.MoveNext()) {
        const QString id = units.Field("UnitID").toString();
        if (!id.endsWith("00"))
            return id;
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString source = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(VERBARO_DEMO_DB);
    const int attempts = argc > 2 ? std::max(2, atoi(argv[2])) : 400;

    QTemporaryDir folder;
    QDir().mkpath(folder.path() + "/data");
    if (!QFile::copy(source, folder.path() + "/data/qvedbdemo.aaa")) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
        return 1;
    }
    QFile(folder.path() + "/data/qvedbdemo.aaa")
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner);

    FakePlatform fake;
    Program program(fake.platform);
    GlobalVars& g = program.vars;
    g.AppPath = folder.path() + "/";
    g.DataPath = g.AppPath;
    g.ScreenWidth = 1024;
    g.AgentChoice = 2;
    g.ScoreSound = 1;
    fake.agent.Load("Merlin", g.AppPath + "CHAR/Merlin.acs");
    g.AgentChar = fake.agent.character("Merlin");
    program.MyDataEm.OpenDatabase(g.DataPath);

    const QString lesson = FirstLesson(program);
    MyDataEm& data = program.MyDataEm;
    g.CurUnitID = lesson;
    ReadLessonRow(program);
    data.Reopen(data.Command1, "UnitID", lesson.left(2) + "0000");
    data.Reopen(data.SelUnitContent, "UnitID", lesson);
    frmExer& w = program.forms.get<frmExer>();
    w.Load();
    FakeVoice& voice = *fake.speech.voices.at(fake.speech.voices.size() - 2);
    FakeRecoContext& reco = *fake.speech.contexts.back();

    // A row written: the change a recordset reports once its Update is done
    // (an edit in progress reports changes too).
    int writes = 0;
    for (auto* rs : {&data.rsSelRe, &data.rsSelUnitContent, &data.rsCommand1, &data.rsSelUnit,
                     &data.rsselunited})
        QObject::connect(rs, &platform::db::Recordset::rowChanged, [&writes, rs](int) {
            if (rs->EditMode() == platform::db::EditModeEnum::None)
                ++writes;
        });

    Timings right, wrong;
    const int sentences = data.rsSelUnitContent.RecordCount();
    for (int i = 0; i < attempts; ++i) {
        // The learner's turn on a sentence (not timed).
        w.EGrid->SetRow(1 + i % sentences);
        w.modes().CmdFollowOne_Click();
        voice.playNext();
        const bool correct = i % 2 == 0;
        const QString said = correct ? w.TargetText : QStringLiteral("something else entirely");
        writes = 0;
        QElapsedTimer clock;
        clock.start();
        reco.hear(said);
        const double ms = clock.nsecsElapsed() / 1e6;
        Timings& t = correct ? right : wrong;
        t.ms.push_back(ms);
        t.writes.push_back(writes);
    }
    std::printf("judged attempts on lesson %s of %s (one transaction each)\n", qPrintable(lesson),
                qPrintable(source));
    right.print("right answer");
    wrong.print("wrong answer");
    w.Unload();
    return 0;
}

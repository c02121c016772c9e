// The exercise window on the real speech service: the lesson's recordings
// play through PulseAudio and their stream events drive read-all to its end.
#include "ExerFixture.h"
#include "SpeechTestSupport.h"
#include "exercise/ExerModes.h"
#include "exercise/ExerPlayback.h"
#include "exercise/frmExer.h"
#include "speech/IVoice.h"
#include "speech/SpeechFactory.h"
#include "widgets/FlexGrid.h"

#include <QDir>
#include <QLabel>
#include <QTest>

namespace {

class ReadAllPulseTest : public ExerFixture {
protected:
    void SetUp() override {
        SKIP_WITHOUT_PULSE();
        ExerFixture::SetUp();
        fake.platform.speech = &speech;
        const QString lessonDir = folder.path() + "/lst/030101";
        QDir().mkpath(lessonDir);
        for (int i = 1; i <= 3; ++i)
            speechtest::writeTone(lessonDir + QString("/0301010000%1").arg(i) + "2.wav", 0.4);
    }

    platform::SpeechFactory speech;
};

TEST_F(ReadAllPulseTest, ReadsEverySentenceInTurnToTheEnd) {
    frmExer& w = LoadLesson("030101");
    QList<int> highlighted;
    QObject::connect(w.priVoice.get(), &platform::IVoice::StartStream, &w,
                     [&](qint32, const QVariant&) {
                         for (int r = 1; r < w.EGrid->Rows(); ++r)
                             if (w.EGrid->CellBackColorAt(r, 2) == ReadingColour)
                                 highlighted << r;
                         if (highlighted.size() == 2)
                             w.grab().save(speechtest::tempDir() + "/exercise-readall.png");
                     });
    w.modes().CmdReadAll_Click();
    EXPECT_EQ(w.CurMode, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.CurMode == 0; }, 15000));
    EXPECT_EQ(highlighted, QList<int>({1, 2, 3}));
    EXPECT_EQ(w.Label1->text(), " Welcome!");
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(w.EGrid->CellBackColorAt(r, 2), w.EGrid->BackColor()) << r;
    for (const auto& m : fake.messages.shown)
        ADD_FAILURE() << qPrintable(m.text);
    EXPECT_TRUE(fake.programEnd.runtimeErrors.isEmpty())
        << qPrintable(fake.programEnd.runtimeErrors.join("; "));
}

} // namespace

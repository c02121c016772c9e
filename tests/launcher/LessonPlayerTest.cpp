#include "LauncherFixture.h"

#include <QComboBox>
#include <QLabel>

namespace {

// A lesson folder of `files` recordings named as the recordings tool names
// them: 11 characters of the sentence's id, then 0, 1 or 2.
class LessonPlayer : public LauncherFixture {
protected:
    void SetUp() override {
        QByteArray ini = "[cunit]\r\n";
        for (int n = 1; n <= 90; ++n)
            ini += "  " + QByteArray::number(n) + " = " +
                   gbk("第%1课").replace("%1", QByteArray::number(n)) + "\r\n";
        ini += "[DIR]\r\n";
        for (int n = 1; n <= 90; ++n)
            ini += QByteArray::number(n) + "=L" + QByteArray::number(n) + "\r\n";
        writeFile("2003.ini", ini);
    }

    static QString sentenceKey(int lesson, int sentence) {
        return QStringLiteral("%1%2")
            .arg(lesson, 6, 10, QLatin1Char('0'))
            .arg(sentence, 5, 10, QLatin1Char('0'));
    }

    void makeRecordings(int lesson, int files) {
        for (int i = 0; i < files; ++i) {
            // Mixed letter case: the order must not depend on it.
            const QString ext = i % 2 ? ".WAV" : ".wav";
            writeFile(QStringLiteral("lst/L%1/%2%3%4")
                          .arg(lesson)
                          .arg(sentenceKey(lesson, i / 3))
                          .arg(i % 3)
                          .arg(ext),
                      "RIFF");
        }
    }

    void writeTexts(const QString& base, const char* section, int lesson, int sentences,
                    const QString& prefix) {
        QByteArray text = QByteArray("[") + section + "]\r\n";
        for (int s = 0; s < sentences; ++s)
            text += sentenceKey(lesson, s).toLatin1() +
                    "0=" + gbk(prefix + QString::number(s + 1)) + "\r\n";
        writeFile(base + ".ini", text);
    }

    void choose(int lesson) {
        window().FlatComboBox1->setCurrentIndex(lesson - 1);
        window().FlatComboBox1Change();
    }

    // Runs the oldest notice the player holds, as the event loop would.
    void deliverOldestNotice() {
        ASSERT_FALSE(fake.media.pending.empty());
        auto notice = std::move(fake.media.pending.front());
        fake.media.pending.erase(fake.media.pending.begin());
        notice();
    }

    QStringList openedNames() const {
        QStringList names;
        for (const QString& path : fake.media.opened)
            names << QFileInfo(path).fileName();
        return names;
    }

    QString title() { return window().Label3->text(); }
    QString english() { return window().RichEdit1->toPlainText(); }
    QString chinese() { return window().RichEdit2->toPlainText(); }
};

} // namespace

TEST_F(LessonPlayer, CountsTenSentencesOfThirtyFilesAndStartsAgain) {
    makeRecordings(1, 30);
    writeTexts("e", "ed", 1, 10, "Hello ");
    writeTexts("c", "cd", 1, 10, "你好");
    choose(1);
    EXPECT_EQ(title(), "第1课");
    EXPECT_TRUE(fake.media.opened.isEmpty());
    window().LabelplClick();
    EXPECT_EQ(title(), "初次见面 （1/10句）");
    EXPECT_EQ(english(), "Hello 1");
    EXPECT_EQ(chinese(), "你好1");
    fake.media.playThrough(3);
    EXPECT_EQ(title(), "初次见面 （2/10句）");
    fake.media.playThrough(1); // the second file of a sentence keeps the texts
    EXPECT_EQ(english(), "Hello 2");
    fake.media.playThrough(23);
    EXPECT_EQ(title(), "初次见面 （10/10句）");
    EXPECT_EQ(chinese(), "你好10");
    fake.media.playThrough(3);
    EXPECT_EQ(title(), "初次见面 （1/10句）");
    EXPECT_EQ(english(), "Hello 1");
    EXPECT_EQ(fake.media.opened.size(), 31);
    EXPECT_EQ(QFileInfo(fake.media.opened[30]).fileName(),
              QFileInfo(fake.media.opened[0]).fileName());
    // Sorted by name without regard to case.
    EXPECT_TRUE(QFileInfo(fake.media.opened[1]).fileName().startsWith(sentenceKey(1, 0) + "1"));
}

TEST_F(LessonPlayer, ThirtyOneFilesShowAnEleventhSentenceOverTen) {
    makeRecordings(2, 31);
    choose(2);
    window().LabelplClick();
    fake.media.playThrough(30);
    EXPECT_EQ(title(), "碰到熟人 （11/10句）");
    fake.media.playThrough(1);
    EXPECT_EQ(title(), "碰到熟人 （1/10句）");
}

TEST_F(LessonPlayer, StopIgnoresTheLateNotice) {
    makeRecordings(1, 6);
    choose(1);
    window().LabelplClick();
    fake.media.playThrough(1);
    const QString shown = title();
    window().LabelstClick();
    EXPECT_EQ(title(), shown);
    EXPECT_TRUE(english().isEmpty());
    const auto opened = fake.media.opened.size();
    fake.media.deliverNotices(); // the notice of the play the stop ended
    EXPECT_EQ(fake.media.opened.size(), opened);
    EXPECT_EQ(window().Playing, 0);
}

TEST_F(LessonPlayer, NextAndPreviousMoveBetweenLessons) {
    TForm1& w = window();
    w.LabelshClick(); // nothing selected: nothing at all
    EXPECT_EQ(w.FlatComboBox1->currentIndex(), -1);
    EXPECT_TRUE(title().isEmpty());
    w.LabelxiClick(); // nothing selected: lesson 1
    EXPECT_EQ(w.FlatComboBox1->currentIndex(), 0);
    EXPECT_EQ(title(), "第1课");
    w.LabelxiClick();
    EXPECT_EQ(title(), "第2课");
    w.LabelshClick();
    w.LabelshClick(); // first lesson: stays
    EXPECT_EQ(w.FlatComboBox1->currentIndex(), 0);
    EXPECT_EQ(title(), "第1课");
}

TEST_F(LessonPlayer, NextOnTheLastLessonStopsAndStays) {
    makeRecordings(90, 3);
    writeTexts("e1", "ed", 90, 1, "Help ");
    choose(90);
    window().LabelplClick();
    EXPECT_EQ(english(), "Help 1");
    window().LabelxiClick();
    EXPECT_EQ(window().FlatComboBox1->currentIndex(), 89);
    EXPECT_EQ(window().Playing, 0);
    EXPECT_EQ(fake.media.mode(), platform::MediaMode::NotOpen);
    EXPECT_TRUE(english().isEmpty());
}

TEST_F(LessonPlayer, LessonsUpTo72ReadEAndCFromThenOnE1AndC1) {
    for (int lesson : {72, 73}) {
        makeRecordings(lesson, 3);
        writeTexts("e", "ed", lesson, 1, QStringLiteral("short %1 ").arg(lesson));
        writeTexts("e1", "ed", lesson, 1, QStringLiteral("long %1 ").arg(lesson));
        writeTexts("c", "cd", lesson, 1, QStringLiteral("短%1 ").arg(lesson));
        writeTexts("c1", "cd", lesson, 1, QStringLiteral("长%1 ").arg(lesson));
        choose(lesson);
        window().LabelplClick();
        const bool longFiles = lesson > 72;
        EXPECT_EQ(english(),
                  QStringLiteral("%1 %2 1").arg(longFiles ? "long" : "short").arg(lesson));
        EXPECT_EQ(chinese(), QStringLiteral("%1%2 1").arg(longFiles ? "长" : "短").arg(lesson));
    }
}

TEST_F(LessonPlayer, ShortFileNamePlaysWithoutChangingTheTexts) {
    writeFile("lst/L1/a.wav", "RIFF");
    writeFile("lst/L1/b0.wav", "RIFF");
    choose(1);
    window().LabelplClick();
    EXPECT_EQ(title(), "第1课");
    fake.media.playThrough(1);
    EXPECT_EQ(fake.media.opened.size(), 2);
    EXPECT_EQ(title(), "第1课");
    EXPECT_EQ(window().Playing, 1);
}

TEST_F(LessonPlayer, PlayWithoutLessonOrFolder) {
    window().LabelplClick();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "请您选择课程！");
    choose(5); // no folder lst/L5
    window().LabelplClick();
    EXPECT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(fake.media.opened.isEmpty());
    EXPECT_EQ(window().Playing, 0);
}

TEST_F(LessonPlayer, UnplayableFileStopsTheRunWithAnError) {
    makeRecordings(1, 3);
    choose(1);
    fake.media.unopenable << QDir(appDir() + "lst/L1").filePath(sentenceKey(1, 0) + "1.WAV");
    window().LabelplClick();
    fake.media.playThrough(1);
    EXPECT_EQ(window().Playing, 0);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

// The lesson files are data: markup in them is shown as it is written, and a
// picture reference loads nothing.
TEST_F(LessonPlayer, TextsAndCaptionsAreShownAsWritten) {
    const QByteArray markup = "<img src=\"/etc/hosts\"><b>Hi</b>";
    QByteArray ini = "[cunit]\r\n1=" + markup + "\r\n[dir]\r\n1=L1\r\n";
    writeFile("2003.ini", ini);
    makeRecordings(1, 3);
    writeFile("e.ini", "[ed]\r\n" + sentenceKey(1, 0).toLatin1() + "0=" + markup + "\r\n");
    writeFile("c.ini", "[cd]\r\n" + sentenceKey(1, 0).toLatin1() + "0=" + markup + "\r\n");
    choose(1);
    EXPECT_EQ(title(), QString(markup));
    EXPECT_EQ(window().Label3->textFormat(), Qt::PlainText);
    window().LabelplClick();
    EXPECT_EQ(english(), QString(markup));
    EXPECT_EQ(chinese(), QString(markup));
}

TEST_F(LessonPlayer, NoSoundDeviceStopsWithAMessageInsteadOfPlaying) {
    makeRecordings(1, 6);
    choose(1);
    fake.sound.devices = 0;
    window().LabelplClick();
    EXPECT_TRUE(fake.media.opened.isEmpty());
    EXPECT_EQ(window().Playing, 0);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "没有检测到声卡，请安装声卡！");
    EXPECT_EQ(fake.messages.shown[0].title, "提示");

    fake.sound.devices = 1;
    fake.sound.queryFails = true; // no sound server to ask
    window().LabelplClick();
    EXPECT_TRUE(fake.media.opened.isEmpty());
    EXPECT_EQ(fake.messages.shown.size(), 2u);
}

// The sound going away during a run: the plays end at once, and the run
// stops with the message instead of going round the lesson for ever.
TEST_F(LessonPlayer, SoundLostDuringARunStopsIt) {
    makeRecordings(1, 6);
    choose(1);
    window().LabelplClick();
    fake.media.playThrough(2);
    fake.sound.devices = 0;
    fake.media.playThrough(20);
    EXPECT_EQ(window().Playing, 0);
    EXPECT_EQ(fake.media.opened.size(), 3);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "没有检测到声卡，请安装声卡！");
}

// A notice that arrives after a new run has begun belongs to the old run: it
// must not move the new run on.
TEST_F(LessonPlayer, NoticeOfASupersededPlayIsDropped) {
    makeRecordings(1, 6);
    choose(1);
    window().LabelplClick();
    fake.media.finish(); // its notice is still on its way
    window().LabelplClick();
    fake.media.finish();   // the new run's first play ends at once
    deliverOldestNotice(); // the old run's notice
    fake.media.finish();
    deliverOldestNotice(); // the new run's notice
    const QString first = sentenceKey(1, 0);
    EXPECT_EQ(openedNames(), QStringList({first + "0.wav", first + "0.wav", first + "1.WAV"}));
    EXPECT_EQ(window().PlayIndex, 1);
}

TEST_F(LessonPlayer, NoticeAfterTheWindowIsGoneIsDropped) {
    makeRecordings(1, 6);
    choose(1);
    window().LabelplClick();
    fake.media.finish();
    destroyWindow(); // the window closes the player: that play's notice is pending too
    EXPECT_EQ(fake.media.mode(), platform::MediaMode::NotOpen);
    const auto opened = fake.media.opened.size();
    fake.media.deliverNotices();
    EXPECT_EQ(fake.media.opened.size(), opened);
}

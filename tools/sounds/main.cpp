// Makes the trainer's reward sounds and background music into the folder
// given as the only argument: the spoken set with espeak-ng, the music and
// effects sets synthesised with sox, and "backsound.mid". Every file is made
// under a temporary name and renamed into place when complete.

#include "MidiWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

struct Spoken {
    const char* file;
    const char* text;
};

const std::vector<Spoken> kSpoken = {
    {"try again.wav", "Try again."}, {"try another.wav", "Try another one."},
    {"good.wav", "Good!"},           {"ok.wav", "OK!"},
    {"well done.wav", "Well done!"}, {"perfect.wav", "Perfect!"},
};

// One synthesised segment: sox's "synth <seconds> <wave> [<frequency>]".
struct Tone {
    double seconds;
    const char* wave;
    const char* frequency;
};

struct Synthesised {
    const char* file;
    std::vector<Tone> tones;       // played one after another
    std::vector<const char*> then; // sox effects on the whole
};

const std::vector<Synthesised> kSynthesised = {
    // Music: short tunes.
    {"win001.wav",
     {{0.14, "pluck", "523.25"},
      {0.14, "pluck", "659.25"},
      {0.14, "pluck", "783.99"},
      {0.45, "pluck", "1046.5"}},
     {"norm", "-3"}},
    {"win002.wav",
     {{0.12, "square", "392"},
      {0.12, "square", "493.88"},
      {0.12, "square", "587.33"},
      {0.5, "square", "783.99"}},
     {"lowpass", "2500", "fade", "0", "0", "0.15", "norm", "-5"}},
    {"win003.wav",
     {{0.07, "triangle", "523.25"},
      {0.07, "triangle", "587.33"},
      {0.07, "triangle", "659.25"},
      {0.07, "triangle", "698.46"},
      {0.07, "triangle", "783.99"},
      {0.07, "triangle", "880"},
      {0.07, "triangle", "987.77"},
      {0.4, "triangle", "1046.5"}},
     {"fade", "0", "0", "0.12", "norm", "-3"}},
    {"lost001.wav",
     {{0.25, "sine", "392"}, {0.25, "sine", "329.63"}, {0.55, "sine", "261.63"}},
     {"tremolo", "6", "40", "fade", "0", "0", "0.2", "norm", "-4"}},
    {"lost002.wav",
     {{0.3, "sawtooth", "392-370"}, {0.3, "sawtooth", "370-349"}, {0.7, "sawtooth", "349-262"}},
     {"lowpass", "1200", "fade", "0", "0", "0.2", "norm", "-5"}},
    {"lost003.wav",
     {{0.2, "triangle", "311.13"},
      {0.2, "triangle", "293.66"},
      {0.2, "triangle", "277.18"},
      {0.5, "triangle", "261.63"}},
     {"fade", "0", "0", "0.2", "norm", "-3"}},
    // Effects: bells, sweeps, buzzers.
    {"win201.wav", {{0.8, "sine", "1568"}}, {"fade", "q", "0.005", "0", "0.75", "norm", "-3"}},
    {"win202.wav", {{0.45, "sine", "400-1600"}}, {"fade", "0", "0", "0.1", "norm", "-3"}},
    {"win203.wav",
     {{0.07, "pluck", "2093"},
      {0.07, "pluck", "2637"},
      {0.07, "pluck", "3136"},
      {0.3, "pluck", "4186"}},
     {"echo", "0.8", "0.7", "60", "0.4", "norm", "-3"}},
    {"lost201.wav",
     {{0.5, "square", "140"}},
     {"lowpass", "2000", "fade", "0", "0", "0.05", "norm", "-6"}},
    {"lost202.wav", {{0.6, "sine", "900-200"}}, {"fade", "0", "0", "0.1", "norm", "-3"}},
    {"lost203.wav",
     {{0.35, "brownnoise", nullptr}},
     {"lowpass", "300", "fade", "q", "0.005", "0", "0.3", "norm", "-3"}},
};

const QStringList kFormat = {"-r", "22050", "-c", "1", "-b", "16"};

void run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, arguments);
    if (!p.waitForStarted() || !p.waitForFinished(60000) ||
        p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error(
            QString("%1 %2 failed").arg(program, arguments.join(' ')).toStdString());
}

void speak(const Spoken& s, const QString& work) {
    run("espeak-ng", {"-v", "en-us", "-s", "140", "-w", work + "/" + s.file, s.text});
}

void synthesise(const Synthesised& s, const QString& work) {
    QStringList parts;
    for (size_t i = 0; i < s.tones.size(); ++i) {
        const Tone& t = s.tones[i];
        const QString part = QString("%1/part%2.wav").arg(work).arg(i);
        QStringList args = QStringList{"-n"} + kFormat +
                           QStringList{part, "synth", QString::number(t.seconds), t.wave};
        if (t.frequency)
            args << t.frequency;
        run("sox", args);
        parts << part;
    }
    QStringList args = parts + kFormat + QStringList{work + "/" + s.file};
    for (const char* effect : s.then)
        args << effect;
    run("sox", args);
}

QByteArray backgroundMusic() {
    // A calm eight-bar waltz-free loop in C: melody on piano, bass on strings.
    MidiWriter midi(96);
    midi.setProgram(0, 0);
    midi.setProgram(1, 48);
    const int melody[] = {60, 64, 67, 64, 65, 69, 72, 69, 67, 71, 74, 71, 72, 67, 64, 60,
                          64, 67, 72, 67, 65, 69, 74, 69, 67, 71, 74, 79, 72, 67, 60, 60};
    for (int i = 0; i < 32; ++i)
        midi.add({0, melody[i], double(i), 0.9, 72});
    const int bass[] = {48, 41, 43, 48, 48, 41, 43, 36};
    for (int bar = 0; bar < 8; ++bar)
        midi.add({1, bass[bar], bar * 4.0, 3.9, 56});
    return midi.bytes();
}

void place(const QString& made, const QString& final) {
    QFile::remove(final);
    if (!QFile::rename(made, final))
        throw std::runtime_error(QString("cannot move %1 to %2").arg(made, final).toStdString());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    try {
        if (!QDir().mkpath(folder))
            throw std::runtime_error("cannot create the output folder");
        // Work next to the output so that the final renames stay on one file system.
        QTemporaryDir work(folder + "/.making-XXXXXX");
        if (!work.isValid())
            throw std::runtime_error("cannot create a work folder");
        for (const Spoken& s : kSpoken) {
            speak(s, work.path());
            place(work.path() + "/" + s.file, folder + "/" + s.file);
        }
        for (const Synthesised& s : kSynthesised) {
            synthesise(s, work.path());
            place(work.path() + "/" + s.file, folder + "/" + s.file);
        }
        QSaveFile midi(folder + "/backsound.mid");
        const QByteArray bytes = backgroundMusic();
        if (!midi.open(QIODevice::WriteOnly) || midi.write(bytes) != bytes.size() || !midi.commit())
            throw std::runtime_error("cannot write backsound.mid");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_sounds: %s\n", e.what());
        return 1;
    }
    return 0;
}

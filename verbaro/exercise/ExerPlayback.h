#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>

class frmExer;
class Program;

// Highlight colours as stored (blue-green-red).
inline constexpr std::uint32_t ReadingColour = 0xFFFF00; // a sentence is played
inline constexpr std::uint32_t SayColour = 0x80FF80;     // the learner must say it

// Sentence playback: the recordings are queued on the voice priVoice, whose
// start event highlights the sentence; the end event is the sequencer's.
class ExerPlayback {
public:
    ExerPlayback(frmExer& window, Program& program);

    // Queues the recording of the sentence with id AID (rewritten to the
    // file's base name). Tells the learner when the voice refuses it.
    void PlayVoice(QString& AID);
    // The voice's start-of-stream event; modes also call it with 0, 0 to
    // start without speech.
    void priVoice_StartStream(std::int32_t StreamNumber, const QVariant& StreamPosition);
    // The sound output failed under a recording (the sound server went
    // away): the running mode stops and the learner is told.
    void priVoice_StreamFailed(std::int32_t StreamNumber, const QString& why);
    // Drops the playing and queued recordings.
    void StopSpeech();

    // The base name of a sentence's recording: the id's first 11 characters
    // and the speed digit, or the whole id for the scenario recording.
    static QString RecordingName(const QString& id, const QString& readSpeed, bool scenario);

private:
    void ShowReading(int row, int visibilityRow);

    frmExer& m_w;
    Program& m_program;
};

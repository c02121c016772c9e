#pragma once

#include <QByteArray>
#include <vector>

// Builds a Standard MIDI File of format 0 (one track) from notes given in
// beats; the file's division is 480 ticks per quarter note.
class MidiWriter {
public:
    struct Note {
        int channel = 0;
        int key = 60; // 60 = middle C
        double startBeat = 0;
        double beats = 1;
        int velocity = 80;
    };

    explicit MidiWriter(int beatsPerMinute) : m_bpm(beatsPerMinute) {}

    void setProgram(int channel, int program);
    void add(const Note& note) { m_notes.push_back(note); }
    QByteArray bytes() const;

private:
    int m_bpm;
    std::vector<std::pair<int, int>> m_programs; // channel, General MIDI program
    std::vector<Note> m_notes;
};

#include "MidiWriter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTicksPerBeat = 480;

void bigEndian(QByteArray& out, quint32 value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Delta times are variable-length quantities: 7 bits a byte, high bit = more follows.
void variableLength(QByteArray& out, quint32 value) {
    QByteArray reversed;
    reversed.append(static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
        reversed.append(static_cast<char>(0x80 | (value & 0x7F)));
    std::reverse(reversed.begin(), reversed.end());
    out.append(reversed);
}

QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

struct Event {
    quint32 tick;
    int order; // at the same tick: note-offs before program changes before note-ons
    QByteArray data;
};

} // namespace

void MidiWriter::setProgram(int channel, int program) {
    m_programs.emplace_back(channel, program);
}

QByteArray MidiWriter::bytes() const {
    std::vector<Event> events;
    for (const auto& [channel, program] : m_programs)
        events.push_back({0, 1, bytesOf({0xC0 | channel, program})});
    for (const Note& n : m_notes) {
        const auto on = static_cast<quint32>(std::lround(n.startBeat * kTicksPerBeat));
        const auto off = static_cast<quint32>(std::lround((n.startBeat + n.beats) * kTicksPerBeat));
        events.push_back({on, 2, bytesOf({0x90 | n.channel, n.key, n.velocity})});
        events.push_back({off, 0, bytesOf({0x80 | n.channel, n.key, 64})});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    QByteArray track;
    // Tempo: microseconds per quarter note.
    track.append(QByteArray::fromHex("00FF5103"));
    bigEndian(track, static_cast<quint32>(60'000'000 / m_bpm), 3);
    quint32 now = 0;
    for (const Event& e : events) {
        variableLength(track, e.tick - now);
        track.append(e.data);
        now = e.tick;
    }
    track.append(QByteArray::fromHex("00FF2F00")); // end of track

    QByteArray file("MThd");
    bigEndian(file, 6, 4);
    bigEndian(file, 0, 2); // format 0
    bigEndian(file, 1, 2); // one track
    bigEndian(file, kTicksPerBeat, 2);
    file.append("MTrk");
    bigEndian(file, static_cast<quint32>(track.size()), 4);
    return file + track;
}

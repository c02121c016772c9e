#include "FakeVoice.h"

#include "PlatformError.h"

int FakeVoice::Speak(const QString& text, int flags) {
    if (flags & SVSFPurgeBeforeSpeak) {
        ++purges;
        m_queue.clear();
        m_current = 0;
    }
    if (text.isEmpty())
        return 0;
    if (refused.contains(text))
        throw platform::PlatformError(QStringLiteral("Cannot open the sound file %1").arg(text));
    if (Status().RunningState == SRSEDone)
        m_nextNumber = 1;
    spoken << text;
    m_queue.push_back({m_nextNumber, text});
    return m_nextNumber++;
}

platform::VoiceStatus FakeVoice::Status() const {
    return {m_current != 0 || !m_queue.empty() ? SRSEIsSpeaking : SRSEDone};
}

bool FakeVoice::startNext() {
    if (m_queue.empty())
        return false;
    m_current = m_queue.front().number;
    m_queue.pop_front();
    emit StartStream(m_current, QVariant(0));
    return true;
}

bool FakeVoice::endCurrent() {
    if (m_current == 0)
        return false;
    const qint32 number = m_current;
    m_current = 0;
    emit EndStream(number, QVariant(0));
    return true;
}

bool FakeVoice::playNext() {
    return startNext() && endCurrent();
}

bool FakeVoice::failCurrent(const QString& why) {
    if (m_current == 0)
        return false;
    const qint32 number = m_current;
    m_current = 0;
    m_queue.clear();
    emit StreamFailed(number, why);
    return true;
}

#include "exercise/ExerPlayback.h"

#include "PlatformError.h"
#include "core/Program.h"
#include "exercise/ExerGrids.h"
#include "exercise/ExerModes.h"
#include "exercise/ExerSequencer.h"
#include "exercise/frmExer.h"
#include "paths/IPathLookup.h"
#include "speech/IVoice.h"
#include "ui/IMessageBox.h"

#include <QLabel>
#include <algorithm>

using platform::IVoice;

ExerPlayback::ExerPlayback(frmExer& window, Program& program) : m_w(window), m_program(program) {}

QString ExerPlayback::RecordingName(const QString& id, const QString& readSpeed, bool scenario) {
    return scenario ? id : id.left(11) + readSpeed;
}

void ExerPlayback::PlayVoice(QString& AID) {
    const GlobalVars& g = m_program.vars;
    const auto mode = static_cast<Mode>(m_w.CurMode);
    AID = RecordingName(AID, g.ReadSpeed, mode == Mode::SceneAll || mode == Mode::SceneOne);
    const QString path = g.AppPath + "lst/" + g.CurUnitID + "/" + AID + ".wav";
    try {
        m_w.priVoice->Speak(m_program.platform.paths->resolve(path),
                            IVoice::SVSFlagsAsync | IVoice::SVSFIsFilename);
    } catch (const std::exception&) {
        m_program.platform.messages->show({QStringLiteral("无法播放当前的声音流！"),
                                           QStringLiteral("错误"), platform::MsgButtons::Ok},
                                          &m_w);
    }
}

// The learner is told what to check, not the server's words.
void ExerPlayback::priVoice_StreamFailed(std::int32_t /*StreamNumber*/, const QString& /*why*/) {
    m_w.modes().StopForLostSound(QStringLiteral("声音播放中断，练习已停止。请检查扬声器后重试！"));
}

void ExerPlayback::StopSpeech() {
    if (m_w.priVoice && m_w.priVoice->Status().RunningState == IVoice::SRSEIsSpeaking)
        m_w.priVoice->Speak(QString(), IVoice::SVSFPurgeBeforeSpeak);
}

// " Reading", the row scrolled into view and coloured as being played.
void ExerPlayback::ShowReading(int row, int visibilityRow) {
    ExerGrids& grids = m_w.grids();
    if (!grids.RowIsVisible(visibilityRow))
        grids.SetTopRows(row);
    grids.Highlight(row, ReadingColour);
}

void ExerPlayback::priVoice_StartStream(std::int32_t StreamNumber, const QVariant& StreamPosition) {
    Q_UNUSED(StreamPosition);
    m_w.StreamMode = m_w.CurMode;
    const int n = m_w.DlgCount;
    const int p = m_program.MyDataEm.rsSelUnitContent.AbsolutePosition();
    const QString reading = QStringLiteral(" Reading");
    switch (static_cast<Mode>(m_w.StreamMode)) {
    case Mode::ReadAll:
        m_w.Label1->setText(reading);
        if (StreamNumber < 1 || StreamNumber > n)
            return;
        m_program.MyDataEm.rsSelUnitContent.SetAbsolutePosition(StreamNumber);
        ShowReading(StreamNumber, std::min(StreamNumber + 1, n));
        break;
    case Mode::ReadOne:
        if (!m_w.monolog)
            m_w.Label1->setText(reading);
        ShowReading(p, std::min(p + 1, n));
        break;
    case Mode::FollowAll:
    case Mode::SceneAll:
        m_w.Label1->setText(reading);
        ShowReading(p, std::min(p + 1, n));
        break;
    case Mode::FollowOne:
    case Mode::SceneOne:
        m_w.Label1->setText(reading);
        ShowReading(p, std::min(p, n));
        break;
    case Mode::Dialog:
    case Mode::MonologAll:
        if (m_w.CompRow == 0) {
            m_w.sequencer().priVoice_EndStream(0, 0);
            return;
        }
        m_w.Label1->setText(reading);
        ShowReading(m_w.CompRow, std::min(m_w.CompRow + 2, n));
        break;
    case Mode::MonologOne:
        ShowReading(p, std::min(p, n));
        m_w.sequencer().priVoice_EndStream(0, 0);
        break;
    case Mode::None:
        break;
    }
}

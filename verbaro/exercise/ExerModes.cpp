#include "exercise/ExerModes.h"

#include "core/ImageButtons.h"
#include "core/Program.h"
#include "exercise/ExerGrids.h"
#include "exercise/ExerPlayback.h"
#include "exercise/ExerSequencer.h"
#include "exercise/frmExer.h"
#include "ui/IMessageBox.h"
#include "widgets/FlexGrid.h"
#include "widgets/PopupButton.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>

namespace {

const QString kStopFace = QStringLiteral("stop");
const QString kDialogIdle = QStringLiteral("对 话");
const QString kDialogRunning = QStringLiteral("停 止");

} // namespace

ExerModes::ExerModes(frmExer& window, Program& program) : m_w(window), m_program(program) {}

QString ExerModes::IdleFace(std::int16_t mode) {
    switch (static_cast<Mode>(mode)) {
    case Mode::ReadAll:
        return QStringLiteral("readall-1");
    case Mode::ReadOne:
        return QStringLiteral("read-1");
    case Mode::FollowAll:
        return QStringLiteral("follow-1");
    case Mode::FollowOne:
        return QStringLiteral("followone-1");
    case Mode::MonologAll:
        return QStringLiteral("record-1");
    case Mode::SceneAll:
        return QStringLiteral("0-1-qingjing");
    case Mode::SceneOne:
        return QStringLiteral("1-1-qingjing");
    case Mode::MonologOne:
        return QStringLiteral("recordone-1");
    case Mode::Dialog: // a popup button: its face is Image3
    case Mode::None:
        break;
    }
    return {};
}

ImageButton* ExerModes::ModeButton(std::int16_t mode) const {
    switch (static_cast<Mode>(mode)) {
    case Mode::ReadAll:
        return m_w.CmdReadAll;
    case Mode::ReadOne:
        return m_w.CmdRead;
    case Mode::FollowAll:
        return m_w.CmdFollow;
    case Mode::FollowOne:
        return m_w.CmdFollowOne;
    case Mode::MonologAll:
        return m_w.cmdrecord;
    case Mode::SceneAll:
        return m_w.QingJing[0];
    case Mode::SceneOne:
        return m_w.QingJing[1];
    case Mode::MonologOne:
        return m_w.cmdrecordone;
    case Mode::Dialog: // a popup button
    case Mode::None:
        break;
    }
    return nullptr;
}

void ExerModes::SetReadingButtonsEnabled(bool enabled) {
    for (ImageButton* button : {m_w.CmdFollow, m_w.CmdFollowOne, m_w.CmdRead, m_w.CmdReadAll})
        frmExer::SetEnabled(button, enabled);
}

bool ExerModes::SetcmdStop(std::int16_t ABeforeID, std::int16_t ACurID) {
    m_w.StreamMode = 0;
    m_w.Label1->setText(QStringLiteral(" Welcome!"));
    const auto before = static_cast<Mode>(ABeforeID);
    if (before != Mode::None) {
        ExerGrids& grids = m_w.grids();
        const int p = m_program.MyDataEm.rsSelUnitContent.AbsolutePosition();
        m_w.playback().StopSpeech();
        if (before == Mode::Dialog) {
            m_w.cmddialog->SetCaption(kDialogIdle);
            m_w.cmddialog->SetPicture(m_w.Image3->pixmap());
        } else {
            m_w.SetFace(ModeButton(ABeforeID), IdleFace(ABeforeID));
        }
        if (before == Mode::Dialog || before == Mode::MonologAll)
            grids.ClearRow(m_w.CompRow);
        if (before == Mode::ReadAll)
            grids.ClearRow(p >= 1 && p < m_w.DlgCount ? p : m_w.DlgCount);
        else
            grids.ClearRow(p);
        if (before != Mode::ReadAll && before != Mode::ReadOne)
            m_w.sequencer().GrammarOff();
        if (before == Mode::Dialog) {
            m_w.Frame2->setEnabled(true);
            SetReadingButtonsEnabled(true);
        }
        if (before == Mode::MonologAll)
            m_w.Frame2->setEnabled(true);
    }
    if (ABeforeID != 0 && ABeforeID == ACurID) {
        m_w.CurMode = 0;
        return false;
    }
    m_w.CurMode = ACurID;
    return true;
}

void ExerModes::StopForLostSound(const QString& message) {
    if (m_w.CurMode == 0)
        return;
    // Stopped before the box is up: events still on their way while it is
    // open find no mode to go on with.
    SetcmdStop(m_w.CurMode, 0);
    m_program.platform.messages->show({message, QStringLiteral("错误"), platform::MsgButtons::Ok},
                                      &m_w);
}

void ExerModes::Finish(std::int16_t mode) {
    m_w.SetFace(ModeButton(mode), IdleFace(mode));
    m_w.CurMode = 0;
    m_w.StreamMode = 0;
}

void ExerModes::EndDialog() {
    m_w.Label1->setText(QStringLiteral(" Welcome!"));
    m_w.cmddialog->SetCaption(kDialogIdle);
    SetReadingButtonsEnabled(true);
    m_w.cmddialog->SetPicture(m_w.Image3->pixmap());
    m_w.CurMode = 0;
    m_w.StreamMode = 0;
    m_w.Frame2->setEnabled(true);
    m_w.grids().ClearRow(m_w.DlgCount);
}

void ExerModes::ResetAttempts(bool withComputerLine) {
    m_w.TryCount = 0;
    m_w.SentenceDone = false;
    if (withComputerLine) {
        m_w.CompLineLit = false;
        m_w.CompRow = 0;
    }
}

void ExerModes::MoveToSelected() {
    m_program.MyDataEm.rsSelUnitContent.SetAbsolutePosition(m_w.grids().SelectedRow());
}

void ExerModes::MoveToFirst() {
    m_program.MyDataEm.rsSelUnitContent.MoveFirst();
}

void ExerModes::TakeCurrent() {
    m_w.TargetText = m_program.MyDataEm.rsSelUnitContent.Field(QStringLiteral("EDlgSB")).toString();
}

void ExerModes::PlayCurrent() {
    QString id = m_program.MyDataEm.rsSelUnitContent.Field(QStringLiteral("DlgID")).toString();
    m_w.playback().PlayVoice(id);
}

void ExerModes::readoneSub() {
    QCoreApplication::processEvents();
    if (!SetcmdStop(m_w.CurMode, static_cast<std::int16_t>(Mode::ReadOne)))
        return;
    QCoreApplication::processEvents();
    m_w.SetFace(m_w.CmdRead, kStopFace);
    MoveToSelected();
    PlayCurrent();
}

void ExerModes::CmdRead_Click() {
    readoneSub();
}

void ExerModes::CmdReadAll_Click() {
    if (!SetcmdStop(m_w.CurMode, static_cast<std::int16_t>(Mode::ReadAll)))
        return;
    m_w.SetFace(m_w.CmdReadAll, kStopFace);
    platform::db::Recordset& rs = m_program.MyDataEm.rsSelUnitContent;
    rs.MoveFirst();
    while (!rs.IsEOF()) {
        QString id = rs.Field(QStringLiteral("DlgID")).toString();
        rs.MoveNext();
        m_w.grids().SetTopRows(1);
        m_w.playback().PlayVoice(id);
    }
}

void ExerModes::CmdFollow_Click() {
    if (!SetcmdStop(m_w.CurMode, static_cast<std::int16_t>(Mode::FollowAll)))
        return;
    m_w.SetFace(m_w.CmdFollow, kStopFace);
    ResetAttempts(false);
    MoveToFirst();
    TakeCurrent();
    m_w.grids().SetTopRows(1);
    PlayCurrent();
}

void ExerModes::CmdFollowOne_Click() {
    if (!SetcmdStop(m_w.CurMode, static_cast<std::int16_t>(Mode::FollowOne)))
        return;
    m_w.SetFace(m_w.CmdFollowOne, kStopFace);
    ResetAttempts(false);
    MoveToSelected();
    TakeCurrent();
    PlayCurrent();
}

void ExerModes::QingJing_Click(int Index) {
    if (Index != 0 && Index != 1)
        return;
    const auto mode = static_cast<std::int16_t>(Index == 0 ? Mode::SceneAll : Mode::SceneOne);
    if (!SetcmdStop(m_w.CurMode, mode))
        return;
    m_w.SetFace(m_w.QingJing[Index], kStopFace);
    ResetAttempts(false);
    if (Index == 0) {
        MoveToFirst();
        TakeCurrent();
        m_w.grids().SetTopRows(1);
    } else {
        MoveToSelected();
        TakeCurrent();
    }
    PlayCurrent();
}

void ExerModes::cmdrecordone_Click() {
    if (!SetcmdStop(m_w.CurMode, static_cast<std::int16_t>(Mode::MonologOne)))
        return;
    m_w.SetFace(m_w.cmdrecordone, kStopFace);
    ResetAttempts(false);
    MoveToSelected();
    TakeCurrent();
    m_w.playback().priVoice_StartStream(0, 0);
}

void ExerModes::cmdrecord_Click() {
    m_w.monolog = true;
    if (!SetcmdStop(m_w.CurMode, static_cast<std::int16_t>(Mode::MonologAll)))
        return;
    m_w.Frame2->setEnabled(false);
    m_w.SetFace(m_w.cmdrecord, kStopFace);
    ResetAttempts(true);
    MoveToFirst();
    m_w.playback().priVoice_StartStream(0, 0);
}

void ExerModes::cmddialog_Press() {
    platform::PopupButton* dialog = m_w.cmddialog;
    dialog->SetStyle(4);
    if (dialog->Caption() == kDialogIdle)
        SetReadingButtonsEnabled(false);
    else if (dialog->Caption() == kDialogRunning)
        SetReadingButtonsEnabled(true);
    if (m_w.chkobj[0]->Caption() == QLatin1String("Follow")) {
        dialog->SetCaption(kDialogRunning);
        CmdFollow_Click();
        return;
    }
    if (SetcmdStop(m_w.CurMode, static_cast<std::int16_t>(Mode::Dialog))) {
        m_w.Frame2->setEnabled(false);
        dialog->SetCaption(kDialogRunning);
        dialog->SetPicture(m_w.Image2->pixmap());
        ResetAttempts(true);
        MoveToFirst();
        m_w.playback().priVoice_StartStream(0, 0);
    } else {
        dialog->SetPicture(m_w.Image3->pixmap());
        m_w.Frame2->setEnabled(true);
    }
}

void ExerModes::CmdLang2_Click(int Index) {
    platform::FlexGrid* from = m_w.Engli ? m_w.CGrid : m_w.EGrid;
    platform::FlexGrid* to = m_w.Engli ? m_w.EGrid : m_w.CGrid;
    m_w.onoff = m_w.Engli;
    from->setVisible(false);
    to->setVisible(true);
    m_w.SetFace(m_w.CmdLang2[Index],
                m_w.Engli ? QStringLiteral("0-2-lang") : QStringLiteral("1-2-lang"));
    to->SetTopRow(from->TopRow());
    to->SetRow(from->RowSel());
    to->SetCol(2);
    m_w.Engli = !m_w.Engli;
}

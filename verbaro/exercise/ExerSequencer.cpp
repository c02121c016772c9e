#include "exercise/ExerSequencer.h"

#include "core/Program.h"
#include "exercise/ExerGrids.h"
#include "exercise/ExerModel.h"
#include "exercise/ExerModes.h"
#include "exercise/ExerPlayback.h"
#include "exercise/frmExer.h"
#include "speech/ISpeechGrammar.h"

#include <QLabel>
#include <algorithm>

using platform::ISpeechGrammar;

namespace {

const QString kPleaseSay = QStringLiteral("Please Say");
const QString kWelcome = QStringLiteral(" Welcome!");

// The learner's attempts on a sentence are over: stop listening and start
// the next sentence's count afresh.
void AttemptsOver(ExerSequencer& sequencer, frmExer& w) {
    sequencer.GrammarOff();
    w.SentenceDone = false;
}

} // namespace

ExerSequencer::ExerSequencer(frmExer& window, Program& program) : m_w(window), m_program(program) {}

void ExerSequencer::Listen() {
    if (ISpeechGrammar* grammar = m_program.vars.RecoGrammar)
        grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSActive);
}

void ExerSequencer::GrammarOff() {
    if (ISpeechGrammar* grammar = m_program.vars.RecoGrammar)
        grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSInactive);
}

int ExerSequencer::Position() const {
    return m_program.MyDataEm.rsSelUnitContent.AbsolutePosition();
}

void ExerSequencer::MoveNext() {
    m_program.MyDataEm.rsSelUnitContent.MoveNext();
}

void ExerSequencer::Take() {
    m_w.TargetText = m_program.MyDataEm.rsSelUnitContent.Field(QStringLiteral("EDlgSB")).toString();
}

void ExerSequencer::Play() {
    QString id = m_program.MyDataEm.rsSelUnitContent.Field(QStringLiteral("DlgID")).toString();
    m_w.playback().PlayVoice(id);
}

// A Null speaker counts as the empty name.
bool ExerSequencer::IsLearnersLine() const {
    const QString speaker =
        m_program.MyDataEm.rsSelUnitContent.Field(QStringLiteral("DlgObj")).toString();
    return m_w.monolog || m_w.model().IsRcObj(speaker);
}

void ExerSequencer::LearnersTurn(int row) {
    m_w.Label1->setText(kPleaseSay);
    m_w.grids().Highlight(row, SayColour);
    Listen();
}

// The learner's turn on a row of the dialogue or the monologue, scrolled to.
void ExerSequencer::SayOn(int row, int visibilityRow) {
    m_w.grids().Highlight(row, SayColour);
    m_w.grids().ScrollTo(row, visibilityRow);
    m_w.Label1->setText(kPleaseSay);
    Listen();
}

void ExerSequencer::priVoice_EndStream(std::int32_t StreamNumber, const QVariant& StreamPosition) {
    Q_UNUSED(StreamPosition);
    const std::int16_t mode = m_w.StreamMode;
    switch (static_cast<Mode>(mode)) {
    case Mode::ReadAll:
        ReadAllEnded(StreamNumber);
        break;
    case Mode::ReadOne:
        m_w.Label1->setText(kWelcome);
        m_w.modes().Finish(mode);
        m_w.grids().ClearRow(Position());
        break;
    case Mode::FollowAll:
    case Mode::SceneAll:
        FollowEnded(mode);
        break;
    case Mode::FollowOne:
    case Mode::SceneOne:
    case Mode::MonologOne:
        SingleEnded(mode);
        break;
    case Mode::Dialog:
        DialogEnded();
        break;
    case Mode::MonologAll:
        MonologEnded();
        break;
    case Mode::None:
        break;
    }
}

void ExerSequencer::ReadAllEnded(std::int32_t k) {
    const int n = m_w.DlgCount;
    if (k < n) {
        m_w.grids().ClearRow(k);
    } else {
        m_w.Label1->setText(kWelcome);
        m_w.modes().Finish(static_cast<std::int16_t>(Mode::ReadAll));
        m_w.grids().ClearRow(n);
    }
    if (Position() == n)
        m_w.grids().SetTopRows(1);
}

void ExerSequencer::FollowEnded(std::int16_t mode) {
    const int n = m_w.DlgCount;
    const int p = Position();
    if (!m_w.SentenceDone) {
        LearnersTurn(p < n ? p : n);
        return;
    }
    AttemptsOver(*this, m_w);
    if (p < n) {
        m_w.grids().ClearRow(p);
        MoveNext();
        Take();
        Play();
    } else {
        m_w.Label1->setText(QStringLiteral("Welcome!"));
        m_w.modes().Finish(mode);
        m_w.grids().ClearRow(n);
    }
}

void ExerSequencer::SingleEnded(std::int16_t mode) {
    const int p = Position();
    if (p < 1 || p > m_w.DlgCount)
        return;
    if (!m_w.SentenceDone) {
        LearnersTurn(p);
        return;
    }
    AttemptsOver(*this, m_w);
    m_w.Label1->setText(kWelcome);
    m_w.modes().Finish(mode);
    m_w.grids().ClearRow(p);
}

// The computer speaks `row`: it is highlighted when its stream starts.
void ExerSequencer::ComputerLine(int row) {
    m_w.CompLineLit = true;
    m_w.CompRow = row;
    Play();
}

void ExerSequencer::DialogEnded() {
    const int n = m_w.DlgCount;
    const int p = Position();
    if (p < n) {
        Take();
        if (!IsLearnersLine()) {
            GrammarOff();
            if (m_w.CompRow >= 1) {
                if (m_w.CompLineLit) {
                    m_w.grids().ClearRow(m_w.CompRow);
                    m_w.CompRow = p;
                }
            } else {
                m_w.CompRow = p;
            }
            m_w.CompLineLit = true;
            Play();
            MoveNext();
        } else if (!m_w.SentenceDone) {
            if (m_w.CompLineLit) {
                m_w.CompLineLit = false;
                m_w.grids().ClearRow(m_w.CompRow);
            }
            SayOn(p, p);
        } else {
            AttemptsOver(*this, m_w);
            m_w.grids().ClearRow(p);
            MoveNext();
            const int q = Position();
            Take();
            if (IsLearnersLine()) {
                m_w.CompLineLit = false;
                SayOn(q, q);
            } else {
                ComputerLine(q);
                if (q < n)
                    MoveNext();
            }
        }
        return;
    }

    if (m_w.CompLineLit) {
        m_w.CompLineLit = false;
        m_w.grids().ClearRow(m_w.CompRow);
    }
    if (!IsLearnersLine()) {
        // A last computer line reached straight after another computer line
        // has not been spoken yet: the learner hears the whole dialogue.
        if (m_w.CompRow != n) {
            GrammarOff();
            ComputerLine(n);
            return;
        }
        AttemptsOver(*this, m_w);
        m_w.modes().EndDialog();
        return;
    }
    Take();
    if (!m_w.SentenceDone) {
        LearnersTurn(n);
        return;
    }
    AttemptsOver(*this, m_w);
    m_w.modes().EndDialog();
}

void ExerSequencer::MonologEnded() {
    const int n = m_w.DlgCount;
    const int p = Position();
    if (p < n) {
        Take();
        if (!m_w.SentenceDone) {
            if (m_w.CompLineLit) {
                m_w.CompLineLit = false;
                m_w.grids().ClearRow(m_w.CompRow);
            }
            SayOn(p, std::min(p + 1, n));
        } else {
            AttemptsOver(*this, m_w);
            m_w.grids().ClearRow(p);
            MoveNext();
            const int q = Position();
            Take();
            m_w.CompLineLit = false;
            SayOn(q, std::min(q + 1, n));
        }
        return;
    }
    if (m_w.CompLineLit) {
        m_w.CompLineLit = false;
        m_w.grids().ClearRow(m_w.CompRow);
    }
    Take();
    if (!m_w.SentenceDone) {
        LearnersTurn(n);
        return;
    }
    AttemptsOver(*this, m_w);
    m_w.Label1->setText(kWelcome);
    m_w.modes().Finish(static_cast<std::int16_t>(Mode::MonologAll));
    m_w.Frame2->setEnabled(true);
    m_w.grids().ClearRow(n);
}

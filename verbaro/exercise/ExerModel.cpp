#include "exercise/ExerModel.h"

#include "PlatformError.h"
#include "agent/IAgentCharacter.h"
#include "agent/IAgentControl.h"
#include "core/Module_Show.h"
#include "core/Program.h"
#include "exercise/ExerSequencer.h"
#include "exercise/frmExer.h"
#include "process/IProgramEnd.h"
#include "speech/IRecoContext.h"
#include "speech/IRecognizer.h"
#include "ui/IMessageBox.h"
#include "widgets/PopupButton.h"
#include "widgets/UpDown.h"

#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using platform::db::Recordset;

namespace {

constexpr int kMaxRepeats = 99;
const char* const kAgentNames[] = {"Genie", "Merlin", "Peedy", "Robby"};

QString CurrentText(const Recordset& rs, const QString& field) {
    if (rs.State() != platform::db::ObjectState::Open || rs.IsBOF() || rs.IsEOF())
        return {};
    return rs.Field(field).toString();
}

} // namespace

ExerModel::ExerModel(frmExer& window, Program& program) : m_w(window), m_program(program) {}

QStringList ExerModel::SplitRoleNames(QString& AsDlgObj, int count) {
    QStringList names;
    for (int i = 1; i <= count; ++i) {
        const int comma = AsDlgObj.indexOf(',');
        if (comma < 0) {
            names << AsDlgObj;
        } else {
            names << AsDlgObj.left(comma);
            AsDlgObj = AsDlgObj.mid(comma + 1);
        }
    }
    names << QString();
    return names;
}

bool ExerModel::DoIniDlgObj(QString& AsDlgObj, std::int16_t AiObjNums) {
    try {
        m_w.RoleNames = SplitRoleNames(AsDlgObj, AiObjNums);
        for (int j = 1; j <= kRoleButtons; ++j) {
            m_w.Frame2->setVisible(true);
            platform::PopupButton* button = m_w.chkobj[j - 1];
            button->SetVisible(j <= AiObjNums);
            if (j <= AiObjNums)
                button->SetCaption(m_w.RoleNames[j - 1]);
            button->SetValue(0);
            button->SetPicture(m_w.Image3->pixmap());
        }
        ShowRoleControls(AiObjNums != 0);
        return true;
    } catch (const std::exception&) {
        m_program.platform.messages->show(
            {QStringLiteral("不期望的错误！2"), QStringLiteral("错误"), platform::MsgButtons::Ok},
            &m_w);
        m_program.platform.programEnd->endProgram(1);
        return false;
    }
}

void ExerModel::ShowRoleControls(bool withRoles) {
    m_w.monolog = false;
    if (!withRoles) {
        m_w.Frame2->setVisible(false);
        m_w.Shape1->setVisible(false);
        m_w.chkobj[0]->SetValue(1);
        m_w.chkobj[1]->SetValue(1);
        for (platform::PopupButton* button : m_w.chkobj)
            button->SetVisible(false);
    }
    for (QRadioButton* option : m_w.SbOpn)
        option->setVisible(!withRoles);
    for (QWidget* w : {static_cast<QWidget*>(m_w.lblRCNum), static_cast<QWidget*>(m_w.updNum),
                       static_cast<QWidget*>(m_w.txtNum), static_cast<QWidget*>(m_w.Label8),
                       static_cast<QWidget*>(m_w.Label4), static_cast<QWidget*>(m_w.Label5)})
        w->setVisible(!withRoles);
    m_w.cmddialog->SetVisible(withRoles);
    m_w.LbObjTip->setVisible(withRoles);
    if (withRoles)
        m_w.Shape1->setVisible(true);
}

void ExerModel::DoIniSetting(std::int16_t xy) {
    if (xy != 0 && xy != -1)
        return;
    GlobalVars& g = m_program.vars;
    MyDataEm& data = m_program.MyDataEm;
    m_w.cmddialog->SetEnabled(false);
    m_w.Lbunited->setText(xy == 0 ? g.UnitName : g.UnitName2);
    m_w.LbUnit->setText(CurrentText(data.rsCommand1, QStringLiteral("CName")));
    m_w.lbunits->setText(CurrentText(data.rsselunited, QStringLiteral("CName")));
    m_w.Label1->setText(QStringLiteral(" Welcome!"));
    m_w.CurMode = 0;
    m_w.StreamMode = 0;
    m_w.TryCount = 0;
    m_w.SentenceDone = false;
    m_w.DlgCount = data.rsSelUnitContent.RecordCount();
}

void ExerModel::OpenTodayRow() {
    MyDataEm& data = m_program.MyDataEm;
    const QDate today = MyDataEm::Day(QDate::currentDate());
    data.Reopen(data.SelRe, QStringLiteral("Date1"), today);
    if (data.rsSelRe.RecordCount() == 0) {
        data.rsSelRe.AddNew();
        data.rsSelRe.SetField(QStringLiteral("NowChengji"), 0);
        data.rsSelRe.SetField(QStringLiteral("NowCishu"), 0);
        data.rsSelRe.SetField(QStringLiteral("NowData"), today);
        // A database that cannot be written (the learner was told so at
        // start-up) still lets the lesson be practised; each attempt then
        // says that it was not kept.
        if (data.IsReadOnly()) {
            data.rsSelRe.CancelUpdate();
            return;
        }
        data.rsSelRe.Update();
    }
}

QString ExerModel::ScoreText(std::int32_t score) {
    return score > 0 ? QStringLiteral(" %1分").arg(score) : QStringLiteral("还没得分呢");
}

void ExerModel::InitAgentAndRecogniser() {
    GlobalVars& g = m_program.vars;
    if (g.AgentChoice >= 1 && g.AgentChoice <= 4) {
        platform::IAgentCharacter& character = m_program.platform.agent->Characters(
            QString::fromLatin1(kAgentNames[g.AgentChoice - 1]));
        character.Stop();
        character.setLeft(RoundHalfEven(850 * g.ScaleFactor));
        character.setTop(RoundHalfEven(550 * g.ScaleFactor));
        character.Show();
    }
    SetThresholds(m_w.Fenshu * 10);
}

void ExerModel::SetThresholds(int value) {
    m_w.sequencer().Listen();
    for (const char* name : platform::IRecognizer::ConfidenceThresholds)
        m_w.priRC->Recognizer().SetPropertyNumber(QString::fromLatin1(name), value);
    m_w.sequencer().GrammarOff();
}

void ExerModel::SbOpn_Click(int Index) {
    m_w.SetcmdStop(m_w.CurMode, 0);
    SetThresholds((Index + 1) * 10);
    m_w.Fenshu = static_cast<std::int16_t>(Index + 1);
}

void ExerModel::chkobj_Press(int Index) {
    platform::PopupButton* pressed = m_w.chkobj[Index];
    pressed->SetStyle(4);
    if (pressed->Value() == 1) {
        pressed->SetValue(0);
        pressed->SetPicture(m_w.Image3->pixmap());
    } else {
        pressed->SetValue(1);
        pressed->SetPicture(m_w.Image2->pixmap());
    }
    QStringList selected;
    for (int b = 0; b < kRoleButtons; ++b)
        if (m_w.chkobj[b]->Value() == 1)
            selected << m_w.RoleNames.value(b);
    if (!selected.isEmpty())
        m_w.LearnerRoles = selected;
    m_w.cmddialog->SetEnabled(!selected.isEmpty());
}

void ExerModel::updNum_Change() {
    bool whole = false;
    const int value = m_w.txtNum->text().trimmed().toInt(&whole);
    if (whole && value >= 1 && value <= kMaxRepeats)
        m_w.RETRYNUMS = static_cast<std::int16_t>(value);
}

bool ExerModel::IsRcObj(const QString& ACurObj) const {
    return m_w.LearnerRoles.contains(ACurObj, Qt::CaseSensitive);
}

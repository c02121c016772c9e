#include "exercise/ExerScoring.h"

#include "core/Program.h"
#include "exercise/ExerFeedback.h"
#include "exercise/ExerModel.h"
#include "exercise/frmExer.h"
#include "speech/IVoice.h"
#include "ui/IMessageBox.h"
#include "widgets/FlexGrid.h"

#include <QLabel>
#include <QTimer>
#include <array>

using platform::IVoice;
using platform::db::ObjectState;
using platform::db::Recordset;

namespace {

// Columns of the sentence grids.
constexpr int kCountColumn = 3;
constexpr int kScoreColumn = 4;

struct GradeStep {
    int upToFenshu;
    int grade;
};
constexpr std::array<GradeStep, 4> kGrades{{{3, 1}, {6, 2}, {8, 3}, {10, 5}}};

// What the learner can do about the database's usual failures, found by
// SQLite's own words for them in the error.
struct Cause {
    const char* sqliteText;
    const char* advice;
};
constexpr std::array<Cause, 3> kCauses{{
    {"database or disk is full", "磁盘空间不足：请腾出磁盘空间后再继续练习。"},
    {"attempt to write a readonly database", "课程数据库是只读的，练习成绩无法保存。"},
    {"disk I/O error", "读写磁盘时出错，请检查磁盘。"},
}};

QString AdviceFor(const QString& error) {
    for (const Cause& cause : kCauses)
        if (error.contains(QLatin1String(cause.sqliteText), Qt::CaseInsensitive))
            return QString::fromUtf8(cause.advice) + '\n';
    return {};
}

// A total that was never counted counts as 0.
void Add(Recordset& rs, const QString& field, int amount) {
    const QVariant value = rs.Field(field);
    rs.SetField(field, value.isNull() ? amount : value.toLongLong() + amount);
    rs.Update();
}

} // namespace

ExerScoring::ExerScoring(frmExer& window, Program& program) : m_w(window), m_program(program) {}

int ExerScoring::GradeFor(int fenshu) {
    if (fenshu < 1)
        return -1;
    for (const GradeStep& step : kGrades)
        if (fenshu <= step.upToFenshu)
            return step.grade;
    return -1;
}

void ExerScoring::dafen(std::int16_t fenshuflag) {
    if (m_w.voice1 && m_w.voice1->Status().RunningState == IVoice::SRSEIsSpeaking)
        m_w.voice1->Speak(QString(), IVoice::SVSFPurgeBeforeSpeak);

    // The lesson total grows by what was stored, so it always equals the
    // lesson row, whatever the feedback's pending events did to the labels.
    int stored = 0;
    if (fenshuflag != 0) {
        const std::int16_t points = m_w.Fenshu;
        m_w.Label1->setText(QString::number(points) + QStringLiteral("分"));
        if (InOneTransaction([this] {
                jiafen();
                jiacishu();
            }))
            stored = points;
        const int grade = GradeFor(points);
        if (grade >= 0)
            m_w.feedback().Show4DaFen(static_cast<std::int16_t>(grade));
    } else {
        m_w.Label1->setText(QStringLiteral("0分"));
        m_w.feedback().Show4DaFen(0);
    }

    GlobalVars& g = m_program.vars;
    g.UnitScore += stored;
    m_w.LbRCTip->setText(ExerModel::ScoreText(g.UnitScore));
    m_w.Label1->setVisible(true);
    m_w.Timer1->start();
}

void ExerScoring::jiafen() {
    AddTo("NowChengji", "chengji", m_w.Fenshu);
    ShowInGrids(kScoreColumn, QStringLiteral("chengji"));
}

void ExerScoring::jiacishu() {
    AddTo("NowCishu", "cishu", 1);
    ShowInGrids(kCountColumn, QStringLiteral("cishu"));
}

// Today's row, then the sentence, part, lesson and unit rows, each written
// before the next is touched.
void ExerScoring::AddTo(const char* dayField, const char* field, int amount) {
    MyDataEm& data = m_program.MyDataEm;
    Add(data.rsSelRe, QString::fromLatin1(dayField), amount);
    for (Recordset* rs :
         {&data.rsSelUnitContent, &data.rsCommand1, &data.rsSelUnit, &data.rsselunited})
        Add(*rs, QString::fromLatin1(field), amount);
}

void ExerScoring::ShowInGrids(int column, const QString& field) {
    Recordset& sentences = m_program.MyDataEm.rsSelUnitContent;
    const int r = sentences.AbsolutePosition();
    const QString text = sentences.Field(field).toString();
    m_w.EGrid->SetRowSel(r);
    for (platform::FlexGrid* grid : {m_w.EGrid, m_w.CGrid}) {
        grid->SetTextMatrix(r, column, text);
        grid->Refresh();
    }
}

bool ExerScoring::InOneTransaction(const std::function<void()>& writes) {
    platform::db::Connection& connection = m_program.MyDataEm.DbCn;
    QString error;
    try {
        connection.BeginTrans();
        try {
            writes();
            connection.CommitTrans();
            return true;
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
            if (connection.InTransaction())
                connection.RollbackTrans();
        }
    } catch (const std::exception& e) {
        // Beginning or rolling back failed: the database holds no part of
        // this attempt either way.
        error += (error.isEmpty() ? "" : "\n") + QString::fromUtf8(e.what());
    }
    RereadStoredRows();
    m_program.platform.messages->show(
        {QStringLiteral("保存练习成绩时出错，这次练习没有记入。\n") + AdviceFor(error) + error,
         QStringLiteral("错误"), platform::MsgButtons::Ok, platform::MsgIcon::Critical},
        &m_w);
    return false;
}

void ExerScoring::RereadStoredRows() {
    MyDataEm& data = m_program.MyDataEm;
    for (Recordset* rs : {&data.rsSelRe, &data.rsSelUnitContent, &data.rsCommand1, &data.rsSelUnit,
                          &data.rsselunited}) {
        if (rs->State() != ObjectState::Open || rs->IsBOF() || rs->IsEOF())
            continue;
        try {
            rs->Resync(platform::db::AffectEnum::Current);
        } catch (const std::exception&) {
            // The row cannot be read again: drop the unsaved edit at least.
            rs->CancelUpdate();
        }
    }
    m_w.EGrid->Refresh();
    m_w.CGrid->Refresh();
}

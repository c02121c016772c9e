#include "windows/Form1.h"

#include "core/ImageButtons.h"
#include "core/Program.h"
#include "core/generalsub.h"
#include "exercise/ExerModel.h"
#include "exercise/frmExer.h"
#include "widgets/FlexGrid.h"
#include "windows/SongTi.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>

using platform::db::Recordset;

namespace {

bool IsHeading(const Recordset& rs) {
    return rs.Field(QStringLiteral("UnitID")).toString().right(2) == QLatin1String("00");
}

} // namespace

Form1::Form1(Program& program)
    : lbTip1(new QLabel(QStringLiteral("提示"), this)),
      lbTip2(new QLabel(QStringLiteral("正在提取数据..."), this)), ShapeTip2(new QFrame(this)),
      Label1(new QLabel(this)), m_program(program) {
    setWindowTitle(QStringLiteral("Verbaro"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xFF, 0xC0)); // light green
    setPalette(pal);
    resize(260, 90);
    lbTip1->setFont(SongTi(12));
    lbTip2->setFont(SongTi(12));
    lbTip1->setGeometry(16, 12, 200, 24);
    lbTip2->setGeometry(40, 44, 200, 24);
    ShapeTip2->setFrameShape(QFrame::Box);
    ShapeTip2->setGeometry(4, 4, 252, 82);
    Label1->setGeometry(16, 70, 220, 14);
}

void Form1::Show() {
    setWindowModality(Qt::ApplicationModal);
    if (m_program.forms.isLoaded<frmExer>()) {
        const QWidget& exer = m_program.forms.get<frmExer>();
        move(exer.geometry().center() - rect().center());
    }
    show();
    raise();
    QCoreApplication::processEvents();
    // All of the step happens as the notice becomes the active window.
    try {
        Form_Activate();
    } catch (...) {
        m_program.forms.unload<Form1>();
        throw;
    }
}

void Form1::Form_Activate() {
    bool moved = false;
    if (lessonnum == 0 || lessonnum == 1)
        moved = MoveToLesson();
    // Where nothing moved, the lesson it stands on is shown afresh.
    ReadRow();
    ReloadExercise();
    SetButtons(moved);
    m_program.forms.unload<Form1>();
}

// Moves over heading rows, and over lessons without sentences (there is
// nothing to practise in them), to the neighbouring lesson. At either end of
// the list there is none: the recordset goes back to the lesson it stood on
// and false tells that nothing moved.
bool Form1::MoveToLesson() {
    Recordset& units = m_program.MyDataEm.rsSelUnit;
    if (units.State() != platform::db::ObjectState::Open || units.IsBOF() || units.IsEOF())
        return false;
    const int start = units.AbsolutePosition();
    const bool back = lessonnum == 0;
    auto step = [&] { back ? units.MovePrevious() : units.MoveNext(); };
    step();
    while (!units.IsBOF() && !units.IsEOF()) {
        QCoreApplication::processEvents();
        if (!IsHeading(units) && HasSentences(units.Field(QStringLiteral("UnitID")).toString()))
            return true;
        step();
    }
    units.SetAbsolutePosition(start);
    return false;
}

bool Form1::HasSentences(const QString& lessonId) {
    ::MyDataEm& data = m_program.MyDataEm;
    data.Reopen(data.SelUnitContent, QStringLiteral("UnitID"), lessonId);
    return data.rsSelUnitContent.RecordCount() >= 1;
}

void Form1::ReadRow() {
    GlobalVars& g = m_program.vars;
    ReadLessonRow(m_program);
    const QVariant id = m_program.MyDataEm.rsSelUnit.Field(QStringLiteral("UnitID"));
    if (!id.isNull())
        g.CurUnitID = id.toString();
}

void Form1::ReloadExercise() {
    GlobalVars& g = m_program.vars;
    ::MyDataEm& data = m_program.MyDataEm;
    if (!m_program.forms.isLoaded<frmExer>())
        return;
    frmExer& w = m_program.forms.get<frmExer>();
    w.LbRCTip->setText(ExerModel::ScoreText(g.UnitScore));
    data.OpenUnitRow(g.CurUnitID);
    data.Reopen(data.Command1, QStringLiteral("UnitID"), g.CurUnitID.left(2) + "0000");
    data.Reopen(data.SelUnitContent, QStringLiteral("UnitID"), g.CurUnitID);
    if (data.rsSelUnitContent.RecordCount() < 1)
        return;
    w.EGrid->Refresh();
    w.CGrid->Refresh();
    w.DoIniGridSetting();
    w.DoIniDlgObj(g.UnitDlgObj, g.UnitObjNums);
    w.DoCreateXML();
    w.DoIniSetting(-1);
    w.DoIniEventInterest();
    w.LoadDefaultGrammar();
    const QVariant english = data.rsSelUnit.Field(QStringLiteral("DlgObjE"));
    w.Label3->setText(english.isNull() ? QString() : english.toString());
    w.EGrid->SetTopRow(1);
    w.EGrid->SetRow(1);
    w.CGrid->SetRow(w.EGrid->Row());
}

// The arrows as the lesson now shown needs them; the first and last lessons
// of the list have no neighbour on one side.
void Form1::SetButtons(bool moved) {
    if (!m_program.forms.isLoaded<frmExer>() || (lessonnum != 0 && lessonnum != 1))
        return;
    frmExer& w = m_program.forms.get<frmExer>();
    const QString id = m_program.MyDataEm.rsSelUnit.Field(QStringLiteral("UnitID")).toString();
    if (!moved) {
        // No lesson further that way: that side's arrow goes off.
        frmExer::SetEnabled(w.SelLesson[lessonnum], false);
        frmExer::SetEnabled(w.SelLesson[1 - lessonnum], true);
        return;
    }
    if (lessonnum == 1) {
        frmExer::SetEnabled(w.SelLesson[1], id != QLatin1String(kLastLessonId));
        frmExer::SetEnabled(w.SelLesson[0], true);
    } else {
        const bool first = id == QLatin1String(kFirstLessonId);
        frmExer::SetEnabled(w.SelLesson[0], !first);
        frmExer::SetEnabled(w.SelLesson[1], true);
    }
}

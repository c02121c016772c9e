#include "core/generalsub.h"

#include "PlatformError.h"
#include "core/ModalWindow.h"
#include "core/Program.h"
#include "exercise/frmExer.h"
#include "ui/IMessageBox.h"
#include "windows/frmUnit.h"

#include <QCoreApplication>
#include <QFrame>

using platform::db::Recordset;

namespace {

// A part row stands for its first unit's first lesson, a unit row for its
// first lesson.
QString FirstLessonOf(const QString& id) {
    if (id.right(4) == QLatin1String("0000"))
        return id.left(2) + "0101";
    if (id.right(2) == QLatin1String("00"))
        return id.left(4) + "01";
    return id;
}

bool HasCurrentRow(const Recordset& rs) {
    return rs.State() == platform::db::ObjectState::Open && !rs.IsBOF() && !rs.IsEOF();
}

// A lesson whose window cannot be made ready (no sound server, no
// microphone) is not opened: the learner reads why and stays in the menu,
// from where the lesson can be opened again once the cause is mended.
bool LoadExercise(Program& program, frmExer& exer) {
    try {
        exer.Load();
        return true;
    } catch (const platform::PlatformError& e) {
        exer.Unload();
        program.platform.messages->show({QStringLiteral("无法打开课文：") + e.message(),
                                         QStringLiteral("错误"), platform::MsgButtons::Ok,
                                         platform::MsgIcon::Critical},
                                        nullptr);
        return false;
    }
}

void TellNoSentences(Program& program) {
    program.platform.messages->show(
        {QStringLiteral("没有对话内容！"), QStringLiteral("Verbaro"), platform::MsgButtons::Ok},
        program.forms.isLoaded<frmUnit>() ? &program.forms.get<frmUnit>() : nullptr);
}

void HideFrameTip(Program& program) {
    if (program.forms.isLoaded<frmUnit>())
        program.forms.get<frmUnit>().FrameTip->hide();
}

} // namespace

void ReadLessonRow(Program& program) {
    const Recordset& rs = program.MyDataEm.rsSelUnit;
    GlobalVars& g = program.vars;
    const QVariant name = rs.Field("CName");
    if (!name.isNull()) {
        g.UnitName = name.toString();
        g.UnitName2 = name.toString();
    }
    const QVariant roles = rs.Field("DlgObj");
    if (!roles.isNull())
        g.UnitDlgObj = roles.toString();
    const QVariant count = rs.Field("ObjNums");
    if (!count.isNull())
        g.UnitObjNums = static_cast<std::int16_t>(count.toInt());
    const QVariant score = rs.Field("chengji");
    g.UnitScore = score.isNull() ? 0 : score.toInt();
}

void OpenLesson(Program& program) {
    QCoreApplication::processEvents();
    GlobalVars& g = program.vars;
    MyDataEm& data = program.MyDataEm;
    Recordset& units = data.rsSelUnit;
    // An empty unit list has no row to open.
    if (!HasCurrentRow(units)) {
        HideFrameTip(program);
        return;
    }
    const QVariant id = units.Field("UnitID");
    if (!id.isNull())
        g.CurUnitID = id.toString();
    g.CurUnitID = FirstLessonOf(g.CurUnitID);

    const int selected = units.AbsolutePosition();
    units.Find("UnitID = '" + g.CurUnitID + "'");
    if (units.IsEOF()) {
        // A heading whose first lesson is missing: the menu keeps its row.
        units.SetAbsolutePosition(selected);
        TellNoSentences(program);
        HideFrameTip(program);
        return;
    }
    ReadLessonRow(program);
    data.Reopen(data.Command1, "UnitID", g.CurUnitID.left(2) + "0000");
    data.Reopen(data.SelUnitContent, "UnitID", g.CurUnitID);
    if (data.rsSelUnitContent.RecordCount() < 1) {
        TellNoSentences(program);
        HideFrameTip(program);
        return;
    }

    frmExer& exer = program.forms.get<frmExer>();
    if (!LoadExercise(program, exer)) {
        HideFrameTip(program);
        return;
    }
    const QString lessonId = units.Field("UnitID").toString();
    if (lessonId == QLatin1String(kFirstLessonId))
        frmExer::SetEnabled(exer.SelLesson[0], false);
    if (lessonId == QLatin1String(kLastLessonId))
        frmExer::SetEnabled(exer.SelLesson[1], false);
    HideFrameTip(program);
    ShowModal(exer);
    if (program.forms.isLoaded<frmUnit>())
        program.forms.get<frmUnit>().canGo = true;
}

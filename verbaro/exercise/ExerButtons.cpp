#include "exercise/ExerButtons.h"

#include "agent/IAgentCharacter.h"
#include "agent/IAgentControl.h"
#include "core/ImageButtons.h"
#include "core/ModalWindow.h"
#include "core/Module_Show.h"
#include "core/Program.h"
#include "core/PubFunction.h"
#include "core/Setxianshi.h"
#include "exercise/frmExer.h"
#include "process/IProcessStarter.h"
#include "process/IProgramEnd.h"
#include "ui/IMessageBox.h"
#include "windows/Form1.h"
#include "windows/FrmSet.h"
#include "windows/frmUnit.h"

#include <QLabel>
#include <array>

namespace {

enum class Naming {
    Plain,    // stem + "-2" / stem + "-1"
    Indexed,  // index + "-2-" + stem / index + "-1-" + stem
    Language, // index 0 in English, 1 in Chinese: "0-2-lang" / "1-2-lang"
};

constexpr std::int16_t kAlwaysSwap = 0;

// One row of the hover table: the button (a single one, or a member of a
// control array), how its picture names are made, and the mode whose running
// keeps the button's stop picture.
struct Hover {
    ImageButton* frmExer::*single;
    std::array<ImageButton*, 2> frmExer::*array;
    int index;
    Naming naming;
    const char* stem;
    std::int16_t noSwapMode;
};

const Hover kHovers[] = {
    {&frmExer::CmdReadAll, nullptr, 0, Naming::Plain, "readall", 1},
    {&frmExer::CmdRead, nullptr, 0, Naming::Plain, "read", 2},
    {&frmExer::CmdFollow, nullptr, 0, Naming::Plain, "follow", 3},
    {&frmExer::CmdFollowOne, nullptr, 0, Naming::Plain, "followone", 5},
    {&frmExer::cmdrecord, nullptr, 0, Naming::Plain, "record", 6},
    {&frmExer::cmdrecordone, nullptr, 0, Naming::Plain, "recordone", 9},
    {nullptr, &frmExer::QingJing, 0, Naming::Indexed, "qingjing", 7},
    {nullptr, &frmExer::QingJing, 1, Naming::Indexed, "qingjing", 8},
    {nullptr, &frmExer::CmdLang2, 1, Naming::Language, "lang", kAlwaysSwap},
    {&frmExer::Cmdhelp, nullptr, 0, Naming::Plain, "help", kAlwaysSwap},
    {&frmExer::CmdSet, nullptr, 0, Naming::Plain, "set", kAlwaysSwap},
    {&frmExer::CmdReturn, nullptr, 0, Naming::Plain, "return", kAlwaysSwap},
    {&frmExer::CmdExit, nullptr, 0, Naming::Plain, "exit", kAlwaysSwap},
    {nullptr, &frmExer::SelLesson, 0, Naming::Indexed, "sel", kAlwaysSwap},
    {nullptr, &frmExer::SelLesson, 1, Naming::Indexed, "sel", kAlwaysSwap},
};

ImageButton* ButtonOf(frmExer& w, const Hover& h) {
    return h.single ? w.*h.single : (w.*h.array)[h.index];
}

const Hover* Find(frmExer& w, const ImageButton* button) {
    for (const Hover& h : kHovers)
        if (button && ButtonOf(w, h) == button)
            return &h;
    return nullptr;
}

// face 2 is the highlighted picture, 1 the normal one.
QString FaceOf(const frmExer& w, const Hover& h, int face) {
    const QString stem = QString::fromLatin1(h.stem);
    switch (h.naming) {
    case Naming::Plain:
        return QStringLiteral("%1-%2").arg(stem).arg(face);
    case Naming::Indexed:
        return QStringLiteral("%1-%2-%3").arg(h.index).arg(face).arg(stem);
    case Naming::Language:
        return QStringLiteral("%1-%2-%3").arg(w.Engli ? 0 : 1).arg(face).arg(stem);
    }
    return {};
}

} // namespace

ExerButtons::ExerButtons(frmExer& window, Program& program) : m_w(window), m_program(program) {}

void ExerButtons::Connect() {
    for (const Hover& h : kHovers) {
        ImageButton* button = ButtonOf(m_w, h);
        if (!button)
            continue;
        QObject::connect(button, &ImageButton::MouseEnter, &m_w,
                         m_w.guard()([this, button] { MouseEnter(button); }));
        QObject::connect(button, &ImageButton::MouseExit, &m_w,
                         m_w.guard()([this, button] { MouseExit(button); }));
    }
    auto click = [this](ImageButton* button, auto handler) {
        if (button)
            QObject::connect(button, &ImageButton::Click, &m_w, m_w.guard()(handler));
    };
    click(m_w.Cmdhelp, [this] { Cmdhelp_Click(); });
    click(m_w.CmdSet, [this] { CmdSet_Click(); });
    click(m_w.CmdReturn, [this] { CmdReturn_Click(); });
    click(m_w.CmdExit, [this] { CmdExit_Click(); });
    click(m_w.SelLesson[0], [this] { SelLesson_Click(0); });
    click(m_w.SelLesson[1], [this] { SelLesson_Click(1); });
}

void ExerButtons::MouseEnter(ImageButton* button) {
    const Hover* h = Find(m_w, button);
    if (!h || (h->noSwapMode != kAlwaysSwap && m_w.CurMode == h->noSwapMode))
        return;
    if (h->array == &frmExer::SelLesson) {
        // The arrow's tool tip just below and to the right of it.
        m_w.Text1->setText(button->ToolTipText());
        m_w.Text1->adjustSize();
        m_w.Text1->move(m_w.ToPixels(button->Left() + button->Width()),
                        m_w.ToPixels(button->Top() + button->Height()));
        m_w.Text1->show();
        m_w.Text1->raise();
    }
    button->SetPictureByName(FaceOf(m_w, *h, 2));
}

void ExerButtons::MouseExit(ImageButton* button) {
    const Hover* h = Find(m_w, button);
    if (!h || (h->noSwapMode != kAlwaysSwap && m_w.CurMode == h->noSwapMode))
        return;
    if (h->array == &frmExer::SelLesson || h->single == &frmExer::CmdReturn)
        m_w.Text1->hide();
    button->SetPictureByName(FaceOf(m_w, *h, 1));
}

void ExerButtons::Cmdhelp_Click() {
    m_w.SetcmdStop(m_w.CurMode, 0);
    if (!OpenHelpFile(m_program.platform, m_program.vars.AppPath + QStringLiteral("QVhelp.chm"),
                      &m_w))
        m_program.platform.messages->show({QStringLiteral("无法打开帮助文件！"),
                                           QStringLiteral("错误"), platform::MsgButtons::Ok},
                                          &m_w);
    frmExer::SetFace(m_w.Cmdhelp, QStringLiteral("help-1"));
}

void ExerButtons::CmdSet_Click() {
    if (m_program.forms.isLoaded<FrmSet>() && m_program.forms.get<FrmSet>().isVisible())
        return;
    m_w.SetcmdStop(m_w.CurMode, 0);
    m_program.forms.get<FrmSet>().Show();
    frmExer::SetFace(m_w.CmdSet, QStringLiteral("set-1"));
}

void ExerButtons::CmdReturn_Click() {
    m_w.SetcmdStop(m_w.CurMode, 0);
    ReturnToSameRow();
    if (m_program.forms.isLoaded<frmUnit>())
        m_program.forms.get<frmUnit>().RebindGrid();
    m_w.Unload();
    if (m_program.forms.isLoaded<frmUnit>())
        m_program.forms.get<frmUnit>().canGo = true;
    ParkAgentForMenu();
}

// The unit list is read again, so the menu shows the totals scoring has just
// written, and stands on the row it stood on.
void ExerButtons::ReturnToSameRow() {
    ::MyDataEm& data = m_program.MyDataEm;
    platform::db::Recordset& units = data.rsSelUnit;
    const int p = units.State() == platform::db::ObjectState::Open ? units.AbsolutePosition() : 0;
    if (units.State() == platform::db::ObjectState::Open)
        units.Close();
    data.SelUnit.OpenRecordset();
    if (p >= 1 && p <= units.RecordCount())
        units.SetAbsolutePosition(p);
}

void ExerButtons::ParkAgentForMenu() {
    const GlobalVars& g = m_program.vars;
    if (g.AgentChoice == 5)
        return;
    const QString name = AgentName(g.AgentChoice);
    if (name.isEmpty())
        return;
    platform::IAgentCharacter& character = m_program.platform.agent->Characters(name);
    character.setLeft(RoundHalfEven(10 * g.ScaleFactor));
    character.setTop(RoundHalfEven(530 * g.ScaleFactor));
}

void ExerButtons::CmdExit_Click() {
    using namespace platform;
    Platform& p = m_program.platform;
    const MsgAnswer answer = p.messages->show(
        {QStringLiteral("确定要退出吗？"), QStringLiteral("提示"), MsgButtons::OkCancel}, &m_w);
    if (answer != MsgAnswer::Ok) {
        frmExer::SetFace(m_w.CmdExit, QStringLiteral("exit-1"));
        return;
    }
    m_w.SetcmdStop(m_w.CurMode, 0);
    m_w.Unload();
    m_program.forms.unload<frmUnit>();
    RestoreDisplayMode(m_program);
    p.processes->startProgram(m_program.vars.AppPath + QStringLiteral("start.exe"),
                              WindowStyle::MinimizedFocus);
    p.programEnd->endProgram(0);
}

void ExerButtons::SelLesson_Click(int Index) {
    m_w.SetcmdStop(m_w.CurMode, 0);
    Form1& stepping = m_program.forms.get<Form1>();
    stepping.lessonnum = static_cast<std::int16_t>(Index);
    if (stepping.isVisible())
        return;
    stepping.Show();
    m_w.Text1->hide();
    frmExer::SetFace(m_w.SelLesson[Index], QStringLiteral("%1-1-sel").arg(Index));
}

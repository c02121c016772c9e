#include "core/FrmMain.h"

#include "core/DataFolder.h"
#include "core/Program.h"
#include "core/PubFunction.h"
#include "core/ScaleFactor.h"
#include "core/Setxianshi.h"
#include "display/IDisplay.h"
#include "process/IProgramEnd.h"
#include "ui/IMessageBox.h"
#include "windows/frmUnit.h"

#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>
#include <exception>

using namespace platform;

namespace {

QPixmap splashPicture() {
    QPixmap pixmap(800, 600);
    pixmap.fill(Qt::white);
    QSvgRenderer svg(QStringLiteral(":/verbaro/splash.svg"));
    QPainter painter(&pixmap);
    svg.render(&painter);
    return pixmap;
}

} // namespace

FrmMain::FrmMain(Program& program)
    : Image1(new QLabel(this)), Timer1(new QTimer(this)), m_program(program),
      m_guard(program.platform.programEnd) {
    setWindowTitle(QStringLiteral("Verbaro"));
    Image1->setGeometry(0, 0, 800, 600);
    Image1->setPixmap(splashPicture());
    setFixedSize(800, 600);
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, m_guard([this] { Timer1_Timer(); }));
}

void FrmMain::Show() {
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    show();
}

void FrmMain::Form_Load() {
    GlobalVars& g = m_program.vars;
    IDisplay& display = *m_program.platform.display;
    display.enumDisplaySettings(0, g.DispMode);
    g.StartWidth = static_cast<std::int16_t>(display.deviceCaps(HORZRES));
    g.StartHeight = static_cast<std::int16_t>(display.deviceCaps(VERTRES));
    DisplayMode inForce;
    if (display.enumDisplaySettings(ENUM_CURRENT_SETTINGS, inForce))
        g.StartFrequency = inForce.displayFrequency;
    SetDisplayMode(m_program, 1024, 768);
    g.ScreenWidth = static_cast<std::int16_t>(display.deviceCaps(HORZRES));
    g.ScaleFactor = ComputeScaleFactor(g.ScreenWidth, display.twipsPerPixelX());
    m_timerEnabled = true;
    startTimerOncePainted();
}

void FrmMain::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    m_painted = true;
    // The picture reaches the screen with this paint, before the timer can fire.
    startTimerOncePainted();
}

void FrmMain::startTimerOncePainted() {
    if (m_timerEnabled && m_painted && !Timer1->isActive())
        Timer1->start();
}

void FrmMain::Timer1_Timer() {
    Timer1->stop();
    m_timerEnabled = false;
    GlobalVars& g = m_program.vars;
    const DataFolder data = DataFolder::choose(g.AppPath, m_program.userFolder);
    g.DataPath = data.path;
    g.GeniePath = g.AppPath + "CHAR/Genie.acs";
    g.MerlinPath = g.AppPath + "CHAR/Merlin.acs";
    g.PeedyPath = g.AppPath + "CHAR/Peedy.acs";
    g.RobbyPath = g.AppPath + "CHAR/Robby.acs";

    platform::Platform& p = m_program.platform;
    if (!HasSoundDevice(p)) {
        p.messages->show({QStringLiteral("没有检测到声卡，请安装声卡！"), QStringLiteral("提示"),
                          MsgButtons::Ok},
                         this);
        RestoreDisplayMode(m_program);
        p.programEnd->endProgram(1);
        return;
    }

    if (!data.error.isEmpty()) {
        p.messages->show({data.error, QStringLiteral("错误"), MsgButtons::Ok, MsgIcon::Critical},
                         this);
        SetDisplayMode(m_program, g.StartWidth, g.StartHeight);
        p.programEnd->endProgram(1);
        return;
    }

    try {
        m_program.MyDataEm.OpenDatabase(g.DataPath);
        if (m_program.MyDataEm.IsReadOnly())
            WarnReadOnlyDatabase();
        m_program.forms.get<frmUnit>().Show();
    } catch (const std::exception&) {
        p.messages->show({QStringLiteral("无法连接数据！请安装 Mdac_typ2.5"),
                          QStringLiteral("警告"), MsgButtons::Ok},
                         this);
        // The learner's screen goes back as it was, as on every other way out.
        RestoreDisplayMode(m_program);
        m_program.forms.unload<FrmMain>();
        p.programEnd->endProgram(1);
    }
}

// The lessons can still be practised, but the learner must know before the
// first attempt that none of it will be kept.
void FrmMain::WarnReadOnlyDatabase() {
    m_program.platform.messages->show(
        {QStringLiteral(
             "课程数据库是只读的，练习成绩将无法保存。\n请检查文件 %1 及其文件夹是否可写。")
             .arg(m_program.vars.DataPath + DataFolder::DatabaseFile),
         QStringLiteral("警告"), platform::MsgButtons::Ok, platform::MsgIcon::Exclamation},
        this);
}

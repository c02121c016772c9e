#include "windows/frmUnit.h"

#include "PlatformError.h"
#include "agent/IAgentCharacter.h"
#include "agent/IAgentControl.h"
#include "core/BackgroundMusic.h"
#include "core/FrmMain.h"
#include "core/ImageButtons.h"
#include "core/Module_Show.h"
#include "core/Program.h"
#include "core/PubFunction.h"
#include "core/ScaleFactor.h"
#include "core/Setxianshi.h"
#include "core/generalsub.h"
#include "display/IDisplay.h"
#include "process/IProcessStarter.h"
#include "process/IProgramEnd.h"
#include "ui/IMessageBox.h"
#include "widgets/DataGrid.h"
#include "windows/FrmBox.h"
#include "windows/frmAbout.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QStyle>
#include <cmath>

namespace {

QFont songTi(double points) {
    QFont f;
    f.setFamilies({QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN"),
                   QStringLiteral("AR PL UMing TW")});
    f.setPointSizeF(points);
    return f;
}

// Designed column widths of the grid, in pixels of a 1024-wide screen, and
// its designed font size.
constexpr int kColumnWidths[] = {340, 110, 110};
constexpr double kGridFontPoints = 12;

// Designed places of the image buttons (pixels of a 1024-wide screen): the
// four text buttons in a column beside the grid, the exit door below them.
constexpr QRect kButtonPlaces[] = {{700, 220, 81, 28},
                                   {700, 270, 81, 28},
                                   {700, 320, 81, 28},
                                   {708, 560, 66, 62},
                                   {700, 370, 81, 28}};

const std::vector<platform::RecordsetModel::Column>& kGridColumns() {
    static const std::vector<platform::RecordsetModel::Column> columns{
        {QStringLiteral("CName"), QStringLiteral("                 单元名称")},
        {QStringLiteral("cishu"), QStringLiteral(" 勤奋指数")},
        {QStringLiteral("chengji"), QStringLiteral("能力指数")}};
    return columns;
}

} // namespace

frmUnit::frmUnit(Program& program)
    : DataGrid1(new platform::DataGrid(this)), Lblcontent(new QLabel(this)),
      Lblcishu(new QLabel(this)), Lblchengji(new QLabel(this)), Text1(new QLabel(this)),
      FrameTip(new QFrame(this)), Label1(new QLabel(FrameTip)), lbTip2(new QLabel(FrameTip)),
      Image2(new QLabel(FrameTip)), m_program(program), m_guard(program.platform.programEnd) {
    setWindowTitle(QStringLiteral("Verbaro"));
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setFont(songTi(kGridFontPoints));
    DataGrid1->verticalHeader()->hide();
    DataGrid1->setDataSource(&m_program.MyDataEm.rsSelUnit, kGridColumns());

    const QFont heading = songTi(14);
    const std::pair<QLabel*, const char*> labels[] = {
        {Lblcontent, "单 元 内 容"}, {Lblcishu, "勤奋指数"}, {Lblchengji, " 能力指数"}};
    for (const auto& [label, text] : labels) {
        label->setText(QString::fromUtf8(text));
        label->setFont(heading);
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(QStringLiteral("color: #0f335f; font-weight: bold;"));
    }
    Text1->setText(QStringLiteral("大家好啊"));
    Text1->setFont(songTi(14));
    Text1->setStyleSheet(
        QStringLiteral("background: #fff8d6; border: 1px solid #c9a54a; padding: 4px;"));
    Text1->installEventFilter(this);
    connect(DataGrid1, &platform::DataGrid::DblClick, this,
            m_guard([this] { DataGrid1_DblClick(); }));
    // Moving the lesson recordset from the grid can fail in the database.
    connect(DataGrid1, &platform::DataGrid::Error, this, m_guard([this](const QString& what) {
                m_program.platform.programEnd->reportRuntimeError(what);
            }));

    FrameTip->setFrameShape(QFrame::Box);
    FrameTip->setStyleSheet(QStringLiteral("QFrame { background: #ffffe1; }"));
    Label1->setText(QStringLiteral("提示:"));
    lbTip2->setText(QStringLiteral("正在提取数据..."));
    Label1->setFont(songTi(12));
    lbTip2->setFont(songTi(12));
    Image2->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    FrameTip->hide();
    createButtons();
}

frmUnit::~frmUnit() = default;

void frmUnit::createButtons() {
    m_imageButtons = std::make_unique<ImageButtons>(m_program.platform);
    for (int i = 0; i < static_cast<int>(CmdDo.size()); ++i) {
        ImageButton* button = m_imageButtons->create(this);
        if (!button)
            return;
        CmdDo[i] = button;
        button->control()->setObjectName(QStringLiteral("CmdDo%1").arg(i));
        SetButtonFace(i, 1);
        connect(button, &ImageButton::MouseEnter, this,
                m_guard([this, i] { CmdDo_MouseEnter(i); }));
        connect(button, &ImageButton::MouseExit, this, m_guard([this, i] { CmdDo_MouseExit(i); }));
        connect(button, &ImageButton::Click, this, m_guard([this, i] { CmdDo_Click(i); }));
    }
}

// face 1 is the normal picture, 2 the one under the pointer.
void frmUnit::SetButtonFace(int Index, int face) {
    if (CmdDo[Index])
        CmdDo[Index]->SetPictureByName(QStringLiteral("%1-%2-main").arg(Index).arg(face));
}

QRect frmUnit::scaled(int x, int y, int w, int h) const {
    return ScaledRect(m_layoutScale, x, y, w, h);
}

void frmUnit::layOut() {
    const int screenWidth = m_program.vars.ScreenWidth > 0 ? m_program.vars.ScreenWidth : 1024;
    m_layoutScale = screenWidth / 1024.0;
    resize(scaled(0, 0, 1024, 768).size());
    Lblcontent->setGeometry(scaled(60, 118, 340, 30));
    Lblcishu->setGeometry(scaled(400, 118, 110, 30));
    Lblchengji->setGeometry(scaled(510, 118, 110, 30));
    DataGrid1->setGeometry(scaled(60, 150, 572, 520));
    Text1->setGeometry(scaled(760, 60, 160, 36));
    FrameTip->setGeometry(scaled(212, 330, 260, 80));
    Image2->setGeometry(scaled(12, 12, 40, 40));
    Label1->setGeometry(scaled(60, 10, 180, 26));
    lbTip2->setGeometry(scaled(60, 40, 190, 26));
    // The columns are laid out at the screen's density here; Form_Resize then
    // scales them by ScaleFactor as it does the grid's font and rows.
    for (int i = 0; i < 3; ++i)
        DataGrid1->SetColumnWidth(i, designedColumnWidth(i));
    // The buttons' extender places are twips of the design, scaled.
    const double k = m_program.vars.ScaleFactor;
    for (int i = 0; i < static_cast<int>(CmdDo.size()); ++i) {
        if (!CmdDo[i])
            continue;
        const QRect& r = kButtonPlaces[i];
        CmdDo[i]->Move(r.x() * 15 * k, r.y() * 15 * k, r.width() * 15 * k, r.height() * 15 * k);
    }
}

void frmUnit::Show() {
    if (!m_loaded) {
        m_loaded = true;
        layOut();
        Form_Load();
    }
    move(0, 0);
    show();
    // Showing a window makes it the active one, also on a desktop without a
    // window manager.
    raise();
    activateWindow();
}

void frmUnit::Form_Load() {
    DataGrid1->Refresh();
    FrameTip->hide();
    canGo = false;
    OpenBackgroundMusic(m_program);
}

void frmUnit::Form_Activate() {
    const std::int16_t choice = m_program.vars.AgentChoice;
    if (choice < 1 || choice > 4)
        IntroduceAgent();
    m_program.forms.unload<FrmMain>();
}

double frmUnit::designedColumnWidth(int column) const {
    // The designed widths at the screen's density.
    const double twips = m_program.platform.display->twipsPerPixelX();
    return kColumnWidths[column] * 15.0 / (twips > 0 ? twips : 15.0);
}

// Merlin appears at the top right and glides to his place at the lower left;
// lessons open from then on.
void frmUnit::IntroduceAgent() {
    GlobalVars& g = m_program.vars;
    platform::IAgentControl& Agent1 = *m_program.platform.agent;
    try {
        Agent1.Unload(QStringLiteral("Merlin"));
        Agent1.Load(QStringLiteral("Merlin"), g.MerlinPath);
        platform::IAgentCharacter& merlin = Agent1.Characters(QStringLiteral("Merlin"));
        merlin.setLeft(RoundHalfEven(850 * g.ScaleFactor));
        merlin.setTop(RoundHalfEven(20 * g.ScaleFactor));
        ShowAgent(g, Agent1, QStringLiteral("Merlin"));
        g.AgentChoice = 2;
        ParkAgent(g);
    } catch (const platform::PlatformError& e) {
        // Without the character the trainer still works; the next activation
        // tries again.
        qWarning("The agent character cannot be shown: %s", e.what());
    }
    canGo = true;
}

void frmUnit::DataGrid1_DblClick() {
    if (canGo)
        OpenLesson(m_program);
}

void frmUnit::CmdDo_MouseEnter(int Index) {
    SetButtonFace(Index, 2);
}

void frmUnit::CmdDo_MouseExit(int Index) {
    SetButtonFace(Index, 1);
}

void frmUnit::CmdDo_Click(int Index) {
    switch (Index) {
    case 0:
        EnterLesson();
        break;
    case 1:
        OpenHelp();
        SetButtonFace(1, 1);
        break;
    case 2:
        ShowAbout();
        SetButtonFace(2, 1);
        break;
    case 3:
        if (!DoExit())
            SetButtonFace(3, 1);
        break;
    case 4:
        ShowLog();
        SetButtonFace(4, 1);
        break;
    default:
        break;
    }
}

// Until Merlin has been introduced the button does nothing at all.
void frmUnit::EnterLesson() {
    if (!canGo)
        return;
    QCoreApplication::processEvents();
    FrameTip->show();
    OpenLesson(m_program);
    SetButtonFace(0, 1);
}

void frmUnit::OpenHelp() {
    if (!OpenHelpFile(m_program.platform, m_program.vars.AppPath + QStringLiteral("QVhelp.chm"),
                      this))
        m_program.platform.messages->show({QStringLiteral("无法打开帮助文件！"),
                                           QStringLiteral("错误"), platform::MsgButtons::Ok},
                                          this);
}

void frmUnit::Form_Resize() {
    // Scaled from the designed sizes, not the current ones: Qt resizes a
    // window many times, and each time must give the same grid.
    const double k = m_program.vars.ScaleFactor;
    for (int i = 0; i < 3; ++i)
        DataGrid1->SetColumnWidth(i, designedColumnWidth(i) * k - 1);
    DataGrid1->SetFontSize(kGridFontPoints * k);
    DataGrid1->SetRowHeight(29 * k);
}

void frmUnit::RebindGrid() {
    DataGrid1->setDataSource(nullptr, {});
    DataGrid1->setDataSource(&m_program.MyDataEm.rsSelUnit, kGridColumns());
    Form_Resize();
    DataGrid1->Refresh();
}

void frmUnit::ShowLog() {
    ::MyDataEm& data = m_program.MyDataEm;
    if (data.rsSelCom.State() == platform::db::ObjectState::Open)
        data.rsSelCom.Close();
    data.SelCom.OpenRecordset();
    FrmBox& box = m_program.forms.get<FrmBox>();
    if (!box.isVisible())
        box.Show();
}

void frmUnit::ShowAbout() {
    m_program.forms.get<frmAbout>().Show();
}

void frmUnit::Text1_Click() {
    Text1->hide();
}

bool frmUnit::DoExit() {
    using namespace platform;
    Platform& p = m_program.platform;
    const MsgAnswer answer = p.messages->show(
        {QStringLiteral("确定要退出吗？"), QStringLiteral("提示"), MsgButtons::OkCancel}, this);
    if (answer != MsgAnswer::Ok)
        return false;
    CloseBackgroundMusic(m_program);
    m_program.forms.unload<frmUnit>();
    RestoreDisplayMode(m_program);
    p.processes->startProgram(m_program.vars.AppPath + QStringLiteral("start.exe"),
                              WindowStyle::MinimizedFocus);
    p.programEnd->endProgram(0);
    return true;
}

// The program ends only through its exit paths: the close box is one more
// way to the exit button's question.
void frmUnit::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_guard.run([this] { DoExit(); });
}

void frmUnit::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_guard.run([this] { Form_Activate(); });
}

void frmUnit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_guard.run([this] { Form_Resize(); });
}

bool frmUnit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::MouseButtonRelease)
        m_guard.run([this] { Text1_Click(); });
    return QWidget::eventFilter(watched, event);
}

void frmUnit::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0x1d, 0x4f, 0x91));
    sky.setColorAt(0.25, QColor(0x3f, 0x86, 0xc9));
    sky.setColorAt(1, QColor(0xdd, 0xee, 0xf9));
    p.fillRect(rect(), sky);
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Liberation Serif"));
    title.setPixelSize(static_cast<int>(48 * m_layoutScale));
    title.setBold(true);
    p.setFont(title);
    p.drawText(scaled(60, 20, 400, 70), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Verbaro"));
    QFont sub = songTi(16);
    p.setFont(sub);
    p.drawText(scaled(330, 40, 400, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("英语情景对话训练"));
}

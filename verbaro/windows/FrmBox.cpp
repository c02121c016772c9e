#include "windows/FrmBox.h"

#include "core/Program.h"
#include "core/ScaleFactor.h"
#include "db/Recordset.h"
#include "process/IProgramEnd.h"
#include "widgets/DataGrid.h"
#include "windows/PracticeDays.h"
#include "windows/ProgressChart.h"
#include "windows/SongTi.h"

#include <QHeaderView>
#include <QLabel>
#include <cmath>

namespace {

// Designed sizes (pixels of a 1024-wide screen, points at 15 twips per pixel).
constexpr double kGridFontPoints = 10.5;
constexpr int kColumnWidths[] = {104, 82, 82};

} // namespace

FrmBox::FrmBox(Program& program)
    : BoxData(new platform::DataGrid(this)), zhishu(new QLabel(this)), Label1(new QLabel(this)),
      ProgressChart1(new ProgressChart(this)), m_program(program),
      m_guard(program.platform.programEnd) {
    setWindowTitle(QStringLiteral("统计窗口"));
    setObjectName(QStringLiteral("FrmBox"));
    BoxData->setObjectName(QStringLiteral("BoxData"));
    BoxData->setFont(SongTi(kGridFontPoints));
    BoxData->horizontalHeader()->setFont(SongTi(kGridFontPoints));
    BoxData->verticalHeader()->hide();
    connect(BoxData, &platform::DataGrid::Error, this, m_guard([this](const QString& what) {
                m_program.platform.programEnd->reportRuntimeError(what);
            }));
    BoxData->setDataSource(&m_program.MyDataEm.rsSelCom,
                           {{QStringLiteral("NowData"), QStringLiteral("日期")},
                            {QStringLiteral("NowChengji"), QStringLiteral("能力指数")},
                            {QStringLiteral("NowCishu"), QStringLiteral("勤奋指数")}});

    Label1->setText(QStringLiteral("综合指数："));
    Label1->setFont(SongTi(12));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    zhishu->setObjectName(QStringLiteral("zhishu"));
    zhishu->setText(QStringLiteral("10.00"));
    zhishu->setFont(SongTi(22));
    zhishu->setStyleSheet(QStringLiteral("color: #b01818; font-weight: bold;"));
    zhishu->setToolTip(QStringLiteral("所有日子里平均每次练习的得分"));

    const int screenWidth = m_program.vars.ScreenWidth > 0 ? m_program.vars.ScreenWidth : 1024;
    m_layoutScale = screenWidth / 1024.0;
    setFixedSize(scaled(0, 0, 800, 520).size());
    BoxData->setGeometry(scaled(14, 14, 292, 424));
    Label1->setGeometry(scaled(14, 452, 130, 48));
    zhishu->setGeometry(scaled(146, 452, 160, 48));
    ProgressChart1->setGeometry(scaled(318, 8, 474, 504));
    for (int i = 0; i < 3; ++i)
        BoxData->SetColumnWidth(i, kColumnWidths[i] * m_layoutScale);
    setStyleSheet(QStringLiteral("FrmBox { background: #eef5fb; }"));
}

QRect FrmBox::scaled(int x, int y, int w, int h) const {
    return ScaledRect(m_layoutScale, x, y, w, h);
}

void FrmBox::Show() {
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    exec();
}

void FrmBox::Form_Load() {
    platform::db::Recordset& rs = m_program.MyDataEm.rsSelCom;
    const std::vector<PracticeDay> days = ReadPracticeDays(rs);
    zhishu->setText(OverallIndexText(days));
    ProgressChart1->setDays(days);
    // Reading went past the last day; the grid shows the newest day selected.
    if (!days.empty())
        rs.MoveFirst();
}

void FrmBox::Form_Resize() {
    // Scaled from the designed size, not from the current one: Qt resizes a
    // window many times, and each time must give the same fonts.
    const GlobalVars& g = m_program.vars;
    const double density = g.ScreenWidth > 0 ? g.ScaleFactor / g.ScreenWidth * 1024 : 1.0;
    const double points = kGridFontPoints * density;
    if (points <= 0)
        return;
    BoxData->setFont(SongTi(points));
    BoxData->horizontalHeader()->setFont(SongTi(points));
}

void FrmBox::done(int result) {
    QDialog::done(result);
    m_program.forms.unload<FrmBox>();
}

void FrmBox::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_guard.run([this] { Form_Resize(); });
}

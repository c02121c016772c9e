#include "exercise/frmExer.h"

#include "PlatformError.h"
#include "core/BackgroundMusic.h"
#include "core/ImageButtons.h"
#include "core/Program.h"
#include "core/ScaleFactor.h"
#include "exercise/ExerButtons.h"
#include "exercise/ExerFeedback.h"
#include "exercise/ExerGrids.h"
#include "exercise/ExerModel.h"
#include "exercise/ExerModes.h"
#include "exercise/ExerPlayback.h"
#include "exercise/ExerRecognition.h"
#include "exercise/ExerScoring.h"
#include "exercise/ExerSequencer.h"
#include "media/IMediaCommands.h"
#include "process/IProgramEnd.h"
#include "screen/IScreenMetrics.h"
#include "speech/IRecoContext.h"
#include "speech/ISpeechFactory.h"
#include "speech/ISpeechGrammar.h"
#include "speech/IVoice.h"
#include "widgets/FlexGrid.h"
#include "widgets/PopupButton.h"
#include "widgets/UpDown.h"
#include "windows/SongTi.h"
#include "windows/frmUnit.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>
#include <cmath>

namespace {

// The faces of the role buttons and the dialogue button: pressed in
// (selected, running) and raised (unselected, idle).
QPixmap RoleFace(bool selected) {
    QPixmap face(95, 30);
    QPainter p(&face);
    QLinearGradient g(0, 0, 0, face.height());
    g.setColorAt(0, selected ? QColor(0xff, 0xd0, 0x80) : QColor(0xf4, 0xf9, 0xff));
    g.setColorAt(1, selected ? QColor(0xf0, 0x98, 0x30) : QColor(0xb8, 0xd4, 0xf0));
    p.fillRect(face.rect(), g);
    p.setPen(selected ? QColor(0x90, 0x50, 0x10) : QColor(0x50, 0x78, 0xa8));
    p.drawRect(face.rect().adjusted(0, 0, -1, -1));
    return face;
}

} // namespace

frmExer::frmExer(Program& program)
    : m_program(program), m_guard(program.platform.programEnd),
      m_imageButtons(std::make_unique<ImageButtons>(program.platform)),
      m_model(std::make_unique<ExerModel>(*this, program)),
      m_playback(std::make_unique<ExerPlayback>(*this, program)),
      m_modes(std::make_unique<ExerModes>(*this, program)),
      m_sequencer(std::make_unique<ExerSequencer>(*this, program)),
      m_grids(std::make_unique<ExerGrids>(*this, program)),
      m_recognition(std::make_unique<ExerRecognition>(*this, program)),
      m_scoring(std::make_unique<ExerScoring>(*this, program)),
      m_feedback(std::make_unique<ExerFeedback>(*this, program)),
      m_buttons(std::make_unique<ExerButtons>(*this, program)) {
    setWindowTitle(QStringLiteral("Verbaro"));
    createControls();
    connectHandlers();
    layOut();
}

frmExer::~frmExer() {
    if (m_program.vars.RecoGrammar == m_grammar.get())
        m_program.vars.RecoGrammar = nullptr;
}

// ---- controls ----------------------------------------------------------

ImageButton* frmExer::createImageButton(const QString& name, const QString& face) {
    ImageButton* button = m_imageButtons->create(this);
    if (!button)
        return nullptr;
    button->control()->setObjectName(name);
    button->SetPictureByName(face);
    return button;
}

void frmExer::createControls() {
    const platform::IScreenMetrics* screen = m_program.platform.screen;
    const platform::Twips twips(screen ? screen->twipsPerPixelX() : 15.0,
                                screen ? screen->twipsPerPixelY() : 15.0);

    EGrid = new platform::FlexGrid(this, twips);
    CGrid = new platform::FlexGrid(this, twips);
    EGrid->setObjectName(QStringLiteral("EGrid"));
    CGrid->setObjectName(QStringLiteral("CGrid"));
    EGrid->SetFontFixed(SongTi(14.25));
    CGrid->SetFontFixed(SongTi(14.25));
    m_grids->ScaleFonts();

    txtchinese = new QLabel(this);
    txtchinese->setWordWrap(true);
    txtchinese->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txtchinese->setStyleSheet(
        QStringLiteral("background: #ffffe1; border: 1px solid #808080; padding: 2px;"));
    txtchinese->setFont(SongTi(12));
    txtchinese->hide();

    CmdReadAll = createImageButton(QStringLiteral("CmdReadAll"), QStringLiteral("readall-1"));
    CmdRead = createImageButton(QStringLiteral("CmdRead"), QStringLiteral("read-1"));
    CmdFollow = createImageButton(QStringLiteral("CmdFollow"), QStringLiteral("follow-1"));
    CmdFollowOne = createImageButton(QStringLiteral("CmdFollowOne"), QStringLiteral("followone-1"));
    cmdrecord = createImageButton(QStringLiteral("cmdrecord"), QStringLiteral("record-1"));
    cmdrecordone = createImageButton(QStringLiteral("cmdrecordone"), QStringLiteral("recordone-1"));
    for (int i = 0; i < 2; ++i) {
        QingJing[i] = createImageButton(QStringLiteral("QingJing%1").arg(i),
                                        QStringLiteral("%1-1-qingjing").arg(i));
        SelLesson[i] = createImageButton(QStringLiteral("SelLesson%1").arg(i),
                                         QStringLiteral("%1-1-sel").arg(i));
    }
    CmdLang2[1] = createImageButton(QStringLiteral("CmdLang2"), QStringLiteral("0-1-lang"));
    Cmdhelp = createImageButton(QStringLiteral("Cmdhelp"), QStringLiteral("help-1"));
    CmdSet = createImageButton(QStringLiteral("CmdSet"), QStringLiteral("set-1"));
    CmdReturn = createImageButton(QStringLiteral("CmdReturn"), QStringLiteral("return-1"));
    CmdExit = createImageButton(QStringLiteral("CmdExit"), QStringLiteral("exit-1"));
    if (SelLesson[0])
        SelLesson[0]->SetToolTipText(QStringLiteral("上一课"));
    if (SelLesson[1])
        SelLesson[1]->SetToolTipText(QStringLiteral("下一课"));

    Shape1 = new QFrame(this);
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setStyleSheet(QStringLiteral("QFrame { border: 2px solid #4a78b0; }"));
    LbObjTip = new QLabel(QStringLiteral("选择角色"), this);
    LbObjTip->setFont(SongTi(12, true));
    Frame2 = new QFrame(this);
    for (int i = 0; i < ExerModel::kRoleButtons; ++i) {
        chkobj[i] = new platform::PopupButton(Frame2, twips);
        chkobj[i]->setObjectName(QStringLiteral("chkobj%1").arg(i));
        chkobj[i]->setFont(SongTi(11));
    }
    cmddialog = new platform::PopupButton(this, twips);
    cmddialog->setObjectName(QStringLiteral("cmddialog"));
    cmddialog->SetCaption(QStringLiteral("对 话"));
    cmddialog->setFont(SongTi(11, true));
    Image2 = new QLabel(this);
    Image3 = new QLabel(this);
    Image2->setPixmap(RoleFace(true));
    Image3->setPixmap(RoleFace(false));
    Image2->hide();
    Image3->hide();
    cmddialog->SetPicture(Image3->pixmap());

    Label8 = new QLabel(QStringLiteral("设置识别难度:"), this);
    Label5 = new QLabel(QStringLiteral("易"), this);
    Label4 = new QLabel(QStringLiteral("难"), this);
    for (QLabel* l : {Label8, Label5, Label4})
        l->setFont(SongTi(12));
    for (int i = 0; i < 10; ++i) {
        SbOpn[i] = new QRadioButton(this);
        SbOpn[i]->setObjectName(QStringLiteral("SbOpn%1").arg(i));
    }
    lblRCNum = new QLabel(QStringLiteral("学习次数："), this);
    lblRCNum->setFont(SongTi(12));
    txtNum = new QLineEdit(QStringLiteral("1"), this);
    txtNum->setAlignment(Qt::AlignCenter);
    updNum = new platform::UpDown(this, twips);
    updNum->SetRange(1, 99);
    updNum->SetValue(1);
    updNum->SetBuddyControl(txtNum);

    Label1 = new QLabel(QStringLiteral(" Welcome!"), this);
    QFont status(QStringLiteral("Liberation Serif"));
    status.setPointSizeF(20);
    status.setBold(true);
    Label1->setFont(status);
    Label1->setStyleSheet(QStringLiteral("color: #b02020;"));
    LbRCTip = new QLabel(this);
    LbRCTip->setFont(SongTi(16, true));
    LbRCTip->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LbUnit = new QLabel(this);
    lbunits = new QLabel(this);
    Lbunited = new QLabel(this);
    Label3 = new QLabel(this);
    LbUnit->setFont(SongTi(13));
    lbunits->setFont(SongTi(13));
    Lbunited->setFont(SongTi(20, true));
    Label3->setFont(SongTi(12));
    for (QLabel* l : {LbUnit, lbunits, Lbunited})
        l->setStyleSheet(QStringLiteral("color: white;"));
    Text1 = new QLabel(this);
    Text1->setFont(SongTi(10));
    Text1->setStyleSheet(QStringLiteral("background: #ffffe1; border: 1px solid #808080;"));
    Text1->hide();
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
}

void frmExer::connectHandlers() {
    auto click = [this](ImageButton* button, auto handler) {
        if (button)
            connect(button, &ImageButton::Click, this, m_guard(handler));
    };
    click(CmdReadAll, [this] { modes().CmdReadAll_Click(); });
    click(CmdRead, [this] { modes().CmdRead_Click(); });
    click(CmdFollow, [this] { modes().CmdFollow_Click(); });
    click(CmdFollowOne, [this] { modes().CmdFollowOne_Click(); });
    click(cmdrecord, [this] { modes().cmdrecord_Click(); });
    click(cmdrecordone, [this] { modes().cmdrecordone_Click(); });
    click(QingJing[0], [this] { modes().QingJing_Click(0); });
    click(QingJing[1], [this] { modes().QingJing_Click(1); });
    click(CmdLang2[1], [this] { modes().CmdLang2_Click(1); });

    connect(cmddialog, &platform::PopupButton::Press, this,
            m_guard([this] { modes().cmddialog_Press(); }));
    for (int i = 0; i < ExerModel::kRoleButtons; ++i)
        connect(chkobj[i], &platform::PopupButton::Press, this,
                m_guard([this, i] { model().chkobj_Press(i); }));
    // The pointer over a popup button raises it; a grid's mouse release
    // flattens the dialogue button again.
    for (platform::PopupButton* button : chkobj)
        connect(button, &platform::PopupButton::MouseMove, this,
                m_guard([button](short, short, float, float) { button->SetStyle(4); }));
    connect(cmddialog, &platform::PopupButton::MouseMove, this,
            m_guard([this](short, short, float, float) { cmddialog->SetStyle(4); }));
    for (int i = 0; i < 10; ++i)
        connect(SbOpn[i], &QRadioButton::clicked, this,
                m_guard([this, i] { model().SbOpn_Click(i); }));
    connect(updNum, &platform::UpDown::Change, this, m_guard([this] { model().updNum_Change(); }));

    using platform::FlexGrid;
    auto mouse = [this](FlexGrid* grid, auto signal, auto handler) {
        connect(grid, signal, this, m_guard([this, handler](short b, short s, float x, float y) {
                    (grids().*handler)(b, s, x, y);
                }));
    };
    mouse(EGrid, &FlexGrid::MouseDown, &ExerGrids::EGrid_MouseDown);
    mouse(CGrid, &FlexGrid::MouseDown, &ExerGrids::CGrid_MouseDown);
    mouse(EGrid, &FlexGrid::MouseUp, &ExerGrids::EGrid_MouseUp);
    mouse(CGrid, &FlexGrid::MouseUp, &ExerGrids::CGrid_MouseUp);
    connect(EGrid, &FlexGrid::DblClick, this, m_guard([this] { grids().EGrid_DblClick(); }));
    connect(CGrid, &FlexGrid::DblClick, this, m_guard([this] { grids().CGrid_DblClick(); }));
    connect(EGrid, &FlexGrid::SelChange, this, m_guard([this] { grids().EGrid_SelChange(); }));
    connect(Timer1, &QTimer::timeout, this, m_guard([this] { Timer1_Timer(); }));
    m_buttons->Connect();
}

// Designed pixels of a 1024 x 768 screen, scaled to this screen.
QRect frmExer::scaled(int x, int y, int w, int h) const {
    return ScaledRect(m_program.vars.ScreenWidth > 0 ? m_program.vars.ScreenWidth / 1024.0 : 1.0, x,
                      y, w, h);
}

void frmExer::layOut() {
    resize(scaled(0, 0, 1024, 768).size());
    Lbunited->setGeometry(scaled(30, 14, 560, 40));
    LbUnit->setGeometry(scaled(30, 60, 300, 26));
    lbunits->setGeometry(scaled(340, 60, 300, 26));
    Label3->setGeometry(scaled(30, 100, 740, 24));
    EGrid->setGeometry(scaled(30, 130, 740, 440));
    CGrid->setGeometry(scaled(30, 130, 740, 440));
    txtchinese->setGeometry(scaled(0, 0, 200, 16));
    Label1->setGeometry(scaled(30, 580, 360, 36));
    LbRCTip->setGeometry(scaled(560, 580, 210, 36));

    Shape1->setGeometry(scaled(25, 620, 750, 84));
    LbObjTip->setGeometry(scaled(35, 626, 120, 22));
    Frame2->setGeometry(scaled(35, 652, 600, 44));
    for (int i = 0; i < ExerModel::kRoleButtons; ++i)
        chkobj[i]->setGeometry(scaled(i * 100, 6, 95, 30).translated(0, 0));
    cmddialog->move(scaled(655, 662, 0, 0).topLeft());
    Label8->setGeometry(scaled(35, 630, 150, 24));
    Label5->setGeometry(scaled(190, 630, 22, 24));
    for (int i = 0; i < 10; ++i)
        SbOpn[i]->setGeometry(scaled(214 + 24 * i, 632, 22, 22));
    Label4->setGeometry(scaled(456, 630, 22, 24));
    lblRCNum->setGeometry(scaled(35, 666, 100, 26));
    txtNum->setGeometry(scaled(138, 666, 44, 26));
    updNum->setGeometry(scaled(182, 666, 18, 26));

    auto place = [this](ImageButton* button, int x, int y, int w, int h) {
        if (!button)
            return;
        const double k = m_program.vars.ScaleFactor;
        button->Move(x * 15 * k, y * 15 * k, w * 15 * k, h * 15 * k);
    };
    place(CmdReadAll, 800, 130, 81, 28);
    place(CmdRead, 900, 130, 81, 28);
    place(CmdFollow, 800, 172, 81, 28);
    place(CmdFollowOne, 900, 172, 81, 28);
    place(cmdrecord, 800, 214, 81, 28);
    place(cmdrecordone, 900, 214, 81, 28);
    place(QingJing[0], 800, 256, 81, 28);
    place(QingJing[1], 900, 256, 81, 28);
    place(CmdLang2[1], 800, 310, 81, 28);
    place(Cmdhelp, 800, 364, 81, 28);
    place(CmdSet, 900, 364, 81, 28);
    place(CmdReturn, 800, 406, 81, 28);
    place(CmdExit, 900, 406, 81, 28);
    place(SelLesson[0], 800, 40, 32, 32);
    place(SelLesson[1], 840, 40, 32, 32);
}

int frmExer::ToPixels(double twips) const {
    return EGrid->twips().toPixelsX(twips);
}

double frmExer::ToTwips(int pixels) const {
    return EGrid->twips().toTwipsX(pixels);
}

void frmExer::SetFace(ImageButton* button, const QString& pictureName) {
    if (button)
        button->SetPictureByName(pictureName);
}

void frmExer::SetEnabled(ImageButton* button, bool enabled) {
    if (button)
        button->SetEnabled(enabled);
}

// ---- procedures other windows call -------------------------------------

void frmExer::DoIniGridSetting() {
    m_grids->DoIniGridSetting();
}

bool frmExer::DoIniDlgObj(QString& AsDlgObj, std::int16_t AiObjNums) {
    return m_model->DoIniDlgObj(AsDlgObj, AiObjNums);
}

void frmExer::DoIniSetting(std::int16_t xy) {
    m_model->DoIniSetting(xy);
}

bool frmExer::SetcmdStop(std::int16_t ABeforeID, std::int16_t ACurID) {
    return m_modes->SetcmdStop(ABeforeID, ACurID);
}

bool frmExer::DoCreateXML() {
    return m_recognition->DoCreateXML();
}

void frmExer::DoIniEventInterest() {
    m_recognition->DoIniEventInterest();
}

void frmExer::LoadDefaultGrammar() {
    m_recognition->LoadDefaultGrammar();
}

// ---- load, activate, unload --------------------------------------------

void frmExer::Load() {
    if (m_loaded)
        return;
    m_loaded = true;
    move(0, 0); // laid out for the whole screen
    Form_Load();
}

void frmExer::Form_Load() {
    GlobalVars& g = m_program.vars;
    MyDataEm& data = m_program.MyDataEm;
    data.OpenUnitRow(g.CurUnitID);
    m_model->OpenTodayRow();

    Fenshu = 1;
    g.ReadSpeed = QStringLiteral("2");
    RETRYNUMS = 1;
    onoff = true;

    EGrid->SetDataSource(&data.rsSelUnitContent, {{QStringLiteral("DlgObj"), {}},
                                                  {QStringLiteral("EDlg"), {}},
                                                  {QStringLiteral("cishu"), {}},
                                                  {QStringLiteral("chengji"), {}}});
    CGrid->SetDataSource(&data.rsSelUnitContent, {{QStringLiteral("DlgObj"), {}},
                                                  {QStringLiteral("CDlg"), {}},
                                                  {QStringLiteral("cishu"), {}},
                                                  {QStringLiteral("chengji"), {}}});
    EGrid->SetRow(1);
    CGrid->SetRow(1);

    DoIniDlgObj(g.UnitDlgObj, g.UnitObjNums);
    DoCreateXML();
    DoIniSetting(0);
    DoIniGridSetting();
    EGrid->setVisible(true);
    CGrid->setVisible(false);

    platform::ISpeechFactory& speech = *m_program.platform.speech;
    try {
        priVoice = speech.CreateVoice();
        priRC = speech.CreateRecoContext();
        voice1 = speech.CreateVoice();
    } catch (const platform::PlatformError& e) {
        throw platform::PlatformError(QStringLiteral("声音设备（麦克风或扬声器）不可用。\n") +
                                      e.message());
    }
    connect(priVoice.get(), &platform::IVoice::StartStream, this,
            m_guard([this](qint32 number, const QVariant& position) {
                playback().priVoice_StartStream(number, position);
            }));
    connect(priVoice.get(), &platform::IVoice::EndStream, this,
            m_guard([this](qint32 number, const QVariant& position) {
                sequencer().priVoice_EndStream(number, position);
            }));
    connect(priVoice.get(), &platform::IVoice::StreamFailed, this,
            m_guard([this](qint32 number, const QString& why) {
                playback().priVoice_StreamFailed(number, why);
            }));

    connect(priRC.get(), &platform::IRecoContext::Recognition, this,
            m_guard([this](qint32 number, const QVariant& position, int type,
                           const platform::RecoResult& result) {
                recognition().priRC_Recognition(number, position, type, result);
            }));
    connect(priRC.get(), &platform::IRecoContext::FalseRecognition, this,
            m_guard([this](qint32 number, const QVariant& position,
                           const platform::RecoResult& result) {
                recognition().priRC_FalseRecognition(number, position, result);
            }));
    connect(priRC.get(), &platform::IRecoContext::SourceLost, this,
            m_guard([this] { recognition().priRC_SourceLost(); }));

    DoIniEventInterest();
    LoadDefaultGrammar();

    LbRCTip->setText(ExerModel::ScoreText(g.UnitScore));
    m_model->InitAgentAndRecogniser();
}

void frmExer::Form_Activate() {
    platform::db::Recordset& units = m_program.MyDataEm.rsSelUnit;
    const bool onRow =
        units.State() == platform::db::ObjectState::Open && !units.IsBOF() && !units.IsEOF();
    Label3->setText(onRow ? units.Field(QStringLiteral("DlgObjE")).toString() : QString());
    CloseBackgroundMusic(m_program);
}

void frmExer::Form_Unload() {
    SetcmdStop(CurMode, 0);
    m_program.vars.RecoGrammar = nullptr;
    m_grammar.reset();
    priVoice.reset();
    priRC.reset();
    voice1.reset();
    OpenBackgroundMusic(m_program);
}

void frmExer::Unload() {
    if (m_loaded && !m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    if (m_program.forms.isLoaded<frmExer>() && &m_program.forms.get<frmExer>() == this)
        m_program.forms.unload<frmExer>();
}

void frmExer::Form_Resize() {
    cmddialog->SetWidth(1050);
    cmddialog->SetHeight(360);
    m_grids->ScaleFonts();
    if (m_loaded)
        DoIniGridSetting();
}

void frmExer::Timer1_Timer() {
    Timer1->stop();
}

// ---- Qt events -----------------------------------------------------------

void frmExer::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_loaded && !m_unloaded)
        m_guard.run([this] { Form_Activate(); });
}

void frmExer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_guard.run([this] { Form_Resize(); });
}

// The window's close box returns to the unit menu as the return button does.
void frmExer::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_guard.run([this] { m_buttons->CmdReturn_Click(); });
}

void frmExer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0x1d, 0x4f, 0x91));
    sky.setColorAt(0.16, QColor(0x3f, 0x86, 0xc9));
    sky.setColorAt(0.17, QColor(0xdd, 0xee, 0xf9));
    sky.setColorAt(1, QColor(0xc6, 0xdf, 0xf4));
    p.fillRect(rect(), sky);
}

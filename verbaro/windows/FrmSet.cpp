#include "windows/FrmSet.h"

#include "PlatformError.h"
#include "agent/IAgentCharacter.h"
#include "agent/IAgentControl.h"
#include "core/ModalWindow.h"
#include "core/Module_Show.h"
#include "core/Program.h"
#include "exercise/ExerModel.h"
#include "exercise/frmExer.h"
#include "process/IProgramEnd.h"
#include "speech/IRecoContext.h"
#include "speech/IRecognizer.h"
#include "speech/ISpeechGrammar.h"
#include "ui/IMessageBox.h"
#include "widgets/UpDown.h"
#include "windows/SongTi.h"
#include "windows/clsCtlVolume.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>

namespace {

constexpr int kBarStep = 1000;
constexpr int kMaxAttempts = 99;
constexpr std::int16_t kNoCharacter = 5;

// A whole number from 1 up to the box's maximum, or 0 for anything else.
int WholeAttempts(const QString& text) {
    bool whole = false;
    const int value = text.trimmed().toInt(&whole);
    return whole && value >= 1 && value <= kMaxAttempts ? value : 0;
}

} // namespace

FrmSet::FrmSet(Program& program) : m_program(program), m_guard(program.platform.programEnd) {
    setWindowTitle(QStringLiteral("设置"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    createControls();
    layOut();
    connectHandlers();
}

FrmSet::~FrmSet() {
    updNum->SetBuddyControl(nullptr);
}

void FrmSet::createControls() {
    setFont(SongTi(10.5));
    fraAgent = new QGroupBox(QStringLiteral("人物选项"), this);
    const char* const agents[] = {"Genine", "Merlin", "Peedy", "Robby", "None"};
    for (int i = 1; i <= 5; ++i)
        COption[i] = new QRadioButton(QString::fromLatin1(agents[i - 1]), fraAgent);

    fraSound = new QGroupBox(QStringLiteral("声音打分"), this);
    const char* const sounds[] = {"人声打分", "音乐打分", "音效打分", "无"};
    for (int i = 1; i <= 4; ++i)
        Option_Sound[i] = new QRadioButton(QString::fromUtf8(sounds[i - 1]), fraSound);

    fraSpeed = new QGroupBox(QStringLiteral("声音选项"), this);
    duyin[0] = new QRadioButton(QStringLiteral("快速读音"), fraSpeed);
    duyin[1] = new QRadioButton(QStringLiteral("慢速读音"), fraSpeed);

    fraRC = new QGroupBox(QStringLiteral("识别控制"), this);
    lblRCNum = new QLabel(QStringLiteral("学习次数："), fraRC);
    txtNum = new QLineEdit(fraRC);
    txtNum->setAlignment(Qt::AlignCenter);
    updNum = new platform::UpDown(fraRC);
    updNum->SetRange(1, kMaxAttempts);
    updNum->SetBuddyControl(txtNum);
    lblRCRate = new QLabel(QStringLiteral("识别难度"), fraRC);
    sldRCRate = new QSlider(Qt::Horizontal, fraRC);
    sldRCRate->setRange(1, 10);
    sldRCRate->setTickPosition(QSlider::TicksBelow);
    sldRCRate->setPageStep(1);
    lblLow = new QLabel(QStringLiteral("易"), fraRC);
    lblMid = new QLabel(QStringLiteral("中"), fraRC);
    lblHigh = new QLabel(QStringLiteral("难"), fraRC);
    lblPro = new QLabel(QStringLiteral("专业"), fraRC);

    fraVolume = new QGroupBox(QStringLiteral("声音控制"), this);
    lblVolume = new QLabel(QStringLiteral("音量"), fraVolume);
    lblMic = new QLabel(QStringLiteral("麦克"), fraVolume);
    lblAdd = new QLabel(QStringLiteral("+"), fraVolume);
    lblDes = new QLabel(QStringLiteral("-"), fraVolume);
    // The top of a bar is the loudest end.
    for (QScrollBar** bar : {&vsVolume, &vsMic}) {
        *bar = new QScrollBar(Qt::Vertical, fraVolume);
        (*bar)->setInvertedAppearance(true);
        (*bar)->setInvertedControls(true);
    }
    Command1 = new QPushButton(QStringLiteral("关 闭"), this);
}

void FrmSet::layOut() {
    resize(470, 330);
    fraAgent->setGeometry(10, 8, 140, 160);
    for (int i = 1; i <= 5; ++i)
        COption[i]->setGeometry(14, 22 + (i - 1) * 26, 110, 22);
    fraSound->setGeometry(160, 8, 140, 132);
    for (int i = 1; i <= 4; ++i)
        Option_Sound[i]->setGeometry(14, 22 + (i - 1) * 26, 110, 22);
    fraSpeed->setGeometry(160, 142, 140, 78);
    duyin[0]->setGeometry(14, 22, 110, 22);
    duyin[1]->setGeometry(14, 48, 110, 22);
    fraRC->setGeometry(10, 226, 290, 96);
    lblRCNum->setGeometry(10, 22, 80, 22);
    txtNum->setGeometry(90, 22, 40, 22);
    updNum->setGeometry(130, 22, 18, 22);
    lblLow->setGeometry(78, 50, 20, 16);
    lblMid->setGeometry(150, 50, 20, 16);
    lblHigh->setGeometry(222, 50, 20, 16);
    lblRCRate->setGeometry(10, 66, 64, 22);
    sldRCRate->setGeometry(76, 64, 166, 28);
    lblPro->setGeometry(246, 66, 36, 22);
    fraVolume->setGeometry(310, 8, 150, 260);
    lblAdd->setGeometry(66, 22, 20, 18);
    vsVolume->setGeometry(30, 42, 20, 170);
    vsMic->setGeometry(100, 42, 20, 170);
    lblDes->setGeometry(66, 212, 20, 18);
    lblVolume->setGeometry(22, 230, 40, 20);
    lblMic->setGeometry(92, 230, 40, 20);
    Command1->setGeometry(340, 284, 100, 32);
}

void FrmSet::connectHandlers() {
    for (int i = 1; i <= 4; ++i)
        connect(Option_Sound[i], &QRadioButton::toggled, this, m_guard([this, i](bool on) {
                    if (on)
                        Option_Sound_Click(i);
                }));
    for (int i = 0; i < 2; ++i)
        connect(duyin[i], &QRadioButton::toggled, this, m_guard([this, i](bool on) {
                    if (on)
                        duyin_Click(i);
                }));
    connect(updNum, &platform::UpDown::Change, this, m_guard([this] { updNum_Change(); }));
    connect(sldRCRate, &QSlider::valueChanged, this, m_guard([this] {
                if (m_loaded)
                    sldRCRate_Scroll();
            }));
    connect(vsVolume, &QScrollBar::valueChanged, this, m_guard([this] { vsVolume_Change(); }));
    connect(vsVolume, &QScrollBar::sliderMoved, this, m_guard([this] { vsVolume_Scroll(); }));
    connect(vsMic, &QScrollBar::valueChanged, this, m_guard([this] { vsMic_Change(); }));
    connect(vsMic, &QScrollBar::sliderMoved, this, m_guard([this] { vsMic_Scroll(); }));
    connect(Command1, &QPushButton::clicked, this, m_guard([this] { Command1_Click(); }));
}

frmExer* FrmSet::exer() const {
    return m_program.forms.isLoaded<frmExer>() ? &m_program.forms.get<frmExer>() : nullptr;
}

void FrmSet::Show() {
    if (!m_loaded)
        Form_Load();
    ShowModal(*this);
}

void FrmSet::Form_Load() {
    const GlobalVars& g = m_program.vars;
    if (g.AgentChoice >= 1 && g.AgentChoice <= 5)
        COption[g.AgentChoice]->setChecked(true);
    if (g.ScoreSound >= 1 && g.ScoreSound <= 4)
        Option_Sound[g.ScoreSound]->setChecked(true);
    duyin[g.ReadSpeed == QLatin1String("2") ? 1 : 0]->setChecked(true);
    if (frmExer* w = exer()) {
        txtNum->setText(QString::number(w->RETRYNUMS));
        updNum->SetValue(w->RETRYNUMS);
        sldRCRate->setValue(w->Fenshu);
    }
    m_volume = std::make_unique<clsCtlVolume>(m_program.platform, this);
    m_volume->meOpenMixer();
    if (m_volume->prMixerErr() == 0)
        SetUpBars();
    // From here on the slider answers the learner.
    m_loaded = true;
}

// The mixer's range halved to fit a bar; setting the values writes them back
// through the change handlers, so the first opening in a run sets the
// microphone to its loudest.
void FrmSet::SetUpBars() {
    vsVolume->setRange(m_volume->prSpeakerMinVolume(), m_volume->prSpeakerMaxVolume() / 2);
    vsMic->setRange(m_volume->prMicMinVolume(), m_volume->prMicMaxVolume() / 2);
    for (QScrollBar* bar : {vsVolume, vsMic}) {
        bar->setSingleStep(kBarStep);
        bar->setPageStep(kBarStep);
    }
    vsVolume->setValue(m_volume->prSpeakerVolume() / 2);
    const std::int32_t mic = m_program.vars.MicLevel;
    vsMic->setValue(mic != 0 ? mic / 2 : vsMic->maximum());
}

void FrmSet::Option_Sound_Click(int Index) {
    m_program.vars.ScoreSound = static_cast<std::int16_t>(Index);
}

void FrmSet::duyin_Click(int Index) {
    m_program.vars.ReadSpeed = Index != 0 ? QStringLiteral("2") : QStringLiteral("1");
}

// Text that is no whole number from 1 up is refused: the count stays.
void FrmSet::updNum_Change() {
    const int value = WholeAttempts(txtNum->text());
    frmExer* w = exer();
    if (value == 0 || !w)
        return;
    w->RETRYNUMS = static_cast<std::int16_t>(value);
    w->txtNum->setText(QString::number(value));
    w->updNum->SetValue(value);
}

void FrmSet::sldRCRate_Scroll() {
    frmExer* w = exer();
    if (!w)
        return;
    w->Fenshu = static_cast<std::int16_t>(sldRCRate->value());
    SelectDifficulty(w->Fenshu - 1);
    std::int16_t rate = static_cast<std::int16_t>(sldRCRate->value());
    SetRCRate(rate);
}

// Selecting an option that was not selected runs its click handler, as a
// click does.
void FrmSet::SelectDifficulty(int option) {
    frmExer* w = exer();
    if (!w || option < 0 || option >= static_cast<int>(w->SbOpn.size()))
        return;
    if (w->SbOpn[option]->isChecked())
        return;
    w->SbOpn[option]->setChecked(true);
    w->model().SbOpn_Click(option);
}

void FrmSet::SetRCRate(std::int16_t& iIndex) {
    frmExer* w = exer();
    if (!w)
        return;
    platform::ISpeechGrammar* grammar = m_program.vars.RecoGrammar;
    if (grammar)
        grammar->CmdSetRuleIdState(0, platform::ISpeechGrammar::SGDSActive);
    SelectDifficulty(iIndex - 1);
    if (w->priRC)
        for (const char* name : platform::IRecognizer::ConfidenceThresholds)
            w->priRC->Recognizer().SetPropertyNumber(QString::fromLatin1(name), iIndex * 10);
    // The grammar stays on: recognitions while no mode runs are ignored.
    if (grammar)
        grammar->CmdSetRuleIdState(0, platform::ISpeechGrammar::SGDSActive);
}

void FrmSet::vsVolume_Change() {
    if (m_volume)
        m_volume->setPrSpeakerVolume(vsVolume->value() * 2);
}

void FrmSet::vsVolume_Scroll() {
    vsVolume_Change();
}

void FrmSet::vsMic_Change() {
    if (!m_volume)
        return;
    m_volume->setPrMicVolume(vsMic->value() * 2);
    m_program.vars.MicLevel = vsMic->value() * 2;
}

void FrmSet::vsMic_Scroll() {
    if (m_volume)
        m_volume->setPrMicVolume(vsMic->sliderPosition() * 2);
}

void FrmSet::Command1_Click() {
    Unload();
}

void FrmSet::Unload() {
    if (m_loaded && !m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    if (m_program.forms.isLoaded<FrmSet>() && &m_program.forms.get<FrmSet>() == this)
        m_program.forms.unload<FrmSet>();
}

void FrmSet::Form_Unload() {
    ChangeCharacter();
    m_volume.reset();
}

// The character chosen takes its place beside the exercise window. One that
// cannot be loaded is reported and the trainer goes on without a character.
void FrmSet::ChangeCharacter() {
    GlobalVars& g = m_program.vars;
    platform::IAgentControl& Agent1 = *m_program.platform.agent;
    if (g.AgentChoice >= 1 && g.AgentChoice <= 4) {
        Agent1.Unload(AgentName(g.AgentChoice));
        g.AgentChar = nullptr;
    }
    for (int i = 1; i <= 5; ++i)
        if (COption[i]->isChecked()) {
            g.AgentChoice = static_cast<std::int16_t>(i);
            break;
        }
    if (g.AgentChoice < 1 || g.AgentChoice > 4)
        return;
    const QString name = AgentName(g.AgentChoice);
    try {
        Agent1.Load(name, AgentPath(g, g.AgentChoice));
        ShowAgent(g, Agent1, name);
        g.AgentChar->setLeft(RoundHalfEven(850 * g.ScaleFactor));
        g.AgentChar->setTop(RoundHalfEven(550 * g.ScaleFactor));
    } catch (const platform::PlatformError& e) {
        Agent1.Unload(name);
        g.AgentChar = nullptr;
        g.AgentChoice = kNoCharacter;
        m_program.platform.messages->show(
            {QStringLiteral("无法载入人物 %1，将不显示人物。").arg(name), QStringLiteral("提示"),
             platform::MsgButtons::Ok},
            this);
    }
}

void FrmSet::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_guard.run([this] { Unload(); });
}

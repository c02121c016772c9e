#include "windows/frmAbout.h"

#include "core/App.h"
#include "core/Program.h"
#include "core/ScaleFactor.h"
#include "paths/IPathLookup.h"
#include "process/IProcessStarter.h"
#include "ui/IMessageBox.h"
#include "windows/AboutButton.h"
#include "windows/SongTi.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <exception>

using platform::RegRoot;

namespace {

const QString kMsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kMsInfoPath = QStringLiteral("PATH");
const QString kToolsLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kToolsLocationValue = QStringLiteral("MSINFO");

// Values are read through a buffer of this many characters, its terminating
// zero included.
constexpr int kValueBufferChars = 1024;

// The buttons' background: a soft sheen of the window's blue.
QPixmap buttonFace(QSize size) {
    QPixmap face(size);
    QPainter p(&face);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0xf4, 0xf8, 0xfd));
    g.setColorAt(0.5, QColor(0xd9, 0xe7, 0xf6));
    g.setColorAt(1, QColor(0xbf, 0xd4, 0xee));
    p.fillRect(face.rect(), g);
    return face;
}

} // namespace

frmAbout::frmAbout(Program& program)
    : lblTitle(new QLabel(this)), lblVersion(new QLabel(this)), lblDescription(new QLabel(this)),
      lblDisclaimer(new QLabel(this)), Image2(new QLabel(this)),
      cmdOK(new AboutButton(QStringLiteral("确 定"), this)),
      cmdsysinfo(new AboutButton(QStringLiteral("系统信息"), this)), m_program(program),
      m_guard(program.platform.programEnd) {
    setObjectName(QStringLiteral("frmAbout"));
    setMouseTracking(true);
    const int screenWidth = m_program.vars.ScreenWidth > 0 ? m_program.vars.ScreenWidth : 1024;
    m_layoutScale = screenWidth / 1024.0;
    setFixedSize(scaled(0, 0, 470, 300).size());

    QFont title(QStringLiteral("Liberation Serif"));
    title.setPointSizeF(24);
    title.setBold(true);
    lblTitle->setFont(title);
    lblTitle->setGeometry(scaled(120, 22, 320, 46));
    lblVersion->setFont(SongTi(11));
    lblVersion->setGeometry(scaled(122, 70, 320, 24));
    lblDescription->setFont(SongTi(10.5));
    lblDescription->setWordWrap(true);
    lblDescription->setGeometry(scaled(122, 98, 320, 40));
    lblDisclaimer->setFont(SongTi(9));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisclaimer->setGeometry(scaled(24, 168, 300, 112));
    lblDisclaimer->setText(
        QStringLiteral("Verbaro 英语情景对话训练\n"
                       "听录音、跟读、独白和角色扮演，由语音识别为每次练习打分。\n\n"
                       "使用中有问题或建议，请与您购买本软件的经销商联系。"));
    for (QLabel* l : {lblTitle, lblVersion, lblDescription, lblDisclaimer})
        l->setStyleSheet(QStringLiteral("color: #0f335f;"));

    Image2->setGeometry(scaled(350, 180, 96, 30));
    Image2->setPixmap(buttonFace(Image2->size()));
    Image2->hide();
    cmdOK->setGeometry(scaled(350, 184, 96, 30));
    cmdsysinfo->setGeometry(scaled(350, 232, 96, 30));
    cmdOK->setDefault(true);

    connect(cmdOK, &QPushButton::clicked, this, m_guard([this] { cmdOK_Click(); }));
    connect(cmdsysinfo, &QPushButton::clicked, this, m_guard([this] { cmdsysinfo_Click(); }));
    connect(cmdOK, &AboutButton::MouseMove, this,
            m_guard([this](int b, int s, double x, double y) { cmdOK_MouseMove(b, s, x, y); }));
    connect(
        cmdsysinfo, &AboutButton::MouseMove, this,
        m_guard([this](int b, int s, double x, double y) { cmdsysinfo_MouseMove(b, s, x, y); }));
}

QRect frmAbout::scaled(int x, int y, int w, int h) const {
    return ScaledRect(m_layoutScale, x, y, w, h);
}

void frmAbout::Show() {
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    exec();
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("关于 ") + App::Title);
    lblVersion->setText(
        QStringLiteral("版本 %1.%2.%3").arg(App::Major).arg(App::Minor).arg(App::Revision));
    lblTitle->setText(App::Title);
    lblDescription->setText(QString());
    cmdOK->setPicture(Image2->pixmap());
    cmdsysinfo->setPicture(Image2->pixmap());
}

void frmAbout::Form_MouseMove(int, int, double, double) {
    cmdOK->setStyle(0);
    cmdsysinfo->setStyle(0);
}

void frmAbout::cmdOK_Click() {
    done(QDialog::Accepted);
}

void frmAbout::cmdOK_MouseMove(int, int, double, double) {
    cmdOK->setStyle(4);
}

void frmAbout::cmdsysinfo_Click() {
    StartSysInfo();
}

void frmAbout::cmdsysinfo_MouseMove(int, int, double, double) {
    cmdsysinfo->setStyle(4);
}

void frmAbout::StartSysInfo() {
    platform::Platform& p = m_program.platform;
    try {
        QString path;
        if (GetKeyValue(RegRoot::LocalMachine, kMsInfoKey, kMsInfoPath, path)) {
            if (p.processes->startProgram(p.paths->resolve(path),
                                          platform::WindowStyle::NormalFocus))
                return;
        } else if (GetKeyValue(RegRoot::LocalMachine, kToolsLocationKey, kToolsLocationValue,
                               path)) {
            path += QStringLiteral("\\MSINFO32.EXE");
            if (p.paths->fileExists(path) &&
                p.processes->startProgram(p.paths->resolve(path),
                                          platform::WindowStyle::NormalFocus))
                return;
        }
    } catch (const std::exception&) {
        // Whatever went wrong, the learner gets the one answer below.
    }
    p.messages->show({QStringLiteral("此时系统信息不可用"), App::Title, platform::MsgButtons::Ok},
                     this);
}

bool frmAbout::GetKeyValue(RegRoot KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                           QString& KeyVal) {
    KeyVal.clear();
    const platform::IRegistry& registry = *m_program.platform.registry;
    if (!registry.keyExists(KeyRoot, KeyName))
        return false;
    const std::optional<platform::RegValue> value = registry.value(KeyRoot, KeyName, SubKeyRef);
    if (!value)
        return false;
    if (value->type == platform::RegType::DWord) {
        // The number's bytes read from the last (most significant) to the
        // first, two hexadecimal digits each, give the number itself.
        KeyVal = QString::number(value->number);
        return true;
    }
    QString text = value->text;
    if (text.endsWith(QChar(0)))
        text.chop(1);
    if (text.size() + 1 > kValueBufferChars)
        return false;
    KeyVal = text;
    return true;
}

void frmAbout::done(int result) {
    QDialog::done(result);
    m_program.forms.unload<frmAbout>();
}

void frmAbout::mouseMoveEvent(QMouseEvent* event) {
    QDialog::mouseMoveEvent(event);
    int buttons = 0;
    if (event->buttons() & Qt::LeftButton)
        buttons |= 1;
    if (event->buttons() & Qt::RightButton)
        buttons |= 2;
    const int shift = (event->modifiers() & Qt::ShiftModifier) ? 1 : 0;
    m_guard.run(
        [&] { Form_MouseMove(buttons, shift, event->position().x(), event->position().y()); });
}

void frmAbout::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0xdd, 0xee, 0xf9));
    sky.setColorAt(1, QColor(0xf7, 0xfb, 0xfe));
    p.fillRect(rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    // The program's mark: a speech bubble with its initial.
    const QRect mark = scaled(28, 26, 72, 64);
    p.setBrush(QColor(0x2f, 0x6f, 0xb8));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(mark, 14 * m_layoutScale, 14 * m_layoutScale);
    const QPointF tail[] = {
        QPointF(mark.left() + 18 * m_layoutScale, mark.bottom() - 2),
        QPointF(mark.left() + 12 * m_layoutScale, mark.bottom() + 14 * m_layoutScale),
        QPointF(mark.left() + 34 * m_layoutScale, mark.bottom() - 2)};
    p.drawPolygon(tail, 3);
    QFont initial(QStringLiteral("Liberation Serif"));
    initial.setPixelSize(static_cast<int>(44 * m_layoutScale));
    initial.setBold(true);
    p.setFont(initial);
    p.setPen(Qt::white);
    p.drawText(mark, Qt::AlignCenter, QStringLiteral("V"));
    p.setPen(QPen(QColor(0x9d, 0xb8, 0xd6), 1));
    const int rule = static_cast<int>(std::lround(152 * m_layoutScale));
    p.drawLine(scaled(24, 0, 0, 0).left(), rule, scaled(446, 0, 0, 0).left(), rule);
}

#include "core/ImageButtons.h"

#include "Platform.h"
#include "com/ControlCreator.h"
#include "core/ResPicture.h"
#include "process/IProgramEnd.h"
#include "screen/IScreenMetrics.h"
#include "ui/IMessageBox.h"

#include <QVariant>

using namespace platform::com;

// ---- ImageButton

ImageButton::ImageButton(QWidget* control, platform::Twips twips)
    : QObject(control), m_control(control), m_twips(twips) {
    // The control's events carry their arguments by reference; the handle
    // passes them on without them.
    connect(control, SIGNAL(MouseEnter(short&, short&, float&, float&)), this,
            SLOT(onMouseEnter(short&, short&, float&, float&)));
    connect(control, SIGNAL(MouseExit(short&, short&, float&, float&)), this,
            SLOT(onMouseExit(short&, short&, float&, float&)));
    connect(control, SIGNAL(Click()), this, SLOT(onClick()));
}

QPixmap ImageButton::Picture() const {
    return m_control ? m_control->property("Picture").value<QPixmap>() : QPixmap();
}

void ImageButton::SetPicture(const QPixmap& picture) {
    if (m_control)
        m_control->setProperty("Picture", picture);
}

bool ImageButton::SetPictureByName(const QString& name) {
    const QPixmap picture = LoadResPicture(name);
    if (picture.isNull())
        return false;
    SetPicture(picture);
    return true;
}

bool ImageButton::Enabled() const {
    return m_control && m_control->property("Enabled").toBool();
}

void ImageButton::SetEnabled(bool enabled) {
    if (m_control)
        m_control->setProperty("Enabled", enabled);
}

bool ImageButton::Visible() const {
    return m_control && !m_control->isHidden();
}

void ImageButton::SetVisible(bool visible) {
    if (m_control)
        m_control->setVisible(visible);
}

QString ImageButton::ToolTipText() const {
    return m_control ? m_control->toolTip() : QString();
}

void ImageButton::SetToolTipText(const QString& text) {
    if (m_control)
        m_control->setToolTip(text);
}

double ImageButton::Left() const {
    return m_control ? m_twips.toTwipsX(m_control->x()) : 0;
}

double ImageButton::Top() const {
    return m_control ? m_twips.toTwipsY(m_control->y()) : 0;
}

double ImageButton::Width() const {
    return m_control ? m_twips.toTwipsX(m_control->width()) : 0;
}

double ImageButton::Height() const {
    return m_control ? m_twips.toTwipsY(m_control->height()) : 0;
}

void ImageButton::Move(double left, double top, double width, double height) {
    if (m_control)
        m_control->setGeometry(m_twips.toPixels(left, top, width, height));
}

// ---- ImageButtons

ImageButtons::ImageButtons(platform::Platform& platform) : m_platform(platform) {}

ImageButton* ImageButtons::create(QWidget* parent) {
    if (m_failed)
        return nullptr;
    QWidget* control = nullptr;
    const ControlCreator creator(*m_platform.registry, *m_platform.screen);
    const HResult hr = creator.create(QString::fromLatin1(ProgId), parent, &control);
    if (!succeeded(hr) || !control) {
        fail(succeeded(hr) ? E_FAIL : hr, creator.lastLoadError());
        return nullptr;
    }
    return new ImageButton(control, platform::Twips::of(*m_platform.screen));
}

bool ImageButtons::available() {
    ImageButton* probe = create(nullptr);
    if (!probe)
        return false;
    delete probe->control();
    return true;
}

QString ImageButtons::failureText(HResult hresult, const QString& loadError) {
    QString reason;
    switch (hresult) {
    case CO_E_CLASSSTRING:
    case REGDB_E_CLASSNOTREG:
        reason = QStringLiteral("图像按钮控件 %1 没有注册。").arg(QLatin1String(ProgId));
        break;
    case CO_E_DLLNOTFOUND:
        reason = QStringLiteral("无法加载控件文件 Glyphon.ocx（%1）。").arg(loadError);
        break;
    default:
        reason = QStringLiteral("无法创建图像按钮控件 %1（错误 0x%2）。")
                     .arg(QLatin1String(ProgId))
                     .arg(static_cast<quint32>(hresult), 8, 16, QLatin1Char('0'));
        break;
    }
    return reason + QStringLiteral("\n请重新运行安装程序 setup.exe。");
}

void ImageButtons::fail(HResult hresult, const QString& loadError) {
    m_failed = true;
    if (m_platform.messages)
        m_platform.messages->show({failureText(hresult, loadError), QStringLiteral("错误"),
                                   platform::MsgButtons::Ok, platform::MsgIcon::Critical});
    if (m_platform.programEnd)
        m_platform.programEnd->endProgram(1);
}

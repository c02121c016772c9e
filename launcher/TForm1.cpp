#include "TForm1.h"

#include "HotLabel.h"
#include "LessonNames.h"
#include "ShadowPanel.h"

#include "Platform.h"
#include "PlatformError.h"
#include "ini/IIniFiles.h"
#include "install/InstallKeys.h"
#include "jpeg/IJpegDecoder.h"
#include "media/IMediaPlayer.h"
#include "paths/IPathLookup.h"
#include "process/IProcessStarter.h"
#include "registry/IRegistry.h"
#include "screen/IScreenMetrics.h"
#include "sound/ISound.h"
#include "ui/IMessageBox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

#include <cmath>

namespace {

const QString AppTitle = QStringLiteral("Verbaro V1.0");
const QString UninstallKey = platform::InstallKeys::uninstall();
const QString AppPathsKey = platform::InstallKeys::appPaths();
constexpr int LessonCount = 90;
constexpr int LastShortTextLesson = 72; // lessons after it read e1.ini/c1.ini
constexpr int IntroCopyBlock = 4096;
// A play over this soon may not have been heard: is there sound at all?
constexpr qint64 EndedAtOnceMs = 50;

QFont songFont(int pixels, bool bold = false) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Adds a paragraph of text as it is: the lesson files are data, and markup
// in them (pictures from local files, say) is shown, never run.
void appendPlain(QTextEdit* edit, const QString& text) {
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    if (!edit->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(text);
}

struct HotArea {
    HotLabel* TForm1::*field;
    const char* hint;
    QRect geometry;
    void (TForm1::*action)();
};

} // namespace

TForm1::TForm1(platform::Platform& platform, QString appDir, MovieShower showMovie)
    : QWidget(nullptr, Qt::FramelessWindowHint), AppDir(std::move(appDir)), m_platform(platform),
      m_showMovie(std::move(showMovie)) {
    if (!AppDir.endsWith(QLatin1Char('/')))
        AppDir += QLatin1Char('/');
    setWindowTitle(AppTitle);
    setFixedSize(ClientWidth, ClientHeight);
    buildControls();
    FormCreate();
}

TForm1::~TForm1() {
    Playing = 0;
    m_platform.media->close();
}

void TForm1::buildControls() {
    // Panel1: black, filling the window; everything else lies on it.
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, ClientWidth, ClientHeight);
    Image1->setAlignment(Qt::AlignCenter);

    const HotArea areas[] = {
        {&TForm1::Label1, "退出程序", {527, 341, 51, 60}, &TForm1::Label1Click},
        {&TForm1::Labelst, "停止", {316, 342, 51, 60}, &TForm1::LabelstClick},
        {&TForm1::Labelsh, "上一节", {372, 344, 51, 60}, &TForm1::LabelshClick},
        {&TForm1::Labelpl, "播放", {425, 340, 51, 60}, &TForm1::LabelplClick},
        {&TForm1::Labelxi, "下一节", {477, 342, 51, 60}, &TForm1::LabelxiClick},
        {&TForm1::Label6, "帮助", {51, 372, 63, 48}, &TForm1::Label6Click},
    };
    for (const HotArea& area : areas) {
        auto* label = new HotLabel(QString::fromUtf8(area.hint), this);
        label->setGeometry(area.geometry);
        label->setText(QStringLiteral("      \n      \n      "));
        connect(label, &HotLabel::clicked, this,
                guard()([this, action = area.action] { (this->*action)(); }));
        this->*area.field = label;
    }
    Label6->setText(QStringLiteral("?"));
    Label6->setAlignment(Qt::AlignCenter);
    Label6->setFont(songFont(16, true));
    Label6->setStyleSheet(QStringLiteral("background: transparent; color: red;"));

    auto flatButton = [this](const char* hint, int left, void (TForm1::*action)()) {
        auto* button = new QPushButton(this);
        button->setFlat(true);
        button->setGeometry(left, 27, 100, 100);
        button->setToolTip(QString::fromUtf8(hint));
        button->setCursor(Qt::PointingHandCursor);
        button->setStyleSheet(
            QStringLiteral("QPushButton { background: transparent; border: none; }"
                           "QPushButton:hover { border: 1px dotted #ffd070; }"));
        connect(button, &QPushButton::clicked, this,
                guard()([this, action] { (this->*action)(); }));
        return button;
    };
    SpeedButtonrun = flatButton("运行", 496, &TForm1::SpeedButtonrunClick);
    SpeedButtonset = flatButton("安装", 495, &TForm1::SpeedButtonsetClick);

    Label5 = new QLabel(QStringLiteral("Verbaro 英语口语对话训练 · 演示光盘"), this);
    Label5->setGeometry(159, 435, 378, 19);
    Label5->setFont(songFont(12));
    Label5->setStyleSheet(QStringLiteral("background: transparent; color: red;"));

    FlatComboBox1 = new QComboBox(this);
    FlatComboBox1->setGeometry(153, 347, 133, 20);
    FlatComboBox1->setFrame(false);
    FlatComboBox1->addItems(LessonNames());
    FlatComboBox1->setPlaceholderText(QStringLiteral("请选择课程...."));
    FlatComboBox1->setCurrentIndex(-1);
    // `activated` comes only from the user's own choice.
    connect(FlatComboBox1, &QComboBox::activated, this, guard()([this] { FlatComboBox1Change(); }));

    buildTextPanel();
}

void TForm1::buildTextPanel() {
    epShadowPanel1 = new ShadowPanel(this);
    epShadowPanel1->setGeometry(147, 127, 438, 195);
    QPalette colours = epShadowPanel1->palette();
    const QColor text = colours.color(QPalette::ToolTipBase); // the info-background colour
    const QRect face = epShadowPanel1->faceRect();
    Label3 = new QLabel(epShadowPanel1);
    Label3->setGeometry(face.left(), face.top() + 2, face.width(), 20);
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setTextFormat(Qt::PlainText); // captions come from the lesson files
    Label3->setFont(songFont(15));
    Label3->setStyleSheet(QStringLiteral("color: %1;").arg(text.name()));
    RxSplitter1 = new QFrame(epShadowPanel1);
    RxSplitter1->setGeometry(face.left(), face.top() + 24, face.width(), 3);
    RxSplitter1->setFrameShape(QFrame::HLine);
    RxSplitter1->setFocusPolicy(Qt::StrongFocus);
    const int editTop = face.top() + 30;
    const int editHeight = (face.bottom() - editTop) / 2;
    auto textBox = [&](int top) {
        auto* edit = new QTextEdit(epShadowPanel1);
        edit->setGeometry(face.left() + 4, top, face.width() - 8, editHeight);
        edit->setReadOnly(true);
        edit->setAcceptRichText(false);
        edit->setFrameShape(QFrame::NoFrame);
        edit->setFont(songFont(15));
        edit->setStyleSheet(QStringLiteral("background: transparent; color: %1;").arg(text.name()));
        edit->viewport()->setAutoFillBackground(false);
        return edit;
    };
    RichEdit1 = textBox(editTop);
    RichEdit2 = textBox(editTop + editHeight);
}

platform::HandlerGuard TForm1::guard() const {
    return platform::HandlerGuard(m_platform.programEnd);
}

void TForm1::FormCreate() {
    if (!isSmallFonts()) {
        m_platform.messages->show(
            {QStringLiteral("推荐您在小字体下使用本程序，请在设置后重新运行！"), AppTitle}, this);
        m_endRequested = true;
    } else {
        loadBackground();
        InstalledExe.clear();
        SpeedButtonrun->hide();
        findInstalledProgram();
        const bool installed = m_platform.paths->fileExists(InstalledExe);
        SpeedButtonrun->setVisible(installed);
        SpeedButtonset->setVisible(!installed);
    }
    IntroDir = QStringLiteral("c:\\temptemp");
    IntroCopy = IntroDir + QStringLiteral("\\zorvik.swf");
    IntroMovie = AppDir + QStringLiteral("games/zorvik.swf");
}

bool TForm1::isSmallFonts() const {
    return std::lround(m_platform.screen->dotsPerInchX()) == 96;
}

void TForm1::loadBackground() {
    // A missing or broken picture leaves the black panel; the launcher works on.
    const QImage picture = m_platform.jpeg->decodeFile(
        m_platform.paths->resolve(AppDir + QStringLiteral("launcher.jpg")));
    Image1->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
}

void TForm1::findInstalledProgram() {
    // Only looked up, never written: a user without write rights sees the
    // installed program as installed.
    using platform::RegRoot;
    if (!m_platform.registry->keyExists(RegRoot::LocalMachine, UninstallKey))
        return;
    const auto path = m_platform.registry->value(RegRoot::LocalMachine, AppPathsKey, QString());
    if (path && path->type == platform::RegType::String)
        InstalledExe = path->text;
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    // The movie runs once the window is on screen, from the event loop.
    QTimer::singleShot(0, this, &TForm1::FormShow);
}

void TForm1::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

void TForm1::FormShow() {
    if (m_platform.paths->fileExists(IntroCopy))
        return;
    if (!copyIntroMovie())
        return;
    m_showMovie(m_platform.paths->resolve(IntroMovie));
}

bool TForm1::copyIntroMovie() {
    QDir().mkpath(m_platform.paths->resolve(IntroDir));
    QFile source(m_platform.paths->resolve(IntroMovie));
    if (!source.open(QIODevice::ReadOnly)) {
        showError(QStringLiteral("Cannot open file %1").arg(IntroMovie));
        return false;
    }
    // The copy is the marker that the movie has been seen: it appears whole
    // or not at all, so a failed copy shows the movie again next time.
    QSaveFile target(m_platform.paths->resolve(IntroCopy));
    // Unbuffered, so that each block's write reports what really reached the file.
    if (!target.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        showError(QStringLiteral("Cannot create file %1").arg(IntroCopy));
        return false;
    }
    for (;;) {
        const QByteArray block = source.read(IntroCopyBlock);
        if (block.isEmpty()) {
            if (source.error() == QFileDevice::NoError)
                break;
            target.cancelWriting();
            showError(
                QStringLiteral("Cannot read file %1\n%2").arg(IntroMovie, source.errorString()));
            return false;
        }
        if (target.write(block) != block.size())
            break; // the commit below fails and reports it
    }
    if (!target.commit()) {
        showError(QStringLiteral("Cannot write file %1\n%2").arg(IntroCopy, target.errorString()));
        return false;
    }
    return true;
}

void TForm1::showError(const QString& text) {
    m_platform.messages->show(
        {text, AppTitle, platform::MsgButtons::Ok, platform::MsgIcon::Critical}, this);
}

void TForm1::endLauncher() {
    m_platform.media->close();
    close();
}

void TForm1::SpeedButtonrunClick() {
    if (m_platform.paths->fileExists(InstalledExe)) {
        m_platform.processes->shellOpen(m_platform.paths->resolve(InstalledExe));
        endLauncher();
        return;
    }
    m_platform.messages->show(
        {QStringLiteral("请点击[安装]按钮进行安装,并重新启动计算机！"), QStringLiteral("提示")},
        this);
}

void TForm1::SpeedButtonsetClick() {
    const QString setup = AppDir + QStringLiteral("setup.exe");
    if (!m_platform.paths->fileExists(setup))
        return;
    m_platform.processes->shellOpen(m_platform.paths->resolve(setup));
    endLauncher();
}

void TForm1::Label6Click() {
    const QString help = AppDir + QStringLiteral("qvhelp.chm");
    if (m_platform.paths->fileExists(help))
        m_platform.processes->shellOpen(m_platform.paths->resolve(help));
}

void TForm1::Label1Click() {
    if (m_platform.paths->fileExists(IntroCopy))
        QFile::remove(m_platform.paths->resolve(IntroCopy));
    endLauncher();
}

// ---- The lesson player -------------------------------------------------

QString TForm1::lessonIni(const QString& section, int lessonNo) const {
    return m_platform.iniFiles->readString(AppDir + QStringLiteral("2003.ini"), section,
                                           QString::number(lessonNo));
}

void TForm1::setCaptionOf(int lessonNo) {
    Label3->setText(lessonIni(QStringLiteral("cunit"), lessonNo));
}

void TForm1::Reset() {
    Playing = 0;
    ++m_playTag;
    PlayIndex = 0;
    m_platform.media->close();
    RichEdit1->clear();
    RichEdit2->clear();
}

void TForm1::FlatComboBox1Change() {
    Reset();
    setCaptionOf(FlatComboBox1->currentIndex() + 1);
    repaint();
}

void TForm1::LabelshClick() {
    const int current = FlatComboBox1->currentIndex();
    if (current < 0)
        return;
    Reset();
    if (current == 0)
        return;
    FlatComboBox1->setCurrentIndex(current - 1);
    setCaptionOf(current);
}

void TForm1::LabelxiClick() {
    Reset();
    const int current = FlatComboBox1->currentIndex();
    if (current == LessonCount - 1)
        return;
    FlatComboBox1->setCurrentIndex(current + 1);
    setCaptionOf(current + 2);
}

void TForm1::LabelplClick() {
    const int lessonNo = FlatComboBox1->currentIndex() + 1;
    if (lessonNo < 1) {
        m_platform.messages->show({QStringLiteral("请您选择课程！"), AppTitle}, this);
        return;
    }
    Playing = 0;
    PlayIndex = 0;
    m_platform.media->close();
    Playlist.clear();
    const QString folder = m_platform.paths->resolve(AppDir + QStringLiteral("lst/") +
                                                     lessonIni(QStringLiteral("dir"), lessonNo));
    if (!QDir(folder).exists() || !QDir::setCurrent(folder)) {
        showError(QStringLiteral("系统找不到指定的路径。\n%1").arg(folder));
        return;
    }
    RichEdit1->clear();
    RichEdit2->clear();
    const QDir dir(folder, QStringLiteral("*.wav"), QDir::Name | QDir::IgnoreCase,
                   QDir::Files | QDir::Hidden);
    Playlist = dir.entryList();
    m_fileListCount = static_cast<int>(Playlist.size());
    FileCount = m_fileListCount;
    if (Playlist.isEmpty())
        return;
    if (!canPlaySound()) {
        stopNothingPlays();
        return;
    }
    LessonNo = lessonNo;
    SentenceNo = 0;
    Playing = 1;
    PlayIndex = 0;
    playLesson(LessonNo, 0);
    RxSplitter1->setFocus();
}

void TForm1::playLesson(int lessonNo, int index) {
    if (lessonNo >= 1 && lessonNo <= LastShortTextLesson)
        PlayItem(index, QStringLiteral("e"), QStringLiteral("c"));
    else if (lessonNo > LastShortTextLesson && lessonNo <= LessonCount)
        PlayItem(index, QStringLiteral("e1"), QStringLiteral("c1"));
}

void TForm1::PlayItem(int index, const QString& englishBase, const QString& chineseBase) {
    if (Playlist.isEmpty())
        return;
    if (index >= Playlist.size()) {
        PlayIndex = 0;
        index = 0;
    }
    const QString name = Playlist.at(index);
    QString error;
    if (!m_platform.media->open(QDir::current().filePath(name), &error)) {
        Playing = 0;
        showError(error);
        return;
    }
    // Only the first recording of a sentence (12th character "0") changes the
    // texts; a name too short to have one just plays.
    if (name.size() >= 12 && name.at(11) == QLatin1Char('0')) {
        const QString key = name.left(12);
        RichEdit1->clear();
        RichEdit2->clear();
        appendPlain(RichEdit1, m_platform.iniFiles->readString(AppDir + englishBase + ".ini",
                                                               QStringLiteral("ed"), key));
        appendPlain(RichEdit2, m_platform.iniFiles->readString(AppDir + chineseBase + ".ini",
                                                               QStringLiteral("cd"), key));
        if (SentenceNo >= m_fileListCount / 3.0)
            SentenceNo = 0;
        ++SentenceNo;
        Label3->setText(QStringLiteral("%1 （%2/%3句）")
                            .arg(FlatComboBox1->currentText())
                            .arg(SentenceNo)
                            .arg(FileCount / 3));
    }
    // The notice goes to the window only while it exists, tagged with its play.
    const quint64 tag = ++m_playTag;
    const QPointer<TForm1> receiver(this);
    m_playClock.start();
    m_platform.media->play([receiver, tag] {
        if (receiver)
            receiver->MediaPlayer1Notify(tag);
    });
}

void TForm1::MediaPlayer1Notify(quint64 playTag) {
    for (int pause : {0, 5, 5, 5})
        QThread::msleep(static_cast<unsigned long>(pause));
    if (playTag != m_playTag || m_platform.media->mode() != platform::MediaMode::Stopped ||
        Playing != 1)
        return;
    // Without a sound device every play ends at once, and the lesson would
    // go round and round unheard.
    const bool lapEnds = PlayIndex + 1 >= Playlist.size();
    if ((lapEnds || m_playClock.elapsed() < EndedAtOnceMs) && !canPlaySound()) {
        stopNothingPlays();
        return;
    }
    LessonNo = FlatComboBox1->currentIndex() + 1;
    ++PlayIndex;
    playLesson(LessonNo, PlayIndex);
}

bool TForm1::canPlaySound() const {
    try {
        return m_platform.sound->waveOutDeviceCount() > 0;
    } catch (const platform::PlatformError&) {
        return false;
    }
}

void TForm1::stopNothingPlays() {
    Reset();
    m_platform.messages->show({QStringLiteral("没有检测到声卡，请安装声卡！"),
                               QStringLiteral("提示"), platform::MsgButtons::Ok},
                              this);
}

void TForm1::LabelstClick() {
    Reset();
}

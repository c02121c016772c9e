#pragma once

#include "process/HandlerGuard.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>

#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;
class HotLabel;
class ShadowPanel;

namespace platform {
struct Platform;
}

// The launcher's window: installs or starts the main program, opens the help
// file, plays the lesson recordings with their texts, and shows the intro
// movie when first shown. All paths are built from `AppDir`, the launcher's
// own folder.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Shows the intro movie modally; returns when its window has closed.
    using MovieShower = std::function<void(const QString& movie)>;

    static constexpr int ClientWidth = 640;
    static constexpr int ClientHeight = 480;

    TForm1(platform::Platform& platform, QString appDir, MovieShower showMovie);
    // Playback ends with the window.
    ~TForm1() override;

    // True when FormCreate asked the application to end (a screen that is
    // not at 96 dots per inch): the window is then not shown.
    bool endRequested() const { return m_endRequested; }

    void FormShow();
    void SpeedButtonrunClick();
    void SpeedButtonsetClick();
    void Label6Click();
    void Label1Click();
    void FlatComboBox1Change();
    void LabelshClick();
    void LabelxiClick();
    void LabelplClick();
    void LabelstClick();
    // The end of the play numbered `playTag`; the notices of plays that a
    // later play or a stop has superseded are dropped.
    void MediaPlayer1Notify(quint64 playTag);

    // Launcher state.
    QString AppDir;
    QString InstalledExe;
    QString IntroDir;
    QString IntroCopy;
    QString IntroMovie;

    // Player state.
    QStringList Playlist;
    int PlayIndex = 0;
    int Playing = 0;
    int SentenceNo = 0;
    int FileCount = 0;
    int LessonNo = 0;

    // Controls.
    QLabel* Image1;
    HotLabel* Label1;
    HotLabel* Labelst;
    HotLabel* Labelsh;
    HotLabel* Labelpl;
    HotLabel* Labelxi;
    HotLabel* Label6;
    QPushButton* SpeedButtonrun;
    QPushButton* SpeedButtonset;
    QLabel* Label5;
    QComboBox* FlatComboBox1;
    ShadowPanel* epShadowPanel1;
    QLabel* Label3;
    QFrame* RxSplitter1;
    QTextEdit* RichEdit1;
    QTextEdit* RichEdit2;

signals:
    // The window has closed: the launcher ends, whatever other windows
    // (the help viewer) are still open.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void buildControls();
    void buildTextPanel();
    void loadBackground();
    bool isSmallFonts() const;
    void findInstalledProgram();
    void Reset();
    void PlayItem(int index, const QString& englishBase, const QString& chineseBase);
    void playLesson(int lessonNo, int index);
    QString lessonIni(const QString& section, int lessonNo) const;
    void setCaptionOf(int lessonNo);
    bool canPlaySound() const;
    void stopNothingPlays();
    bool copyIntroMovie();
    void showError(const QString& text);
    void endLauncher();
    // Every control's handler runs behind it: an error reaches the report,
    // never Qt's event dispatch.
    platform::HandlerGuard guard() const;

    platform::Platform& m_platform;
    MovieShower m_showMovie;
    bool m_endRequested = false;
    bool m_shownOnce = false;
    int m_fileListCount = 0;
    // Numbers the plays: a notice carries the number of its play.
    quint64 m_playTag = 0;
    QElapsedTimer m_playClock; // since the current play began
};

#pragma once

#include "process/HandlerGuard.h"

#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <exception>
#include <memory>

class Program;
class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;
class ExerModel;
class ExerPlayback;
class ExerModes;
class ExerSequencer;
class ExerGrids;
class ExerRecognition;
class ExerScoring;
class ExerFeedback;
class ExerButtons;
class ImageButton;
class ImageButtons;

namespace platform {
class FlexGrid;
class PopupButton;
class UpDown;
class IVoice;
class IRecoContext;
class ISpeechGrammar;
} // namespace platform

// The practice modes, by the ids the window keeps in CurMode and StreamMode.
enum class Mode : std::int16_t {
    None = 0,
    ReadAll = 1,
    ReadOne = 2,
    FollowAll = 3,
    Dialog = 4,
    FollowOne = 5,
    MonologAll = 6,
    SceneAll = 7,
    SceneOne = 8,
    MonologOne = 9,
};

// The exercise window: one lesson practised. The window owns its controls and
// the practice state every concern works on; the concerns (model and load,
// playback, modes, sequencer, grids) each live in their own class and are
// reached through the accessors below.
class frmExer : public QWidget {
    Q_OBJECT
public:
    explicit frmExer(Program& program);
    ~frmExer() override;

    // Loads the window on first use (Form_Load); later calls do nothing.
    void Load();
    // Closes the window the way the program unloads it: Form_Unload, then the
    // window is released.
    void Unload();

    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void Form_Resize();
    void Timer1_Timer();

    // Procedures other windows call (stepping, settings).
    void DoIniGridSetting();
    bool DoIniDlgObj(QString& AsDlgObj, std::int16_t AiObjNums);
    void DoIniSetting(std::int16_t xy);
    bool SetcmdStop(std::int16_t ABeforeID, std::int16_t ACurID);
    bool DoCreateXML();
    void DoIniEventInterest();
    void LoadDefaultGrammar();

    ExerModel& model() { return *m_model; }
    ExerPlayback& playback() { return *m_playback; }
    ExerModes& modes() { return *m_modes; }
    ExerSequencer& sequencer() { return *m_sequencer; }
    ExerGrids& grids() { return *m_grids; }
    ExerRecognition& recognition() { return *m_recognition; }
    ExerScoring& scoring() { return *m_scoring; }
    ExerFeedback& feedback() { return *m_feedback; }
    ExerButtons& buttons() { return *m_buttons; }
    Program& program() { return m_program; }

    // Picture of an image button, from the program's button pictures by name.
    static void SetFace(ImageButton* button, const QString& pictureName);
    static void SetEnabled(ImageButton* button, bool enabled);
    // Twips to pixels of this screen and back.
    int ToPixels(double twips) const;
    double ToTwips(int pixels) const;
    // The boundary every handler of the window runs behind: a failure that
    // escapes a handler ends the program with the run-time error report.
    const platform::HandlerGuard& guard() const { return m_guard; }

    // --- Controls -------------------------------------------------------
    platform::FlexGrid* EGrid;
    platform::FlexGrid* CGrid;
    QLabel* txtchinese; // the pop-up that shows a sentence in the other language

    // Image buttons (Glyphon ImageLabel controls); null only when the control
    // library is missing, which ends the program.
    ImageButton* CmdReadAll = nullptr;
    ImageButton* CmdRead = nullptr;
    ImageButton* CmdFollow = nullptr;
    ImageButton* CmdFollowOne = nullptr;
    ImageButton* cmdrecord = nullptr;
    ImageButton* cmdrecordone = nullptr;
    std::array<ImageButton*, 2> QingJing{};
    std::array<ImageButton*, 2> CmdLang2{}; // only index 1 exists
    ImageButton* Cmdhelp = nullptr;
    ImageButton* CmdSet = nullptr;
    ImageButton* CmdReturn = nullptr;
    ImageButton* CmdExit = nullptr;
    std::array<ImageButton*, 2> SelLesson{};

    QFrame* Frame2;
    std::array<platform::PopupButton*, 6> chkobj{};
    platform::PopupButton* cmddialog;
    QLabel* Image2; // face of a selected role button and of the running dialogue
    QLabel* Image3; // face of an unselected role button and of the idle dialogue
    QFrame* Shape1;
    QLabel* LbObjTip;
    QLabel* Label8;
    QLabel* Label4;
    QLabel* Label5;
    std::array<QRadioButton*, 10> SbOpn{};
    QLabel* lblRCNum;
    QLineEdit* txtNum;
    platform::UpDown* updNum;
    QLabel* Label1;
    QLabel* LbRCTip;
    QLabel* LbUnit;
    QLabel* lbunits;
    QLabel* Lbunited;
    QLabel* Label3;
    QLabel* Text1; // tool tip of the lesson arrows
    QTimer* Timer1;

    // --- Practice state -------------------------------------------------
    bool onoff = true;    // the English grid is shown
    bool monolog = false; // every line is the learner's
    std::int16_t RETRYNUMS = 1;
    std::int16_t Fenshu = 1;
    std::int16_t heightwidth = 850;
    std::int32_t SuDu = 0;
    bool Engli = false; // the Chinese grid is shown
    std::unique_ptr<platform::IRecoContext> priRC;
    std::unique_ptr<platform::IVoice> priVoice;
    std::unique_ptr<platform::IVoice> voice1;
    std::unique_ptr<platform::ISpeechGrammar> m_grammar; // RecoGrammar's owner
    QStringList RoleNames;                               // 1-based in the design: RoleNames[i - 1]
    QStringList LearnerRoles;                            // likewise
    std::int16_t CurMode = 0;
    std::int16_t StreamMode = 0;
    std::int32_t DlgCount = 0;
    QString TargetText;
    std::int16_t TryCount = 0;
    bool SentenceDone = false;
    bool CompLineLit = false;
    std::int32_t CompRow = 0;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createControls();
    ImageButton* createImageButton(const QString& name, const QString& face);
    void connectHandlers();
    void layOut();
    QRect scaled(int x, int y, int w, int h) const;

    Program& m_program;
    platform::HandlerGuard m_guard;
    std::unique_ptr<ImageButtons> m_imageButtons;
    std::unique_ptr<ExerModel> m_model;
    std::unique_ptr<ExerPlayback> m_playback;
    std::unique_ptr<ExerModes> m_modes;
    std::unique_ptr<ExerSequencer> m_sequencer;
    std::unique_ptr<ExerGrids> m_grids;
    std::unique_ptr<ExerRecognition> m_recognition;
    std::unique_ptr<ExerScoring> m_scoring;
    std::unique_ptr<ExerFeedback> m_feedback;
    std::unique_ptr<ExerButtons> m_buttons;
    bool m_loaded = false;
    bool m_unloaded = false;
};

#pragma once

#include "process/HandlerGuard.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

class Program;
class clsCtlVolume;
class frmExer;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;

namespace platform {
class UpDown;
}

// The settings window, opened modally from the exercise window: character,
// scoring sounds, reading speed, attempts per sentence, recognition
// difficulty, and the speaker and microphone volumes. Choices take effect at
// once, the character when the window closes. Nothing is saved.
class FrmSet : public QWidget {
    Q_OBJECT
public:
    explicit FrmSet(Program& program);
    ~FrmSet() override;

    // Loads the window on first use (Form_Load) and shows it modally;
    // returns when it has closed.
    void Show();
    // Closes the window the way the program unloads it: Form_Unload, then the
    // window is released.
    void Unload();

    void Form_Load();
    void Form_Unload();

    void Option_Sound_Click(int Index);
    void duyin_Click(int Index);
    void updNum_Change();
    void sldRCRate_Scroll();
    void vsVolume_Change();
    void vsVolume_Scroll();
    void vsMic_Change();
    void vsMic_Scroll();
    void Command1_Click();
    // Difficulty 1..10: the recogniser's thresholds and the exercise window's
    // matching option.
    void SetRCRate(std::int16_t& iIndex);

    QGroupBox* fraAgent;
    std::array<QRadioButton*, 6> COption{}; // 1..5
    QGroupBox* fraSound;
    std::array<QRadioButton*, 5> Option_Sound{}; // 1..4
    QGroupBox* fraSpeed;
    std::array<QRadioButton*, 2> duyin{};
    QGroupBox* fraRC;
    QLabel* lblRCNum;
    QLineEdit* txtNum;
    platform::UpDown* updNum;
    QLabel* lblRCRate;
    QSlider* sldRCRate;
    QLabel* lblLow;
    QLabel* lblMid;
    QLabel* lblHigh;
    QLabel* lblPro;
    QGroupBox* fraVolume;
    QLabel* lblVolume;
    QScrollBar* vsVolume;
    QLabel* lblAdd;
    QLabel* lblDes;
    QLabel* lblMic;
    QScrollBar* vsMic;
    QPushButton* Command1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void layOut();
    void connectHandlers();
    void SetUpBars();
    void ChangeCharacter();
    void SelectDifficulty(int option);
    frmExer* exer() const;

    Program& m_program;
    platform::HandlerGuard m_guard;
    std::unique_ptr<clsCtlVolume> m_volume;
    bool m_loaded = false;
    bool m_unloaded = false;
};

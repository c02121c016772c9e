#pragma once

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <optional>

namespace platform::db {
class Database;
}

namespace e2e {

// A learner's session with the installed trainer on the test run's X server:
// the learner's own home (registry, data), the trainer started from its
// program folder, and the places a learner looks at and clicks, in pixels of
// the 1024 x 768 screen the program switches to.
class TrainerSession {
public:
    // Unit menu: the row of lesson 010101.
    static constexpr QPoint kFirstLessonRow{200, 232};
    static constexpr QRect kLogButton{700, 370, 81, 28};
    // Exercise window.
    static constexpr QRect kSentenceGrid{30, 130, 740, 440};
    static constexpr QRect kStatusLabel{30, 580, 360, 36}; // Label1
    static constexpr QRect kTotalLabel{560, 580, 210, 36}; // LbRCTip
    static constexpr QRect kFollowButton{800, 172, 81, 28};
    static constexpr QRect kSettingsButton{900, 364, 81, 28};
    static constexpr QRect kReturnButton{800, 406, 81, 28};
    static constexpr QRect kExitButton{900, 406, 81, 28};
    static constexpr QRect kNextLessonButton{840, 40, 32, 32};
    static constexpr QRect kFirstRoleButton{35, 658, 95, 30};
    static constexpr QPoint kDialogueButton{690, 676};
    static constexpr QPoint kRestingPointer{600, 740};
    static constexpr QRgb kReadingColour = qRgb(0, 255, 255);
    static constexpr QRgb kSayColour = qRgb(128, 255, 128);

    // A home for the learner; the learner's environment inherits ours.
    TrainerSession();
    ~TrainerSession();

    QProcessEnvironment environment() const { return m_env; }
    QString homePath() const { return m_home.path(); }
    // Copies the installed program folder into a folder of this session
    // and registers its controls as a first start does; false on failure.
    bool installCopyOf(const QString& programDir, QString* error);
    void setProgramDir(const QString& dir) { m_programDir = dir; }
    QString programDir() const { return m_programDir; }

    bool start();
    QProcess& trainer() { return m_trainer; }
    std::string trainerOutput();

    // The unit menu, filling the switched screen; empty when it never came.
    QString waitForUnitMenu(int ms = 60000);
    // Merlin glided to his place: the same place for over a second.
    bool waitForMerlinToPark();
    // Double-clicks the lesson at `row` of the menu and waits for the
    // exercise window.
    QString openLesson(const QString& menu, QPoint row);
    // The exercise window painted its sentence grid.
    bool waitForGrid(const QString& exercise);

    // Grid rows highlighted with `colour`: top and bottom of the band, and
    // the first column right of the highlighted sentence cell, relative to
    // the window; nothing when no row carries the colour.
    struct Band {
        int top = 0;
        int bottom = 0;
        int numbersLeft = 0;
    };
    static std::optional<Band> highlighted(const QImage& shot, const QRect& window, QRgb colour);
    // The two number cells (practice count and score) of a band.
    static QImage numberCells(const QImage& shot, const QRect& window, const Band& band);
    static QImage area(const QImage& shot, const QRect& window, const QRect& part);

    // Saves a screenshot under the test's screenshot folder; returns it.
    QImage shoot(const QString& name);

private:
    QTemporaryDir m_home;
    QTemporaryDir m_install;
    QString m_programDir;
    QString m_shots;
    QProcessEnvironment m_env;
    QProcess m_trainer;
};

// The lesson database of a program folder, opened with its key.
class LessonDatabase {
public:
    explicit LessonDatabase(const QString& programDir);
    ~LessonDatabase();
    bool isOpen() const { return m_db != nullptr; }
    QString error() const { return m_error; }
    // The first value of a query's first row; invalid when there is none.
    QVariant value(const QString& sql, const QVariantList& params = {});
    qlonglong number(const QString& sql, const QVariantList& params = {});

private:
    std::unique_ptr<platform::db::Database> m_db;
    QString m_error;
};

} // namespace e2e

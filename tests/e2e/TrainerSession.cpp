#include "TrainerSession.h"

#include "E2ESupport.h"
#include "PlatformError.h"
#include "db/Database.h"

#include <QDir>
#include <QFile>

namespace e2e {

TrainerSession::TrainerSession() {
    m_shots = qEnvironmentVariable("VERBARO_E2E_SHOTS", QDir::tempPath());
    QDir().mkpath(m_shots);
    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert("XDG_DATA_HOME", m_home.path() + "/data");
    m_env.insert("XDG_CONFIG_HOME", m_home.path() + "/config");
    m_env.remove("QT_QPA_PLATFORM");
}

TrainerSession::~TrainerSession() {
    if (m_trainer.state() != QProcess::NotRunning) {
        m_trainer.kill();
        m_trainer.waitForFinished(5000);
    }
    run("xdotool", {"keyup", "Return"});
}

bool TrainerSession::installCopyOf(const QString& programDir, QString* error) {
    int status = -1;
    run("cp", {"-a", programDir + "/.", m_install.path()}, &status);
    if (status != 0) {
        *error = "cannot copy " + programDir;
        return false;
    }
    m_programDir = m_install.path();
    QProcess setup;
    setup.setProcessEnvironment(m_env);
    setup.start(USERSETUP_PATH, {m_programDir});
    if (!setup.waitForFinished(60000) || setup.exitCode() != 0) {
        *error = "usersetup: " + QString::fromLocal8Bit(setup.readAllStandardError());
        return false;
    }
    return true;
}

bool TrainerSession::start() {
    m_trainer.setProcessEnvironment(m_env);
    m_trainer.start(m_programDir + "/Verbaro.exe", {});
    return m_trainer.waitForStarted(10000);
}

std::string TrainerSession::trainerOutput() {
    return QString("state %1, exit %2: %3")
        .arg(int(m_trainer.state()))
        .arg(m_trainer.exitCode())
        .arg(QString::fromLocal8Bit(m_trainer.readAllStandardError()))
        .toStdString();
}

QString TrainerSession::waitForUnitMenu(int ms) {
    QString menu;
    waitFor(
        [&] {
            const QStringList ids = waitForWindows("^Verbaro$", 1000);
            if (ids.size() == 1 && windowGeometry(ids[0]).size() == QSize(1024, 768))
                menu = ids[0];
            return !menu.isEmpty();
        },
        ms, 200);
    return menu;
}

bool TrainerSession::waitForMerlinToPark() {
    const QStringList merlin = waitForWindows("^Merlin$", 30000);
    if (merlin.isEmpty())
        return false;
    QList<QPoint> places;
    return waitFor(
        [&] {
            places << windowGeometry(merlin[0]).topLeft();
            const qsizetype n = places.size();
            return n >= 4 && places[n - 1] == places[n - 2] && places[n - 2] == places[n - 3] &&
                   places[n - 3] == places[n - 4];
        },
        60000, 300);
}

QString TrainerSession::openLesson(const QString& menu, QPoint row) {
    return openLessonFromMenu(menu, row, m_trainer);
}

bool TrainerSession::waitForGrid(const QString& exercise) {
    const QRect window = windowGeometry(exercise);
    return waitFor(
        [&] {
            const QImage grid = area(screenshot(), window, kSentenceGrid);
            return !grid.isNull() && grid.convertToFormat(QImage::Format_Mono) !=
                                         QImage(grid.size(), QImage::Format_Mono);
        },
        20000, 200);
}

std::optional<TrainerSession::Band> TrainerSession::highlighted(const QImage& shot,
                                                                const QRect& window, QRgb colour) {
    const QRect grid = kSentenceGrid.translated(window.topLeft());
    std::optional<Band> band;
    for (int y = grid.top(); y <= grid.bottom() && y < shot.height(); ++y) {
        int coloured = 0;
        int right = 0;
        for (int x = grid.left(); x <= grid.right() && x < shot.width(); ++x)
            if (shot.pixel(x, y) == colour) {
                ++coloured;
                right = x;
            }
        // A line through a wrapped sentence's text leaves less of the cell
        // coloured than a line between the text lines: a band is any line
        // coloured over an eighth of the grid.
        if (coloured > grid.width() / 8) {
            if (!band)
                band = Band{y - window.top(), y - window.top(), right - window.left() + 1};
            band->bottom = y - window.top();
        } else if (band) {
            break;
        }
    }
    return band;
}

QImage TrainerSession::numberCells(const QImage& shot, const QRect& window, const Band& band) {
    // The practice count's column, first right of the sentence: it changes
    // with every attempt.
    const int left = band.numbersLeft + 2;
    const int right = std::min<int>(left + 90, kSentenceGrid.right());
    return area(shot, window, QRect(QPoint(left, band.top + 2), QPoint(right, band.bottom - 2)));
}

QImage TrainerSession::area(const QImage& shot, const QRect& window, const QRect& part) {
    return shot.isNull() ? QImage() : shot.copy(part.translated(window.topLeft()));
}

QImage TrainerSession::shoot(const QString& name) {
    QImage shot;
    waitFor([&] { return !(shot = screenshot()).isNull(); }, 5000);
    shot.save(m_shots + "/" + name + ".png");
    return shot;
}

LessonDatabase::LessonDatabase(const QString& programDir) {
    try {
        m_db = platform::db::Database::open(programDir + "/data/qvedbdemo.aaa", "pqlomvek",
                                            platform::db::Database::OpenMode::ExistingOnly);
    } catch (const platform::PlatformError& e) {
        m_error = e.message();
    }
}

LessonDatabase::~LessonDatabase() = default;

QVariant LessonDatabase::value(const QString& sql, const QVariantList& params) {
    if (!m_db)
        return {};
    const auto result = m_db->query(sql, params);
    return result.rows.empty() || result.rows[0].empty() ? QVariant() : result.rows[0][0];
}

qlonglong LessonDatabase::number(const QString& sql, const QVariantList& params) {
    return value(sql, params).toLongLong();
}

} // namespace e2e

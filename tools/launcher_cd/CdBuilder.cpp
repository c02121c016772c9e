#include "CdBuilder.h"

#include "SwfWriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>

#include <iconv.h>

namespace {

constexpr int LessonCount = 90;
constexpr int LastShortTextLesson = 72;

// The recording folder of a lesson without recordings on the demo CD.
QString placeholderFolder(int number) {
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')).prepend("lesson");
}

} // namespace

QByteArray CdBuilder::toGbk(const QString& text) {
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 16, '\0');
    iconv_t cd = iconv_open("GBK", "UTF-8");
    char* src = in.data();
    char* dst = out.data();
    size_t left = static_cast<size_t>(in.size());
    size_t room = static_cast<size_t>(out.size());
    const size_t rc = iconv(cd, &src, &left, &dst, &room);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        qFatal("text not representable in code page 936: %s", qPrintable(text));
    out.truncate(out.size() - static_cast<qsizetype>(room));
    return out;
}

QList<CdBuilder::Lesson> CdBuilder::demoLessons(const QJsonObject& source) {
    QList<Lesson> lessons;
    for (const QJsonValue& row : source.value("rows").toArray()) {
        const QJsonObject o = row.toObject();
        if (!o.contains("sentences"))
            continue;
        Lesson lesson{static_cast<int>(lessons.size()) + 1,
                      o.value("UnitID").toString(),
                      o.value("CName").toString(),
                      {}};
        QMap<QString, QString> voices;
        for (const QJsonValue& r : o.value("roles").toArray())
            voices.insert(r["name"].toString(), r["voice"].toString());
        for (const QJsonValue& s : o.value("sentences").toArray())
            lesson.sentences.append({s["DlgID"].toString(), s["EDlg"].toString(),
                                     s["CDlg"].toString(),
                                     voices.value(s["DlgObj"].toString(), "en-us")});
        lessons.append(lesson);
    }
    return lessons;
}

CdBuilder::Lesson CdBuilder::extraLesson(const QJsonObject& o) {
    Lesson lesson{
        o.value("lesson").toInt(), o.value("UnitID").toString(), o.value("CName").toString(), {}};
    const QJsonArray voices = o.value("voices").toArray();
    for (const QJsonValue& s : o.value("sentences").toArray()) {
        const auto line = lesson.sentences.size();
        lesson.sentences.append(
            {s["DlgID"].toString(), s["EDlg"].toString(), s["CDlg"].toString(),
             voices.isEmpty() ? QString("en-us") : voices[line % voices.size()].toString()});
    }
    return lesson;
}

bool CdBuilder::writeIni(const QString& name, const QByteArray& text) const {
    QFile file(QDir(m_cdDir).filePath(name));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

bool CdBuilder::writeLessonFiles(const QList<Lesson>& lessons) const {
    QByteArray cunit = "[cunit]\r\n";
    QByteArray dir = "[dir]\r\n";
    QByteArray e[2] = {"[ed]\r\n", "[ed]\r\n"};
    QByteArray c[2] = {"[cd]\r\n", "[cd]\r\n"};
    for (int n = 1; n <= LessonCount; ++n) {
        auto lesson = std::find_if(lessons.begin(), lessons.end(),
                                   [n](const Lesson& l) { return l.number == n; });
        const QString folder = lesson != lessons.end() ? lesson->id : placeholderFolder(n);
        const QString caption = lesson != lessons.end()
                                    ? QStringLiteral("第%1课  %2").arg(n).arg(lesson->name)
                                    : QStringLiteral("第%1课（本演示光盘未收录录音）").arg(n);
        cunit += QByteArray::number(n) + "=" + toGbk(caption) + "\r\n";
        dir += QByteArray::number(n) + "=" + folder.toLatin1() + "\r\n";
        QDir(m_cdDir).mkpath("lst/" + folder);
        if (lesson == lessons.end())
            continue;
        const int file = n > LastShortTextLesson ? 1 : 0;
        for (const Sentence& s : lesson->sentences) {
            const QByteArray key = s.dlgId.left(11).toLatin1() + "0";
            e[file] += key + "=" + toGbk(s.english) + "\r\n";
            c[file] += key + "=" + toGbk(s.chinese) + "\r\n";
        }
    }
    return writeIni("2003.ini", cunit + "\r\n" + dir) && writeIni("e.ini", e[0]) &&
           writeIni("c.ini", c[0]) && writeIni("e1.ini", e[1]) && writeIni("c1.ini", c[1]);
}

bool CdBuilder::copyRecordings(const Lesson& lesson) const {
    const QDir from(QDir(m_programDir).filePath("lst/" + lesson.id));
    const QDir to(QDir(m_cdDir).filePath("lst/" + lesson.id));
    const QStringList names = from.entryList({"*.wav"}, QDir::Files);
    if (names.isEmpty())
        return false;
    for (const QString& name : names) {
        QFile::remove(to.filePath(name));
        if (!QFile::copy(from.filePath(name), to.filePath(name)))
            return false;
    }
    return true;
}

bool CdBuilder::recordLesson(const Lesson& lesson, const QString& espeak) const {
    const QDir to(QDir(m_cdDir).filePath("lst/" + lesson.id));
    for (const Sentence& s : lesson.sentences) {
        // Three takes of each sentence: normal, slow, normal again.
        const int speeds[] = {150, 120, 150};
        for (int take = 0; take < 3; ++take) {
            const QString file = to.filePath(s.dlgId.left(11) + QString::number(take) + ".wav");
            const int rc =
                QProcess::execute(espeak, {"-v", s.voice, "-s", QString::number(speeds[take]), "-w",
                                           file, s.english});
            if (rc != 0)
                return false;
        }
    }
    return true;
}

bool CdBuilder::writeBackground() const {
    QImage art(640, 480, QImage::Format_RGB32);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 480);
    sky.setColorAt(0, QColor(18, 52, 110));
    sky.setColorAt(1, QColor(6, 18, 44));
    p.fillRect(art.rect(), sky);
    QFont title("Liberation Serif");
    title.setPixelSize(46);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(255, 214, 90));
    p.drawText(QRect(30, 40, 440, 60), Qt::AlignLeft | Qt::AlignVCenter, "Verbaro");
    QFont sub("AR PL UMing CN");
    sub.setPixelSize(20);
    p.setFont(sub);
    p.setPen(Qt::white);
    p.drawText(QRect(32, 95, 440, 28), Qt::AlignLeft, "英语口语对话训练  演示光盘");
    // The install/run spot.
    p.setBrush(QColor(255, 190, 60));
    p.setPen(QPen(QColor(255, 240, 180), 3));
    p.drawEllipse(QRect(505, 35, 82, 82));
    p.setPen(QColor(80, 30, 0));
    p.setFont(sub);
    p.drawText(QRect(505, 35, 82, 82), Qt::AlignCenter, "安装\n运行");
    // The text panel's place.
    p.setPen(QPen(QColor(120, 160, 220), 2));
    p.setBrush(QColor(10, 30, 70));
    p.drawRoundedRect(QRect(141, 121, 452, 209), 8, 8);
    // The player's buttons and quit, each a round key with its symbol.
    p.setPen(QColor(40, 70, 120));
    p.setBrush(QColor(30, 60, 110));
    p.drawRoundedRect(QRect(140, 332, 455, 82), 12, 12);
    struct Key {
        QRect r;
        QString symbol;
    } keys[] = {{{316, 342, 51, 60}, "■"},
                {{372, 344, 51, 60}, "◀◀"},
                {{425, 340, 51, 60}, "▶"},
                {{477, 342, 51, 60}, "▶▶"},
                {{527, 341, 51, 60}, "✕"}};
    for (const Key& k : keys) {
        const QRect ring = QRect(0, 0, 46, 46).translated(k.r.center() - QPoint(23, 23));
        p.setPen(QPen(QColor(200, 220, 255), 2));
        p.setBrush(QColor(50, 100, 170));
        p.drawEllipse(ring);
        p.setPen(Qt::white);
        QFont f = sub;
        f.setPixelSize(16);
        p.setFont(f);
        p.drawText(ring, Qt::AlignCenter, k.symbol);
    }
    // The lesson list's place and the help key under the "?".
    p.fillRect(QRect(151, 345, 137, 24), QColor(220, 230, 245));
    p.setPen(QPen(QColor(255, 220, 220), 2));
    p.setBrush(QColor(255, 245, 230));
    p.drawEllipse(QRect(60, 374, 44, 44));
    p.end();
    return art.save(QDir(m_cdDir).filePath("launcher.jpg"), "JPG", 90);
}

bool CdBuilder::writeIntroMovie() const {
    // Three seconds at 12 frames per second, then the movie asks to close.
    SwfWriter movie(640, 480, 12.0, QColor(18, 52, 110));
    for (int frame = 0; frame < 36; ++frame)
        movie.addFrame();
    movie.addFrame({{"Quit", ""}});
    QDir(m_cdDir).mkpath("games");
    QFile file(QDir(m_cdDir).filePath("games/zorvik.swf"));
    const QByteArray bytes = movie.bytes(true);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool CdBuilder::copyProgramFolder() const {
    const QDir from(m_programDir);
    const QDir to(QDir(m_cdDir).filePath("program"));
    QDirIterator it(m_programDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to.filePath(from.relativeFilePath(source));
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        if (!QFile::copy(source, target))
            return false;
    }
    return true;
}

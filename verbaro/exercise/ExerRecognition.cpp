#include "exercise/ExerRecognition.h"

#include "PlatformError.h"
#include "core/Program.h"
#include "exercise/ExerModes.h"
#include "exercise/ExerScoring.h"
#include "exercise/ExerSequencer.h"
#include "exercise/frmExer.h"
#include "paths/IPathLookup.h"
#include "process/IProgramEnd.h"
#include "speech/IRecoContext.h"
#include "speech/ISpeechGrammar.h"
#include "ui/IMessageBox.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <array>
#include <optional>

using platform::IRecoContext;
using platform::ISpeechGrammar;

namespace {

const QString kWrittenName = QStringLiteral("~file.xml");
const QString kLoadedName = QStringLiteral("~File.xml");

// The interests the window asks for, then those it turns off, in this order.
constexpr std::array<qint64, 2> kEventsOn{IRecoContext::SRERecognition,
                                          IRecoContext::SREFalseRecognition};
constexpr std::array<qint64, 16> kEventsOff{IRecoContext::SREAdaptation,
                                            IRecoContext::SREAudioLevel,
                                            IRecoContext::SREBookmark,
                                            IRecoContext::SREHypothesis,
                                            IRecoContext::SREInterference,
                                            IRecoContext::SREPhraseStart,
                                            IRecoContext::SREPrivate,
                                            IRecoContext::SREPropertyNumChange,
                                            IRecoContext::SREPropertyStringChange,
                                            IRecoContext::SRERecoOtherContext,
                                            IRecoContext::SRERequestUI,
                                            IRecoContext::SRESoundEnd,
                                            IRecoContext::SRESoundStart,
                                            IRecoContext::SREStateChange,
                                            IRecoContext::SREStreamEnd,
                                            IRecoContext::SREStreamStart};

// Windows-1252 bytes 0x80..0x9F; the five it leaves undefined stand for the
// control characters of the same value, as Windows maps them.
constexpr std::array<char16_t, 32> kCp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> Cp1252Byte(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == u)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

// The text in Windows-1252; nothing when a character is not in it.
std::optional<QByteArray> ToCp1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        const std::optional<char> b = Cp1252Byte(c);
        if (!b)
            return std::nullopt;
        bytes.append(*b);
    }
    return bytes;
}

} // namespace

ExerRecognition::ExerRecognition(frmExer& window, Program& program)
    : m_w(window), m_program(program) {}

// ---- the grammar file ----------------------------------------------------

QString ExerRecognition::PhraseText(const QString& text) {
    QString escaped;
    for (QChar c : text.trimmed()) {
        switch (c.unicode()) {
        case '&':
            escaped += QStringLiteral("&amp;");
            break;
        case '<':
            escaped += QStringLiteral("&lt;");
            break;
        case '>':
            escaped += QStringLiteral("&gt;");
            break;
        case '"':
            escaped += QStringLiteral("&quot;");
            break;
        case '\'':
            escaped += QStringLiteral("&apos;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QByteArray ExerRecognition::GrammarBytes(const QStringList& texts) {
    QStringList lines{QStringLiteral("<GRAMMAR LANGID=\"409\">"),
                      QStringLiteral("<RULE NAME=\"dialog\" TOPLEVEL=\"ACTIVE\">"),
                      QStringLiteral("<P>"), QStringLiteral("<L>")};
    for (const QString& text : texts)
        lines << QStringLiteral("<P>") + PhraseText(text) + QStringLiteral("</P>");
    lines << QStringLiteral("</L>") << QStringLiteral("</P>") << QStringLiteral("</RULE>")
          << QStringLiteral("</GRAMMAR>");
    const QString crlf = QStringLiteral("\r\n");
    const QString content = lines.join(crlf) + crlf;
    if (std::optional<QByteArray> singleByte = ToCp1252(content))
        return *singleByte;
    // A recogniser text beyond the code page is kept whole rather than lost.
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n") + content.toUtf8();
}

QString ExerRecognition::grammarPath(const QString& name) const {
    const QString folder = m_grammarFolder.isEmpty() ? m_program.vars.DataPath : m_grammarFolder;
    return m_program.platform.paths->resolve(folder + name);
}

void ExerRecognition::writeGrammarFile(const QString& folder) {
    platform::db::Recordset& rs = m_program.MyDataEm.rsSelUnitContent;
    QStringList texts;
    rs.MoveFirst();
    while (!rs.IsEOF()) {
        texts << rs.Field(QStringLiteral("EDlgSB")).toString();
        rs.MoveNext();
    }

    const QString path = m_program.platform.paths->resolve(folder + kWrittenName);
    if (QFile::exists(path)) {
        QFile old(path);
        old.setPermissions(old.permissions() | QFileDevice::WriteOwner);
        if (!old.remove())
            throw platform::PlatformError("cannot delete " + path + ": " + old.errorString());
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw platform::PlatformError("cannot create " + path + ": " + file.errorString());
    const QByteArray bytes = GrammarBytes(texts);
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw platform::PlatformError("cannot write " + path + ": " + file.errorString());
}

// A data folder that refuses the file (read-only, full) need not stop the
// learner: the grammar is then written to this user's session folder, and
// the lesson can be practised (whether its results can be saved is told
// where they are written).
bool ExerRecognition::DoCreateXML() {
    try {
        try {
            writeGrammarFile(m_program.vars.DataPath);
            m_grammarFolder.clear();
        } catch (const std::exception&) {
            const QString session =
                QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                QStringLiteral("/verbaro/");
            if (!QDir().mkpath(session))
                throw;
            writeGrammarFile(session);
            m_grammarFolder = session;
        }
        return true;
    } catch (const std::exception&) {
        m_program.platform.messages->show({QStringLiteral("建立数据文件时发生错误！"),
                                           QStringLiteral("错误"), platform::MsgButtons::Ok},
                                          &m_w);
        m_program.platform.programEnd->endProgram(1);
        return false;
    }
}

void ExerRecognition::LoadDefaultGrammar() {
    try {
        std::unique_ptr<ISpeechGrammar> grammar = m_w.priRC->CreateGrammar(0);
        grammar->CmdLoadFromFile(grammarPath(kLoadedName), ISpeechGrammar::SLODynamic);
        grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSInactive);
        m_program.vars.RecoGrammar = grammar.get();
        m_w.m_grammar = std::move(grammar);
    } catch (const std::exception&) {
        m_program.platform.messages->show(
            {QStringLiteral("加载过程中出错！"), QStringLiteral("错误"), platform::MsgButtons::Ok},
            &m_w);
        m_program.platform.programEnd->endProgram(1);
    }
}

// ---- recogniser settings ---------------------------------------------------

void ExerRecognition::SetEventInterest(qint64 AEventInterest, bool AEventFlag) {
    const qint64 interests = m_w.priRC->EventInterests();
    m_w.priRC->SetEventInterests(AEventFlag ? interests | AEventInterest
                                            : interests & ~AEventInterest);
}

void ExerRecognition::DoIniEventInterest() {
    for (qint64 event : kEventsOn)
        SetEventInterest(event, true);
    for (qint64 event : kEventsOff)
        SetEventInterest(event, false);
}

// ---- judging ---------------------------------------------------------------

bool ExerRecognition::IsTarget(const QString& recognised, const QString& target) {
    return recognised.trimmed() == target.trimmed();
}

void ExerRecognition::CountWrongAttempt() {
    ExerScoring& scoring = m_w.scoring();
    scoring.InOneTransaction([&scoring] { scoring.jiacishu(); });
}

void ExerRecognition::NextStep(std::int32_t StreamNumber, const QVariant& StreamPosition) {
    if (m_w.TryCount < m_w.RETRYNUMS) {
        m_w.SentenceDone = false;
    } else {
        m_w.SentenceDone = true;
        m_w.TryCount = 0;
    }
    m_w.sequencer().priVoice_EndStream(StreamNumber, StreamPosition);
}

void ExerRecognition::priRC_Recognition(std::int32_t StreamNumber, const QVariant& StreamPosition,
                                        int RecognitionType, const platform::RecoResult& Result) {
    Q_UNUSED(RecognitionType);
    m_w.sequencer().GrammarOff();
    if (m_w.CurMode == 0)
        return;
    if (IsTarget(Result.PhraseInfo.GetText(0, -1, true), m_w.TargetText)) {
        ++m_w.TryCount;
        m_w.scoring().dafen(1);
    } else {
        CountWrongAttempt();
        ++m_w.TryCount;
        m_w.scoring().dafen(0);
    }
    NextStep(StreamNumber, StreamPosition);
}

void ExerRecognition::priRC_FalseRecognition(std::int32_t StreamNumber,
                                             const QVariant& StreamPosition,
                                             const platform::RecoResult& Result) {
    Q_UNUSED(Result);
    m_w.sequencer().GrammarOff();
    if (m_w.CurMode == 0)
        return;
    ++m_w.TryCount;
    CountWrongAttempt();
    m_w.scoring().dafen(0);
    NextStep(StreamNumber, StreamPosition);
}

void ExerRecognition::priRC_SourceLost() {
    const auto mode = static_cast<Mode>(m_w.CurMode);
    if (mode == Mode::None || mode == Mode::ReadAll || mode == Mode::ReadOne)
        return; // nobody listens: the recogniser hears again once the server is back
    m_w.modes().StopForLostSound(
        QStringLiteral("麦克风录音中断，练习已停止。请检查麦克风后重试！"));
}

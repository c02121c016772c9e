#include "media/MediaCommands.h"

#include "paths/IPathLookup.h"

#include <QFile>
#include <QFileInfo>

namespace platform {

namespace {

struct ErrorText {
    std::int32_t code;
    const char* text;
};

// The texts the platform gives for the codes this interpreter returns.
const ErrorText kErrorTexts[] = {
    {mci::InvalidDeviceId, "Invalid device ID. Use the ID given to the device when the device "
                           "was opened."},
    {mci::UnrecognizedKeyword, "The driver cannot recognize the specified command parameter."},
    {mci::UnrecognizedCommand, "The driver cannot recognize the specified command."},
    {mci::InvalidDeviceName, "The specified device is not open or is not recognized by MCI."},
    {mci::MissingCommandString, "No command was specified."},
    {mci::MissingStringArgument, "The specified command requires a character-string parameter. "
                                 "Please provide one."},
    {mci::BadInteger, "The specified integer is invalid for this command."},
    {mci::MissingParameter, "The specified command requires a parameter. Please supply one."},
    {mci::UnsupportedFunction, "The MCI device you are using does not support the specified "
                               "command."},
    {mci::FileNotFound, "Cannot find the specified file. Make sure the path and filename are "
                        "correct."},
    {mci::ExtensionNotFound, "The specified extension has no device type associated with it. "
                             "Please specify a device."},
    {mci::OutOfRange, "The specified parameter value is out of range for the specified MCI "
                      "command."},
    {mci::DuplicateAlias, "The specified alias is already being used in this application. Use "
                          "a unique alias."},
    {mci::MissingDeviceName, "No device name was specified."},
    {mci::NoClosingQuote, "A closing quotation mark is missing."},
    {mci::InvalidFile, "The specified file cannot be played on the specified MCI device. The "
                       "file may be corrupt, not in the correct format, or no file handler "
                       "available for this format."},
    {mci::SeqNoMidiPresent, "There are no MIDI devices installed on the system. Use the MIDI "
                            "Mapper option in Control Panel to install a MIDI device."},
};

bool isMidiFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == "MThd";
}

// The device type a file's extension stands for.
QString typeOfExtension(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "mid" || suffix == "rmi" || suffix == "midi" ? QStringLiteral("sequencer")
                                                                  : QString();
}

} // namespace

bool MediaCommands::splitWords(const QString& command, QStringList* words) {
    words->clear();
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (const QChar ch : command) {
        if (quoted) {
            if (ch == '"')
                quoted = false;
            else
                word += ch;
        } else if (ch == '"') {
            quoted = true;
            inWord = true;
        } else if (ch.isSpace()) {
            if (inWord)
                *words << word;
            word.clear();
            inWord = false;
        } else {
            word += ch;
            inWord = true;
        }
    }
    if (quoted)
        return false;
    if (inWord)
        *words << word;
    return true;
}

std::int32_t MediaCommands::sendString(const QString& command, QString* reply) {
    if (reply)
        reply->clear();
    QStringList words;
    if (!splitWords(command, &words))
        return mci::NoClosingQuote;
    if (words.isEmpty())
        return mci::MissingCommandString;
    const QString verb = words.takeFirst().toLower();
    if (words.isEmpty())
        return mci::MissingDeviceName;
    // "wait" only asks the call to return when the command is done, which
    // every command here is.
    words.removeIf([](const QString& w) { return w.compare("wait", Qt::CaseInsensitive) == 0; });
    if (verb == "open")
        return open(words);
    if (verb == "close")
        return close(words);
    if (verb == "status")
        return status(words, reply);
    if (verb == "play")
        return play(words);
    if (verb == "stop")
        return stop(words);
    return mci::UnrecognizedCommand;
}

MediaCommands::Device* MediaCommands::device(const QString& alias) {
    const auto it = m_devices.find(alias.toLower());
    return it == m_devices.end() ? nullptr : &it.value();
}

std::int32_t MediaCommands::open(const QStringList& args) {
    const QString element = args.first();
    QString type;
    QString alias;
    for (int i = 1; i < args.size(); ++i) {
        const QString key = args[i].toLower();
        if ((key == "type" || key == "alias") && i + 1 >= args.size())
            return mci::MissingStringArgument;
        if (key == "type")
            type = args[++i].toLower();
        else if (key == "alias")
            alias = args[++i];
        else if (key != "shareable")
            return mci::UnrecognizedKeyword;
    }
    if (type.isEmpty()) {
        type = typeOfExtension(element);
        if (type.isEmpty())
            return mci::ExtensionNotFound;
    }
    if (type != "sequencer")
        return mci::InvalidDeviceName;
    if (alias.isEmpty())
        alias = element;
    if (device(alias))
        return mci::DuplicateAlias;
    const QString path = m_paths.resolve(element);
    if (!QFileInfo(path).isFile())
        return mci::FileNotFound;
    if (!isMidiFile(path))
        return mci::InvalidFile;
    m_devices.insert(alias.toLower(), Device{type, path, QStringLiteral("stopped")});
    return mci::NoError;
}

std::int32_t MediaCommands::close(const QStringList& args) {
    if (args.size() > 1)
        return mci::UnrecognizedKeyword;
    if (args.first().compare("all", Qt::CaseInsensitive) == 0) {
        m_devices.clear();
        return mci::NoError;
    }
    return m_devices.remove(args.first().toLower()) > 0 ? mci::NoError : mci::InvalidDeviceName;
}

std::int32_t MediaCommands::status(const QStringList& args, QString* reply) {
    Device* d = device(args.first());
    if (!d)
        return mci::InvalidDeviceName;
    if (args.size() < 2)
        return mci::MissingParameter;
    if (args.size() > 2)
        return mci::UnrecognizedKeyword;
    const QString item = args[1].toLower();
    QString answer;
    if (item == "mode")
        answer = d->mode;
    else if (item == "ready")
        answer = QStringLiteral("true");
    else
        return mci::UnrecognizedKeyword;
    if (reply)
        *reply = answer;
    return mci::NoError;
}

std::int32_t MediaCommands::play(const QStringList& args) {
    if (!device(args.first()))
        return mci::InvalidDeviceName;
    for (int i = 1; i < args.size(); ++i) {
        const QString key = args[i].toLower();
        if (key != "from" && key != "to")
            return mci::UnrecognizedKeyword;
        if (i + 1 >= args.size())
            return mci::MissingParameter;
        bool ok = false;
        if (args[++i].toInt(&ok) < 0 || !ok)
            return mci::BadInteger;
    }
    // There is no MIDI output to play the sequence through.
    return mci::SeqNoMidiPresent;
}

std::int32_t MediaCommands::stop(const QStringList& args) {
    Device* d = device(args.first());
    if (!d)
        return mci::InvalidDeviceName;
    if (args.size() > 1)
        return mci::UnrecognizedKeyword;
    d->mode = QStringLiteral("stopped");
    return mci::NoError;
}

QString MediaCommands::errorString(std::int32_t code) const {
    if (code == mci::NoError)
        return {};
    for (const ErrorText& e : kErrorTexts)
        if (e.code == code)
            return QString::fromLatin1(e.text);
    return QStringLiteral("Unknown media error %1.").arg(code);
}

} // namespace platform

#pragma once

#include <QString>

#include <cstdint>

namespace platform {

// Result codes of media command strings, as the platform's media control
// interface numbers them (0 is success).
namespace mci {
constexpr std::int32_t NoError = 0;
constexpr std::int32_t InvalidDeviceId = 257;
constexpr std::int32_t UnrecognizedKeyword = 259;
constexpr std::int32_t UnrecognizedCommand = 261;
constexpr std::int32_t InvalidDeviceName = 263; // alias not open, unknown device type
constexpr std::int32_t MissingCommandString = 267;
constexpr std::int32_t MissingStringArgument = 269;
constexpr std::int32_t BadInteger = 270;
constexpr std::int32_t MissingParameter = 273;
constexpr std::int32_t UnsupportedFunction = 274;
constexpr std::int32_t FileNotFound = 275;
constexpr std::int32_t OutOfRange = 282;
constexpr std::int32_t DuplicateAlias = 289;
constexpr std::int32_t MissingDeviceName = 292;
constexpr std::int32_t NoClosingQuote = 294;
constexpr std::int32_t InvalidFile = 296;
constexpr std::int32_t ExtensionNotFound = 281;
constexpr std::int32_t SeqNoMidiPresent = 343;
} // namespace mci

// The media control string interface: "OPEN <file> TYPE SEQUENCER ALIAS
// <name>" (a file name holding blanks in double quotes), "CLOSE <name>"
// (or "CLOSE ALL"), "STATUS <name> MODE" / "READY", "PLAY <name> [FROM n]
// [TO n]", "STOP <name>", keywords without regard to case. Each call returns
// the result code the callers store; a failure changes nothing and shows
// nothing.
class IMediaCommands {
public:
    virtual ~IMediaCommands() = default;

    // Runs one command. `reply` (when given) receives the command's answer,
    // e.g. "stopped" for STATUS ... MODE, and is emptied otherwise.
    virtual std::int32_t sendString(const QString& command, QString* reply = nullptr) = 0;

    // The message text for a result code ("" for 0).
    virtual QString errorString(std::int32_t code) const = 0;
};

} // namespace platform

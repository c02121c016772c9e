// Draws the four agent characters and writes them as character files
// ("Genie.acs", "Merlin.acs", "Peedy.acs", "Robby.acs") into the folder given
// as the only argument. Each file holds the animations the trainer plays for
// that character (names exactly as it asks for them) and the basics every
// character has: RestPose, Idle, Showing, Hiding, GestureLeft.

#include "CharacterBuilder.h"
#include "GenieArt.h"
#include "MerlinArt.h"
#include "PeedyArt.h"
#include "PlatformError.h"
#include "RobbyArt.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace {

struct CharacterSpec {
    const char* name;
    std::unique_ptr<CharacterArt> art;
    std::vector<std::pair<const char*, Motion>> animations;
};

const std::vector<std::pair<const char*, Motion>> kBasics = {
    {"RestPose", Motion::Rest},           {"Idle", Motion::Idle},
    {"Showing", Motion::Showing},         {"Hiding", Motion::Hiding},
    {"GestureLeft", Motion::GestureLeft},
};

std::vector<CharacterSpec> characters() {
    std::vector<CharacterSpec> specs;
    specs.push_back({"Genie",
                     std::make_unique<GenieArt>(),
                     {{"Congratulate", Motion::Cheer},
                      {"Congratulate_2", Motion::CheerJump},
                      {"suggest", Motion::Suggest},
                      {"uncertain", Motion::Uncertain},
                      {"stoplistening", Motion::StopListening},
                      {"announce", Motion::Announce}}});
    specs.push_back({"Merlin",
                     std::make_unique<MerlinArt>(),
                     {{"Congratulate", Motion::Cheer},
                      {"Congratulate_2", Motion::MagicWave},
                      {"surprised", Motion::Surprised},
                      {"confused", Motion::Confused},
                      {"dontrecognize", Motion::DontRecognize},
                      {"stoplistening", Motion::StopListening}}});
    specs.push_back({"Peedy",
                     std::make_unique<PeedyArt>(),
                     {{"domagic1", Motion::MagicWave},
                      {"domagic2", Motion::MagicCast},
                      {"congratulate", Motion::Cheer},
                      {"pleased", Motion::Pleased},
                      {"surprised", Motion::Surprised},
                      {"confused", Motion::Confused},
                      {"stoplistening", Motion::StopListening},
                      {"decline", Motion::Decline}}});
    specs.push_back({"Robby",
                     std::make_unique<RobbyArt>(),
                     {{"congratulate", Motion::CheerJump},
                      {"surprised", Motion::Surprised},
                      {"stoplistening", Motion::StopListening},
                      {"sad", Motion::Sad}}});
    return specs;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    try {
        for (const CharacterSpec& spec : characters()) {
            CharacterBuilder builder(spec.name, *spec.art);
            for (const auto& [animation, motion] : kBasics)
                builder.add(animation, motion);
            for (const auto& [animation, motion] : spec.animations)
                builder.add(animation, motion);
            // AgentFile::save writes a temporary file and renames it into place.
            builder.file().save(folder + "/" + spec.name + ".acs");
        }
    } catch (const platform::PlatformError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

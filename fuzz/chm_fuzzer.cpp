// Compiled help files through our reader (chmlib underneath), as the help
// viewer opens them: the system file, the default topic, the objects.
#include "FuzzInput.h"
#include "help/ChmFile.h"
#include "help/HelpTextDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::MemoryFile file(data, size);
    const auto chm = platform::ChmFile::open(file.path());
    if (!chm)
        return 0;
    (void)chm->title();
    const QString topic = chm->defaultTopic();
    if (!topic.isEmpty()) {
        if (const auto page = chm->read(topic.section('#', 0, 0)))
            (void)platform::HelpTextDecoder::decodePage(*page, chm->codePage());
    }
    int read = 0;
    for (const QString& object : chm->objects()) {
        if (++read > 16)
            break;
        (void)chm->read(object);
    }
    return 0;
}

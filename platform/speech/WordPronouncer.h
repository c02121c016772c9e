#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Turns grammar text into the recogniser's words, and gives words missing
// from its dictionary a pronunciation in the model's phones (CMU set).
class WordPronouncer {
public:
    // Lower-case dictionary tokens of a phrase: letters, digits and inner
    // apostrophes; "&" reads "and"; hyphens and other marks split words.
    static QStringList tokens(const QString& phrase);
    // Phones for a word the dictionary lacks: espeak-ng's phonemizer when the
    // library can be loaded, else spelling rules letter by letter.
    static QString phones(const QString& word);
    // The spelling rules alone (exposed for tests).
    static QString phonesFromLetters(const QString& word);
    // Maps espeak-ng's IPA output to CMU phones; unknown symbols are skipped.
    static QString phonesFromIpa(const QString& ipa);
};

} // namespace platform

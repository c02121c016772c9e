#pragma once

#include <QMetaType>
#include <QString>

namespace platform {

// The phrase of a result: the text as written in the grammar.
struct RecoPhraseInfo {
    QString text;
    // Confidence of the utterance, 0..100, and its class against the
    // thresholds: 1 high, 0 normal, -1 low.
    int confidence = 0;
    int confidenceLevel = -1;

    // The phrase text from element `startElement` on, `elements` of them
    // (-1 = all). The phrase is one element; replacements change nothing here.
    QString GetText(int startElement = 0, int elements = -1, bool useReplacements = true) const {
        Q_UNUSED(useReplacements);
        return startElement == 0 && elements != 0 ? text : QString();
    }
};

// What a recognition or false-recognition event carries.
struct RecoResult {
    RecoPhraseInfo PhraseInfo;
};

} // namespace platform

Q_DECLARE_METATYPE(platform::RecoResult)

#pragma once

#include "FakeSpeechGrammar.h"
#include "speech/IRecoContext.h"
#include "speech/RecognizerProperties.h"

#include <vector>

// A recognition context whose learner is the test: hear() judges a text as
// the real context judges an utterance (a phrase of an active rule with a
// confidence reaching the normal threshold is recognised, anything else is a
// false recognition) and raises the event at once, if asked for. Nothing is
// reported while no rule is active.
class FakeRecoContext : public platform::IRecoContext {
    Q_OBJECT
public:
    std::unique_ptr<platform::ISpeechGrammar> CreateGrammar(qint64 GrammarId) override;
    platform::IRecognizer& Recognizer() override { return properties; }
    qint64 EventInterests() const override { return interests; }
    void SetEventInterests(qint64 value) override { interests = value; }

    // Returns false when nothing was reported.
    bool hear(const QString& text, int confidence = 100);
    // The microphone is lost, as when the sound server goes away, and back.
    void loseSource() {
        sourceLost = true;
        emit SourceLost();
    }
    void regainSource() { sourceLost = false; }
    // As the real context: a rule set active while the microphone is lost
    // raises SourceLost again, after the call returned.
    void ruleActivated();

    // The grammars made and not yet released (the latest last).
    std::vector<FakeSpeechGrammar*> grammars;
    platform::RecognizerProperties properties;
    qint64 interests = SREAllEvents & ~SREAudioLevel;
    qint32 utterances = 0;
    bool sourceLost = false;
};

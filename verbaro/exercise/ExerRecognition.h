#pragma once

#include "speech/RecoResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>

class frmExer;
class Program;

// The recogniser's side of the window: the lesson's grammar file and its
// grammar, the events the recognition context reports, and the judging of
// each spoken attempt before it is scored and the sequencer goes on.
class ExerRecognition {
public:
    ExerRecognition(frmExer& window, Program& program);

    // Writes the grammar file for the open lesson: one phrase per sentence
    // of rsSelUnitContent, which is left past its last row. A failure is
    // told to the learner and ends the program (false).
    bool DoCreateXML();
    // A new grammar of priRC, loaded from the file, every rule inactive. A
    // failure is told to the learner and ends the program.
    void LoadDefaultGrammar();
    // Only recognitions and false recognitions are reported.
    void DoIniEventInterest();
    // Adds (AEventFlag) or removes the bits of AEventInterest on priRC.
    void SetEventInterest(qint64 AEventInterest, bool AEventFlag);

    void priRC_Recognition(std::int32_t StreamNumber, const QVariant& StreamPosition,
                           int RecognitionType, const platform::RecoResult& Result);
    void priRC_FalseRecognition(std::int32_t StreamNumber, const QVariant& StreamPosition,
                                const platform::RecoResult& Result);
    // The microphone was lost (the sound server went away): a mode that
    // listens to the learner stops, and the learner is told.
    void priRC_SourceLost();

    // The grammar file's bytes for these recogniser texts (Null texts as
    // empty ones): Windows-1252, or UTF-8 with a declaration when a text
    // needs a character that code page lacks.
    static QByteArray GrammarBytes(const QStringList& texts);
    // A phrase as the grammar file holds it: trimmed, markup characters
    // written as entities.
    static QString PhraseText(const QString& text);
    // Whether the recognised text is the one the learner had to say;
    // surrounding blanks of either do not count.
    static bool IsTarget(const QString& recognised, const QString& target);

private:
    void writeGrammarFile(const QString& folder);
    QString grammarPath(const QString& name) const;
    // After an attempt: whether the sentence is done, then the sequencer.
    void NextStep(std::int32_t StreamNumber, const QVariant& StreamPosition);
    void CountWrongAttempt();

    frmExer& m_w;
    Program& m_program;
    // Where the grammar file of the open lesson was written: empty for the
    // data folder, else the session folder taken when the data folder
    // refused it.
    QString m_grammarFolder;
};

#pragma once

#include "FakePlatform.h"
#include "core/Program.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class frmExer;
class ImageButton;

namespace platform::db {
class Database;
}

// A program folder with a small lesson database (lessons with and without
// roles, an empty lesson, a heading without lessons), the fake platform with
// the real image button library registered, and the program over both.
//
// Lessons (sentences in dialogue order; the recogniser text is the English
// text without its final punctuation):
//   010101 "Lesson one"   roles A,B:  A, B, A, B
//   010102 "Lesson two"   roles Tom,Lucy (score 12):  Tom, Lucy, Lucy
//   010103 "Lesson three" roles P,Q:  Q, Q, P, (no speaker), P
//   010104 "Long lesson"  roles X,Y: twelve sentences, X and Y by turns
//   010201 "Empty lesson" (no sentences);  020000 a part without lessons
//   030101 "Monologue"    no roles: three sentences
class ExerFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();

    void SetUp() override;
    void TearDown() override;

    // Selects the row with this id in the unit list.
    void SelectUnitRow(const QString& id);
    // Sets the open-lesson variables and queries as opening does, then loads
    // and shows the exercise window (without the modal wait).
    frmExer& LoadLesson(const QString& id);
    frmExer& exer();
    FakeVoice& voice();      // the window's priVoice
    FakeRecoContext& reco(); // the window's priRC
    FakeSpeechGrammar* grammar();
    bool Listening();
    // Whether the button shows this resource picture.
    static bool Shows(const ImageButton* button, const QString& picture);

    QTemporaryDir folder;
    FakePlatform fake;
    std::unique_ptr<Program> program;
};

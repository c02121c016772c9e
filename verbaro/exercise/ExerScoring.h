#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class frmExer;
class Program;

// Scoring of judged attempts: the points and practice counts added to the
// sentence, its lesson, unit and part rows and today's row, the two labels
// and the sentence grids' count and score columns.
//
// An attempt's rows are written in one transaction (jiafen and jiacishu of a
// right answer, jiacishu of a wrong one): either all of them are stored or,
// after a failure, none, the recordsets and grids show the stored values
// again and the learner is told.
class ExerScoring {
public:
    ExerScoring(frmExer& window, Program& program);

    // Scores one judged attempt (fenshuflag non-zero: right): labels, the
    // rows of a right answer, the feedback, the lesson total.
    void dafen(std::int16_t fenshuflag);
    // Adds Fenshu points / one practice to every row of the attempt and to
    // the grids' column 4 / 3 of the sentence's row.
    void jiafen();
    void jiacishu();

    // Runs `writes` as one transaction. False when it failed: it was rolled
    // back, the recordsets read their stored rows again and the learner saw
    // the error.
    bool InOneTransaction(const std::function<void()>& writes);

    // The grade the feedback gets for a right answer at this difficulty;
    // -1 for a difficulty outside 1..10 (no feedback).
    static int GradeFor(int fenshu);

private:
    void AddTo(const char* dayField, const char* field, int amount);
    void ShowInGrids(int column, const QString& field);
    void RereadStoredRows();

    frmExer& m_w;
    Program& m_program;
};

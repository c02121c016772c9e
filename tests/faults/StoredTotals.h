#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// What the lesson database holds for the monologue lesson 030101 of the
// exercise fixture: its three sentences, its lesson, unit and part rows, and
// today's practice-log row, each as (points, practices), Null counted as 0.
struct StoredTotals {
    struct Pair {
        qint64 points = 0;
        qint64 count = 0;
        bool operator==(const Pair&) const = default;
    };
    static const QStringList& sentenceIds();
    static constexpr int kRows = 7; // three sentences, lesson, unit, part, day

    std::array<Pair, kRows> rows{};

    // Reads them from the file (opened, read and closed again); also runs
    // SQLite's integrity check and puts its answer ("ok") in `integrity`.
    static StoredTotals read(const QString& file, QString* integrity = nullptr);

    // The totals after one more attempt on a sentence.
    StoredTotals plus(const QString& dlgId, qint64 points) const;
    // Each row of the lesson tree and the day equal the sum of the sentences.
    bool rollsUp() const;
    QString describe() const;
    bool operator==(const StoredTotals&) const = default;
};

#pragma once

#include "windows/PracticeDays.h"

#include <QChartView>

class QBarCategoryAxis;
class QBarSet;
class QLineSeries;
class QValueAxis;

// The practice log's chart: for each day the points earned and the attempts
// made as bars, and the average points per attempt as a line on its own
// scale at the right, the newest day on the right. It shows the latest
// MaxDays days, so that every bar and date stays readable; without any day
// it shows its empty axes.
class ProgressChart : public QChartView {
    Q_OBJECT
public:
    static constexpr int MaxDays = 30;

    explicit ProgressChart(QWidget* parent = nullptr);

    // `days` newest first, as the log lists them.
    void setDays(const std::vector<PracticeDay>& days);

    QBarSet* pointsBars() const { return m_points; }
    QBarSet* attemptsBars() const { return m_attempts; }
    QLineSeries* averageLine() const { return m_average; }
    QBarCategoryAxis* dayAxis() const { return m_dayAxis; }
    QValueAxis* countAxis() const { return m_countAxis; }
    QValueAxis* averageAxis() const { return m_averageAxis; }

private:
    QBarSet* m_points;
    QBarSet* m_attempts;
    QLineSeries* m_average;
    QBarCategoryAxis* m_dayAxis;
    QValueAxis* m_countAxis;
    QValueAxis* m_averageAxis;
};

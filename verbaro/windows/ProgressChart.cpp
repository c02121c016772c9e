#include "windows/ProgressChart.h"

#include "windows/SongTi.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QDate>
#include <QLineSeries>
#include <QSet>
#include <QValueAxis>
#include <algorithm>

namespace {

// "2026-12-08" reads "12-08" under its bar (anything else shows as stored),
// unless two of the days shown fall on the same date of different years.
QStringList dayLabels(const QStringList& days) {
    QStringList labels;
    for (const QString& day : days) {
        const QDate date = QDate::fromString(day, Qt::ISODate);
        labels << (date.isValid() ? date.toString(QStringLiteral("MM-dd")) : day);
    }
    if (QSet<QString>(labels.begin(), labels.end()).size() != labels.size())
        return days;
    return labels;
}

// A scale from 0 that shows `top` with round steps; at least 0..minimumTop.
void setScale(QValueAxis* axis, double top, double minimumTop) {
    axis->setRange(0, std::max(top, minimumTop));
    axis->applyNiceNumbers();
    axis->setMin(0);
}

} // namespace

ProgressChart::ProgressChart(QWidget* parent)
    : QChartView(parent), m_points(new QBarSet(QStringLiteral("能力指数"))),
      m_attempts(new QBarSet(QStringLiteral("勤奋指数"))), m_average(new QLineSeries),
      m_dayAxis(new QBarCategoryAxis), m_countAxis(new QValueAxis), m_averageAxis(new QValueAxis) {
    setRenderHint(QPainter::Antialiasing);
    auto* chart = new QChart;
    setChart(chart);
    chart->setFont(SongTi(9));
    chart->setTitleFont(SongTi(11));
    chart->legend()->setFont(SongTi(9));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);

    m_points->setColor(QColor(0x2f, 0x7f, 0xd0));
    m_attempts->setColor(QColor(0xf0, 0xa0, 0x30));
    auto* bars = new QBarSeries;
    bars->append(m_points);
    bars->append(m_attempts);
    chart->addSeries(bars);

    m_average->setName(QStringLiteral("平均每次得分"));
    m_average->setColor(QColor(0xc8, 0x28, 0x28));
    QPen line = m_average->pen();
    line.setWidthF(2.5);
    line.setColor(QColor(0xc8, 0x28, 0x28));
    m_average->setPen(line);
    m_average->setPointsVisible(true);
    chart->addSeries(m_average);

    const std::pair<QAbstractAxis*, const char*> titles[] = {
        {m_dayAxis, "日期"}, {m_countAxis, "分数 / 次数"}, {m_averageAxis, "平均每次得分"}};
    for (const auto& [axis, title] : titles) {
        axis->setTitleText(QString::fromUtf8(title));
        axis->setTitleFont(SongTi(9));
        axis->setLabelsFont(SongTi(8));
    }
    m_countAxis->setLabelFormat(QStringLiteral("%d"));
    m_averageAxis->setLabelFormat(QStringLiteral("%.1f"));
    chart->addAxis(m_dayAxis, Qt::AlignBottom);
    chart->addAxis(m_countAxis, Qt::AlignLeft);
    chart->addAxis(m_averageAxis, Qt::AlignRight);
    bars->attachAxis(m_dayAxis);
    bars->attachAxis(m_countAxis);
    m_average->attachAxis(m_dayAxis);
    m_average->attachAxis(m_averageAxis);
    setDays({});
}

void ProgressChart::setDays(const std::vector<PracticeDay>& days) {
    const auto shown = std::min<std::size_t>(days.size(), MaxDays);
    chart()->setTitle(days.size() > shown ? QStringLiteral("每日练习（最近 %1 天）").arg(MaxDays)
                                          : QStringLiteral("每日练习"));
    m_points->remove(0, m_points->count());
    m_attempts->remove(0, m_attempts->count());
    m_average->clear();
    m_dayAxis->clear();

    QStringList shownDays;
    double topCount = 0;
    double topAverage = 0;
    // The log lists the newest day first; the chart reads left to right in time.
    for (std::size_t i = 0; i < shown; ++i) {
        const PracticeDay& d = days[shown - 1 - i];
        const double average = d.attempts == 0 ? 0.0 : double(d.points) / double(d.attempts);
        shownDays << d.day;
        m_points->append(double(d.points));
        m_attempts->append(double(d.attempts));
        m_average->append(double(i), average);
        topCount = std::max({topCount, double(d.points), double(d.attempts)});
        topAverage = std::max(topAverage, average);
    }
    m_dayAxis->append(dayLabels(shownDays));
    setScale(m_countAxis, topCount, 10);
    setScale(m_averageAxis, topAverage, 1);
}

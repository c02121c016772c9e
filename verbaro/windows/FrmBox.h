#pragma once

#include "process/HandlerGuard.h"

#include <QDialog>

class Program;
class ProgressChart;
class QLabel;

namespace platform {
class DataGrid;
}

// The statistics window (the practice log): day by day the points earned and
// the attempts made, the overall index (average points per attempt over all
// days), and a chart of the days. It only reads the log. Closing it unloads
// it; it is loaded anew each time the unit menu's log button shows it.
class FrmBox : public QDialog {
    Q_OBJECT
public:
    explicit FrmBox(Program& program);

    // Loads the window on first use (running Form_Load), then shows it
    // modally: returns when it has been closed (and unloaded).
    void Show();

    // Computes the overall index and draws the chart from rsSelCom, then
    // returns rsSelCom to its first row (the newest day).
    void Form_Load();
    // Scales the grid's fonts by the screen's density from their designed size.
    void Form_Resize();

    platform::DataGrid* BoxData;
    QLabel* zhishu;
    QLabel* Label1;                // the caption of the index
    ProgressChart* ProgressChart1; // stands where the design had a picture

    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect scaled(int x, int y, int w, int h) const;

    Program& m_program;
    platform::HandlerGuard m_guard;
    bool m_loaded = false;
    double m_layoutScale = 1.0;
};

#pragma once

#include <QWidget>
#include <cstdint>

class Program;
class QLabel;
class QFrame;

// The small notice window that steps the open exercise window to the
// previous or next lesson of the unit list: it shows "正在提取数据...",
// moves over heading rows (and lessons without sentences) to the
// neighbouring lesson, reloads the exercise window in place, sets its arrow
// buttons and closes itself. With no lesson further that way, the window
// stays on its lesson.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Program& program);

    // Shows the notice modally and performs the step set by lessonnum;
    // returns when the window has unloaded itself.
    void Show();
    void Form_Activate();

    // 0 previous lesson, 1 next lesson; set by the caller before Show().
    std::int16_t lessonnum = 0;

    QLabel* lbTip1;
    QLabel* lbTip2;
    QFrame* ShapeTip2;
    QLabel* Label1;

private:
    bool MoveToLesson();
    bool HasSentences(const QString& lessonId);
    void ReadRow();
    void ReloadExercise();
    void SetButtons(bool moved);

    Program& m_program;
};

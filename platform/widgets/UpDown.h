#pragma once

#include "widgets/Twips.h"

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class QToolButton;

namespace platform {

// The up-down control: two arrow buttons that step a whole-number Value
// between Min and Max and write it into a buddy text box. Change is raised
// after every change of Value, when the buddy already shows the new number.
//
// The buddy accepts typing: only digits are let in; a whole number within
// the range typed there becomes Value (and raises Change), and when the box
// loses the focus holding anything else, it shows Value again. So whenever
// Change is raised the buddy holds a whole number within the range.
class UpDown : public QWidget {
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr, Twips twips = Twips());

    int Value() const { return m_value; }
    void SetValue(int value); // clamped into the range; raises Change when it moved
    int Min() const { return m_min; }
    void SetMin(int min);
    int Max() const { return m_max; }
    void SetMax(int max);
    void SetRange(int min, int max);
    int Increment() const { return m_increment; }
    void SetIncrement(int step); // at least 1
    // Past an end, wrap round to the other end instead of stopping.
    bool Wrap() const { return m_wrap; }
    void SetWrap(bool wrap) { m_wrap = wrap; }

    // The buddy box; its text is set to Value at once. nullptr unbinds.
    void SetBuddyControl(QLineEdit* buddy);
    // The box; nullptr once it is being destroyed (a window's children go in
    // the order they were made, so the box may go before its up-down).
    QLineEdit* BuddyControl() const { return qobject_cast<QLineEdit*>(m_buddy.data()); }

    bool Visible() const { return !isHidden(); }
    void SetVisible(bool visible) { setVisible(visible); }
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }

    // One step up or down, as the arrow buttons do.
    void StepUp();
    void StepDown();

    void SetTwips(Twips twips) { m_twips = twips; }
    const Twips& twips() const { return m_twips; }
    double Left() const { return m_twips.toTwipsX(x()); }
    double Top() const { return m_twips.toTwipsY(y()); }
    double Width() const { return m_twips.toTwipsX(width()); }
    double Height() const { return m_twips.toTwipsY(height()); }
    void Move(double left, double top, double width, double height);

    QSize sizeHint() const override;

signals:
    void Change();
    void UpClick();
    void DownClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int direction);
    void writeBuddy();
    void buddyEdited(const QString& text);
    void updateValidator();

    Twips m_twips;
    QToolButton* m_up;
    QToolButton* m_down;
    // Kept as a plain widget: while the box is being destroyed it still sends
    // events (its focus leaving) but is no longer a QLineEdit, and is reached
    // only through BuddyControl() then.
    QPointer<QWidget> m_buddy;
    QMetaObject::Connection m_buddyLink;
    int m_value = 0;
    int m_min = 0;
    int m_max = 10;
    int m_increment = 1;
    bool m_wrap = false;
    bool m_writing = false;
};

} // namespace platform

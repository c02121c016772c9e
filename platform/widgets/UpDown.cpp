#include "widgets/UpDown.h"

#include <QEvent>
#include <QRegularExpressionValidator>
#include <QToolButton>

namespace platform {

UpDown::UpDown(QWidget* parent, Twips twips)
    : QWidget(parent), m_twips(twips), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_up, &QToolButton::clicked, this, [this] {
        emit UpClick();
        StepUp();
    });
    connect(m_down, &QToolButton::clicked, this, [this] {
        emit DownClick();
        StepDown();
    });
}

void UpDown::SetValue(int value) {
    value = std::clamp(value, m_min, m_max);
    if (value == m_value) {
        writeBuddy();
        return;
    }
    m_value = value;
    writeBuddy();
    emit Change();
}

void UpDown::SetMin(int min) {
    SetRange(min, std::max(min, m_max));
}

void UpDown::SetMax(int max) {
    SetRange(std::min(m_min, max), max);
}

void UpDown::SetRange(int min, int max) {
    m_min = std::min(min, max);
    m_max = std::max(min, max);
    SetValue(m_value);
}

void UpDown::SetIncrement(int step) {
    m_increment = std::max(1, step);
}

void UpDown::StepUp() {
    step(1);
}

void UpDown::StepDown() {
    step(-1);
}

void UpDown::step(int direction) {
    if (!isEnabled())
        return;
    const long long next = static_cast<long long>(m_value) + direction * m_increment;
    if (next > m_max)
        SetValue(m_wrap ? m_min : m_max);
    else if (next < m_min)
        SetValue(m_wrap ? m_max : m_min);
    else
        SetValue(static_cast<int>(next));
}

void UpDown::SetBuddyControl(QLineEdit* buddy) {
    if (QLineEdit* old = BuddyControl()) {
        disconnect(m_buddyLink);
        old->removeEventFilter(this);
        old->setValidator(nullptr);
    }
    m_buddy = buddy;
    if (!buddy)
        return;
    // Digits only; whether they are within the range is checked as they come.
    buddy->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), buddy));
    buddy->installEventFilter(this);
    m_buddyLink = connect(buddy, &QLineEdit::textEdited, this, &UpDown::buddyEdited);
    writeBuddy();
}

void UpDown::writeBuddy() {
    QLineEdit* buddy = BuddyControl();
    if (!buddy)
        return;
    const QString text = QString::number(m_value);
    if (buddy->text() != text)
        buddy->setText(text);
}

void UpDown::buddyEdited(const QString& text) {
    bool ok = false;
    const int typed = text.toInt(&ok);
    if (!ok || typed < m_min || typed > m_max || typed == m_value)
        return;
    m_value = typed;
    emit Change();
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the box with something that is not the value shows the value.
    if (event->type() == QEvent::FocusOut && watched == m_buddy.data())
        writeBuddy();
    return QWidget::eventFilter(watched, event);
}

void UpDown::Move(double left, double top, double width, double height) {
    setGeometry(m_twips.toPixels(left, top, width, height));
}

QSize UpDown::sizeHint() const {
    return {17, 24};
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

} // namespace platform

#include "widgets/UpDown.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using platform::UpDown;

namespace {

// The repeat count: a text box with its up-down, range 1..99.
class UpDownTest : public ::testing::Test {
protected:
    void SetUp() override {
        txtNum.setText("1");
        updNum.SetRange(1, 99);
        updNum.SetBuddyControl(&txtNum);
        window.show();
        QApplication::processEvents();
    }

    QWidget window;
    QLineEdit txtNum{&window};
    UpDown updNum{&window};
};

TEST_F(UpDownTest, ArrowsStepWithinTheRangeAndWriteTheBuddyFirst) {
    EXPECT_EQ(updNum.Value(), 1);
    EXPECT_EQ(txtNum.text(), "1");
    QStringList seen; // the buddy's text when Change arrives
    QObject::connect(&updNum, &UpDown::Change, [&] { seen << txtNum.text(); });

    updNum.StepUp();
    updNum.StepUp();
    EXPECT_EQ(seen, QStringList({"2", "3"}));
    updNum.StepDown();
    updNum.StepDown();
    updNum.StepDown(); // at the bottom: nothing moves
    EXPECT_EQ(seen, QStringList({"2", "3", "2", "1"}));
    EXPECT_EQ(updNum.Value(), 1);

    updNum.SetValue(99);
    updNum.StepUp();
    EXPECT_EQ(updNum.Value(), 99);
    updNum.SetWrap(true);
    updNum.StepUp();
    EXPECT_EQ(updNum.Value(), 1);
    EXPECT_EQ(txtNum.text(), "1");
    updNum.SetValue(500);
    EXPECT_EQ(updNum.Value(), 99);

    // The arrow buttons themselves.
    updNum.SetWrap(false);
    updNum.SetValue(5);
    auto buttons = updNum.findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 2);
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    EXPECT_EQ(txtNum.text(), "6");
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(txtNum.text(), "5");
}

TEST_F(UpDownTest, TypingInTheBuddyTakesWholeNumbersInRangeOnly) {
    QSignalSpy changes(&updNum, &UpDown::Change);
    txtNum.selectAll();
    QTest::keyClicks(&txtNum, "12");
    EXPECT_EQ(updNum.Value(), 12);
    EXPECT_EQ(changes.count(), 1) << "1 is the value already, 12 changes it";
    QTest::keyClicks(&txtNum, "x-.");
    EXPECT_EQ(txtNum.text(), "12") << "only digits get in";
    QTest::keyClicks(&txtNum, "5"); // 125: beyond the range
    EXPECT_EQ(updNum.Value(), 12);
    txtNum.selectAll();
    QTest::keyClick(&txtNum, Qt::Key_Delete);
    EXPECT_EQ(txtNum.text(), "");
    EXPECT_EQ(updNum.Value(), 12);
    // Leaving the box shows the value again.
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&txtNum, &out);
    EXPECT_EQ(txtNum.text(), "12");
    updNum.StepUp();
    EXPECT_EQ(txtNum.text(), "13");
    EXPECT_EQ(changes.count(), 2);
}

} // namespace

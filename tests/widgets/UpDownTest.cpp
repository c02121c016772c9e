#include "widgets/UpDown.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

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

// A window's children go in the order they were made, so the box goes before
// its up-down; while it is being destroyed it still sends events (its focus
// leaving), and the up-down must not touch it then.
struct BoxFirst {
    BoxFirst() {
        updown->SetRange(1, 99);
        updown->SetBuddyControl(box);
        window->show();
        window->activateWindow();
        box->setFocus(); // as when the learner was typing in it
        QApplication::processEvents();
    }
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QLineEdit* box = new QLineEdit(window.get());
    UpDown* updown = new UpDown(window.get());
};

TEST(UpDownBuddyTest, BoxDestroyedFirstIsLetGo) {
    BoxFirst form;
    delete form.box;
    EXPECT_EQ(form.updown->BuddyControl(), nullptr);
    form.updown->StepUp(); // writes to no box
    EXPECT_EQ(form.updown->Value(), 2);
    // And the whole window going, the box first among its children.
    BoxFirst closing;
    closing.window.reset();
}

} // namespace

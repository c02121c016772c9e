#include "widgets/PopupButton.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using platform::PopupButton;
using platform::Twips;

namespace {

class PopupButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(300, 200);
        button.Move(150, 150, 1050, 360);
        window.show();
        QApplication::processEvents();
    }
    QImage shot() { return button.grab().toImage(); }

    QWidget window;
    PopupButton button{&window, Twips(15, 15)};
};

TEST_F(PopupButtonTest, ValueStyleCaptionAndPicture) {
    EXPECT_EQ(button.geometry(), QRect(10, 10, 70, 24));
    EXPECT_DOUBLE_EQ(button.Width(), 1050);
    button.SetTwips(Twips(12, 12));
    button.SetWidth(1050);
    button.SetHeight(360);
    EXPECT_EQ(button.size(), QSize(88, 30));

    EXPECT_EQ(button.Value(), 0);
    button.SetValue(1);
    EXPECT_EQ(button.Value(), 1);
    button.SetValue(0);
    EXPECT_EQ(button.Value(), 0);

    // Flat and raised look different; the style value is kept as given.
    const QImage flat = shot();
    button.SetStyle(4);
    EXPECT_EQ(button.Style(), 4);
    EXPECT_NE(shot(), flat);
    button.SetStyle(0);
    EXPECT_EQ(shot(), flat);

    button.SetCaption("对 话");
    EXPECT_EQ(button.Caption(), "对 话");
    EXPECT_NE(shot(), flat);
    QPixmap face(10, 10);
    face.fill(Qt::red);
    button.SetCaption("");
    button.SetPicture(face);
    const QImage red = shot();
    EXPECT_EQ(red.pixelColor(red.width() / 2, red.height() / 2), QColor(Qt::red));
    EXPECT_EQ(button.Picture().cacheKey(), face.cacheKey());
}

TEST_F(PopupButtonTest, PressOnlyWhenEnabledVisibleAndReleasedOver) {
    QSignalSpy presses(&button, &PopupButton::Press);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(presses.count(), 1);
    QTest::mouseClick(&button, Qt::RightButton);
    EXPECT_EQ(presses.count(), 1);
    // Released outside: no press.
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_EQ(presses.count(), 1);

    button.SetEnabled(false);
    EXPECT_FALSE(button.Enabled());
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(presses.count(), 1);
    button.SetEnabled(true);
    button.SetVisible(false);
    EXPECT_FALSE(button.Visible());
    window.hide();
    button.SetVisible(true);
    EXPECT_TRUE(button.Visible()) << "its own flag, whatever its window";
}

TEST_F(PopupButtonTest, MouseMoveReportsTwips) {
    QSignalSpy moves(&button, &PopupButton::MouseMove);
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 6), button.mapToGlobal(QPointF(4, 6)),
                     Qt::NoButton, Qt::NoButton, Qt::ControlModifier);
    QApplication::sendEvent(&button, &move);
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves[0][0].value<short>(), 0);
    EXPECT_EQ(moves[0][1].value<short>(), 2);
    EXPECT_FLOAT_EQ(moves[0][2].value<float>(), 60);
    EXPECT_FLOAT_EQ(moves[0][3].value<float>(), 90);
}

} // namespace

#include "ImageLabel.h"
#include "FakePropertyBag.h"
#include "FakeScreenMetrics.h"
#include "OleColor.h"
#include "PictureArea.h"
#include "QtPrinters.h"
#include "TestApp.h"
#include "com/ComError.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using platform::com::ComError;

namespace {

// ImgBack is 100 x 40 pixels, 1500 x 600 twips at 15 twips per pixel.
class ImageLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        host = std::make_unique<QWidget>();
        host->resize(300, 200);
        label = new ImageLabel(host.get(), screen);
        label->setGeometry(10, 10, 100, 40);
        host->show();
        record();
    }

    void TearDown() override {
        if (QWidget* grabber = QWidget::mouseGrabber())
            grabber->releaseMouse();
    }

    void record() {
        const auto mouse = [this](const char* name) {
            return [this, name](short& b, short& s, float& x, float& y) {
                events << QString("%1(%2,%3,%4,%5)").arg(name).arg(b).arg(s).arg(x).arg(y);
            };
        };
        QObject::connect(label, &ImageLabel::MouseEnter, mouse("MouseEnter"));
        QObject::connect(label, &ImageLabel::MouseExit, mouse("MouseExit"));
        QObject::connect(label, &ImageLabel::MouseMove, mouse("MouseMove"));
        QObject::connect(label, &ImageLabel::MouseDown, mouse("MouseDown"));
        QObject::connect(label, &ImageLabel::MouseUp, mouse("MouseUp"));
        QObject::connect(label, &ImageLabel::Click, [this] { events << "Click"; });
        QObject::connect(label, &ImageLabel::DblClick, [this] { events << "DblClick"; });
        QObject::connect(label, &ImageLabel::Paint, [this] { events << "Paint"; });
        QObject::connect(label, &ImageLabel::Validate, [this](bool&) { events << "Validate"; });
    }

    // Event names only, without arguments.
    QStringList names() const {
        QStringList out;
        for (const QString& e : events)
            out << e.section('(', 0, 0);
        return out;
    }

    void send(QEvent::Type type, QPointF pixels, Qt::MouseButton button = Qt::NoButton,
              Qt::MouseButtons buttons = Qt::NoButton) {
        QMouseEvent e(type, pixels, label->imgBack()->mapToGlobal(pixels), button, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(label->imgBack(), &e);
    }
    void move(double x, double y) { send(QEvent::MouseMove, {x, y}); }
    void click(double x, double y) {
        send(QEvent::MouseButtonPress, {x, y}, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {x, y}, Qt::LeftButton, Qt::NoButton);
    }

    std::shared_ptr<FakeScreenMetrics> screen = std::make_shared<FakeScreenMetrics>(15);
    std::unique_ptr<QWidget> host;
    ImageLabel* label = nullptr;
    QStringList events;
};

constexpr double kOneTwip = 1.0 / 15; // in pixels

TEST_F(ImageLabelTest, EnteringGrabsTheMouseAndReportsTwips) {
    move(50, 20);
    EXPECT_EQ(events, (QStringList{"MouseEnter(0,0,750,300)", "MouseMove(0,0,750,300)"}));
    EXPECT_TRUE(label->mouseInside());
    EXPECT_EQ(QWidget::mouseGrabber(), label->imgBack());

    events.clear();
    move(60, 20);
    EXPECT_EQ(names(), QStringList{"MouseMove"});

    events.clear();
    move(150, 20);
    EXPECT_EQ(events, (QStringList{"MouseExit(0,0,2250,300)", "MouseMove(0,0,2250,300)"}));
    EXPECT_FALSE(label->mouseInside());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    events.clear();
    move(200, 20); // outside and not inside: nothing but the move
    EXPECT_EQ(names(), QStringList{"MouseMove"});
}

struct Edge {
    const char* what;
    double x, y; // pixels
    bool inside;
};

TEST_F(ImageLabelTest, EdgesOfTheControl) {
    const Edge edges[] = {
        {"X = 0", 0, 20, false},
        {"Y = 0", 50, 0, false},
        {"X = Width", 100, 20, false},
        {"Y = Height", 50, 40, false},
        {"X = Width - 1 twip", 100 - kOneTwip, 20, true},
        {"Y = Height - 1 twip", 50, 40 - kOneTwip, true},
        {"X = 1 twip", kOneTwip, 20, true},
        {"Y = 1 twip", 50, kOneTwip, true},
        {"X < 0", -3, 20, false},
    };
    for (const Edge& e : edges) {
        SCOPED_TRACE(e.what);
        move(50, 20); // inside
        events.clear();
        move(e.x, e.y);
        EXPECT_EQ(names(),
                  e.inside ? QStringList{"MouseMove"} : (QStringList{"MouseExit", "MouseMove"}));
        EXPECT_EQ(label->mouseInside(), e.inside);

        move(150, 20); // outside
        events.clear();
        move(e.x, e.y);
        EXPECT_EQ(names(),
                  e.inside ? (QStringList{"MouseEnter", "MouseMove"}) : QStringList{"MouseMove"});
    }
}

TEST_F(ImageLabelTest, HandlersChangesOfByReferenceArgumentsArePassedOn) {
    QObject::connect(label, &ImageLabel::MouseEnter, [](short& b, short& s, float& x, float&) {
        b = 7;
        s = 2;
        x = 1;
    });
    move(50, 20);
    ASSERT_EQ(events.size(), 2);
    EXPECT_EQ(events[1], "MouseMove(7,2,1,300)");

    bool cancelled = false;
    QObject::connect(label, &ImageLabel::Validate, [](bool& cancel) { cancel = true; });
    QObject::connect(label, &ImageLabel::Validate, [&](bool& cancel) { cancelled = cancel; });
    label->imgBack()->setFocus();
    QWidget other(host.get());
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    QApplication::setActiveWindow(host.get());
    label->imgBack()->setFocus();
    other.setFocus();
    if (!events.contains("Validate"))
        GTEST_SKIP() << "the platform plugin moved no focus";
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(QApplication::focusWidget(), label->imgBack()); // the host kept the focus
}

TEST_F(ImageLabelTest, ButtonsAndModifiersAreReportedAsThePlatformDoes) {
    QMouseEvent e(QEvent::MouseMove, QPointF(50, 20), QPointF(50, 20), Qt::NoButton,
                  Qt::LeftButton | Qt::MiddleButton, Qt::ShiftModifier | Qt::AltModifier);
    QApplication::sendEvent(label->imgBack(), &e);
    EXPECT_EQ(events.last(), "MouseMove(5,5,750,300)");
    send(QEvent::MouseButtonPress, {50, 20}, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(events.last(), "MouseDown(2,0,750,300)");
}

TEST_F(ImageLabelTest, ClickEndsTheHoverWithoutMouseExit) {
    move(50, 20);
    click(50, 20);
    EXPECT_FALSE(label->mouseInside());
    move(55, 20);
    EXPECT_EQ(names(), (QStringList{"MouseEnter", "MouseMove", "MouseDown", "MouseUp", "Click",
                                    "MouseEnter", "MouseMove"}));
    EXPECT_EQ(QWidget::mouseGrabber(), label->imgBack()); // captured anew
}

TEST_F(ImageLabelTest, DoubleClickEndsTheHoverToo) {
    move(50, 20);
    click(50, 20);
    move(50, 20);
    events.clear();
    send(QEvent::MouseButtonDblClick, {50, 20}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {50, 20}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(names(), (QStringList{"DblClick", "MouseUp"}));
    EXPECT_FALSE(label->mouseInside());
}

TEST_F(ImageLabelTest, ReleasingOutsideIsNoClick) {
    send(QEvent::MouseButtonPress, {50, 20}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {150, 20}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(names(), (QStringList{"MouseDown", "MouseUp"}));
}

TEST_F(ImageLabelTest, LosingTheGrabKeepsTheInsideState) {
    move(50, 20);
    QWidget other(host.get());
    other.show();
    other.grabMouse();
    EXPECT_TRUE(label->mouseInside());

    events.clear();
    move(60, 20); // still inside: no second enter
    EXPECT_EQ(names(), QStringList{"MouseMove"});
    move(150, 20); // a move outside that still reaches the control ends it
    EXPECT_EQ(names(), (QStringList{"MouseMove", "MouseExit", "MouseMove"}));
    EXPECT_EQ(QWidget::mouseGrabber(), &other); // the other window's grab is left alone
    other.releaseMouse();
}

TEST_F(ImageLabelTest, DisabledControlRaisesNothing) {
    move(50, 20);
    events.clear();
    label->setEnabledProperty(false);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    move(60, 20);
    move(150, 20);
    click(50, 20);
    send(QEvent::MouseButtonDblClick, {50, 20}, Qt::LeftButton, Qt::LeftButton);
    label->imgBack()->grab();
    EXPECT_TRUE(events.isEmpty()) << events.join(' ').toStdString();

    label->setEnabledProperty(true);
    label->imgBack()->grab();
    EXPECT_EQ(names(), QStringList{"Paint"});
}

// A press on another control of the window, delivered as the window system
// delivers it: to the window, which hands it to the control under the pointer.
void pressAndRelease(QWidget* control) {
    QWidget* top = control->window();
    const QPointF at = control->mapTo(top, QPoint(5, 5));
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, top->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(top->windowHandle(), &e);
    }
}

// Validate is asked while the picture area still has the focus; the host's
// Cancel keeps it there. Only a move to another control of the window asks.
TEST_F(ImageLabelTest, ValidateComesBeforeTheFocusLeaves) {
    auto* other = new QLineEdit(host.get());
    other->setGeometry(150, 10, 100, 30);
    other->show();
    QApplication::setActiveWindow(host.get());
    label->imgBack()->setFocus();
    if (QApplication::focusWidget() != label->imgBack())
        GTEST_SKIP() << "the platform plugin moved no focus";
    QWidget* focusAtValidate = nullptr;
    bool cancel = true;
    QObject::connect(label, &ImageLabel::Validate, [&](bool& c) {
        focusAtValidate = QApplication::focusWidget();
        c = cancel;
    });

    QTest::keyClick(label->imgBack(), Qt::Key_Tab);
    EXPECT_EQ(focusAtValidate, label->imgBack()) << "by Tab";
    EXPECT_EQ(QApplication::focusWidget(), label->imgBack());

    focusAtValidate = nullptr;
    pressAndRelease(other);
    EXPECT_EQ(focusAtValidate, label->imgBack()) << "by a click";
    EXPECT_EQ(QApplication::focusWidget(), label->imgBack());

    cancel = false;
    focusAtValidate = nullptr;
    pressAndRelease(other);
    EXPECT_EQ(focusAtValidate, label->imgBack());
    EXPECT_EQ(QApplication::focusWidget(), other);
    EXPECT_EQ(events.count("Validate"), 3);

    // Going to another window is no move between the form's controls.
    label->imgBack()->setFocus();
    QWidget elsewhere;
    elsewhere.setFocusPolicy(Qt::StrongFocus);
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    elsewhere.setFocus();
    EXPECT_EQ(events.count("Validate"), 3);
}

TEST_F(ImageLabelTest, HostResizeFillsThePictureAreaAndImage) {
    label->resize(120, 70);
    EXPECT_EQ(label->imgBack()->geometry(), QRect(0, 0, 120, 70));
    EXPECT_EQ(label->imgBack()->image().geometry(), QRect(0, 0, 120, 70));

    label->setBorderStyle(BorderStyl::有边框);
    label->resize(90, 50);
    EXPECT_EQ(label->imgBack()->geometry(), QRect(0, 0, 90, 50));
    EXPECT_EQ(label->imgBack()->image().geometry(), QRect(0, 0, 88, 48)); // inside the border
}

QPixmap filled(int w, int h, Qt::GlobalColor colour) {
    QPixmap p(w, h);
    p.fill(colour);
    return p;
}

TEST_F(ImageLabelTest, AutoSizeTakesThePicturesSizeOnlyWhenAssigned) {
    label->resize(200, 80);
    label->setPicture(filled(100, 50, Qt::red));
    label->setAutoSize(true);
    EXPECT_TRUE(label->AutoSize());
    EXPECT_EQ(label->size(), QSize(100, 50));
    EXPECT_EQ(label->imgBack()->geometry(), QRect(0, 0, 100, 50));

    label->setPicture(filled(30, 20, Qt::blue));
    EXPECT_EQ(label->size(), QSize(100, 50));

    label->setAutoSize(true);
    EXPECT_EQ(label->size(), QSize(30, 20));

    label->setAutoSize(false); // stretched again, the size stays
    EXPECT_EQ(label->size(), QSize(30, 20));
    label->resize(60, 60);
    EXPECT_EQ(label->imgBack()->image().geometry(), QRect(0, 0, 60, 60));
}

// Without AutoSize the picture is stretched over the area: assigning it, or
// reading it from the bag, leaves a bordered control as large as it was.
TEST_F(ImageLabelTest, AutoSizeFalseKeepsABorderedControlsSize) {
    for (Appear look : {Appear::None, Appear::ThreeD}) {
        label->setBorderStyle(BorderStyl::有边框);
        label->setAppearance(look);
        label->resize(120, 50); // the host sizes it: the picture fits inside the border
        label->resize(100, 40);
        label->setPicture(filled(30, 20, Qt::red));
        for (int i = 0; i < 3; ++i)
            label->setAutoSize(false);
        EXPECT_EQ(label->size(), QSize(100, 40));
        const int border = label->imgBack()->frameWidth();
        EXPECT_EQ(label->imgBack()->image().geometry(),
                  QRect(0, 0, 100 - 2 * border, 40 - 2 * border));

        FakePropertyBag bag;
        label->WriteProperties(bag);
        for (int i = 0; i < 2; ++i)
            label->ReadProperties(bag);
        EXPECT_EQ(label->size(), QSize(100, 40));
    }
}

TEST_F(ImageLabelTest, EverySetterNotifiesItsProperty) {
    QStringList notified;
    QObject::connect(label, &ImageLabel::PropertyChanged,
                     [&](const QString& name) { notified << name; });
    label->setPicture(filled(4, 4, Qt::red));
    label->setBorderStyle(BorderStyl::有边框);
    label->setAppearance(Appear::ThreeD);
    label->setAutoSize(true);
    label->setAutoRedraw(true);
    label->setBackColor(0x0000FF);
    label->setEnabledProperty(false);
    EXPECT_EQ(notified, (QStringList{"Picture", "BorderStyle", "Appearance", "AutoSize",
                                     "AutoRedraw", "BackColor", "Enabled"}));
}

TEST_F(ImageLabelTest, InvalidValuesAreTheCallersErrors) {
    const auto number = [](auto set) {
        try {
            set();
        } catch (const ComError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(number([&] { label->setBorderStyle(static_cast<BorderStyl>(2)); }), 380);
    EXPECT_EQ(number([&] { label->setBorderStyle(static_cast<BorderStyl>(70000)); }), 6);
    EXPECT_EQ(number([&] { label->setAppearance(static_cast<Appear>(-1)); }), 380);
    EXPECT_EQ(number([&] { label->setBackColor(0x80000063); }), 380);
    EXPECT_EQ(number([&] { label->setBackColor(0x01000000); }), 380);
    EXPECT_EQ(label->BorderStyle(), BorderStyl::无边框);
    EXPECT_EQ(label->BackColor(), 0x8000000Fu);
}

// Every system colour the platform defines, 0x80000000 to 0x8000001E.
TEST_F(ImageLabelTest, EverySystemColourIsABackColour) {
    for (std::uint32_t index = 0; index <= 30; ++index) {
        const std::uint32_t colour = 0x80000000u | index;
        EXPECT_NO_THROW(label->setBackColor(colour)) << index;
        EXPECT_EQ(label->BackColor(), colour);
        EXPECT_TRUE(OleColor::toColor(colour, label->palette()).isValid()) << index;
    }
    EXPECT_THROW(label->setBackColor(0x8000001F), ComError);
}

TEST_F(ImageLabelTest, NewControlSavesOnlyItsPicture) {
    EXPECT_EQ(label->Appearance(), Appear::None);
    EXPECT_EQ(label->BorderStyle(), BorderStyl::无边框);
    EXPECT_FALSE(label->AutoSize());
    EXPECT_FALSE(label->AutoRedraw());
    EXPECT_EQ(label->BackColor(), 0x8000000Fu);
    EXPECT_TRUE(label->Enabled());
    EXPECT_TRUE(label->Picture().isNull());

    FakePropertyBag bag;
    label->WriteProperties(bag);
    EXPECT_EQ(bag.writes, QStringList{"Picture"});
}

TEST_F(ImageLabelTest, PropertiesRoundTripThroughTheBagInTheirOrders) {
    label->setPicture(filled(8, 6, Qt::green));
    label->setAutoSize(true);
    label->setBorderStyle(BorderStyl::有边框);
    label->setAppearance(Appear::ThreeD);
    label->setAutoRedraw(true);
    label->setBackColor(0x00FF8000);
    label->setEnabledProperty(false);
    FakePropertyBag bag;
    label->WriteProperties(bag);
    EXPECT_EQ(bag.writes, (QStringList{"Picture", "AutoSize", "BorderStyle", "Appearance",
                                       "AutoRedraw", "BackColor", "Enabled"}));

    ImageLabel copy(host.get(), screen);
    QStringList notified;
    QObject::connect(&copy, &ImageLabel::PropertyChanged,
                     [&](const QString& name) { notified << name; });
    copy.ReadProperties(bag);
    const QStringList readOrder{"Picture",    "Appearance", "BorderStyle", "AutoSize",
                                "AutoRedraw", "BackColor",  "Enabled"};
    EXPECT_EQ(bag.reads, readOrder);
    EXPECT_EQ(notified, readOrder);
    EXPECT_EQ(copy.Picture().size(), QSize(8, 6));
    EXPECT_EQ(copy.Picture().toImage().pixelColor(3, 3), QColor(Qt::green));
    EXPECT_TRUE(copy.AutoSize());
    EXPECT_EQ(copy.size(), QSize(8, 6)); // AutoSize ran when read
    EXPECT_EQ(copy.BorderStyle(), BorderStyl::有边框);
    EXPECT_EQ(copy.Appearance(), Appear::ThreeD);
    EXPECT_TRUE(copy.AutoRedraw());
    EXPECT_EQ(copy.BackColor(), 0x00FF8000u);
    EXPECT_FALSE(copy.Enabled());
}

TEST_F(ImageLabelTest, DefaultsAreNotStoredAndComeBack) {
    label->setBorderStyle(BorderStyl::无边框);
    label->setBackColor(0x8000000F);
    label->setAppearance(Appear::ThreeD);
    FakePropertyBag bag;
    label->WriteProperties(bag);
    EXPECT_EQ(bag.values.count("BorderStyle"), 0u);
    EXPECT_EQ(bag.values.count("BackColor"), 0u);
    EXPECT_EQ(bag.values.count("Enabled"), 0u);

    ImageLabel copy(host.get(), screen);
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.BorderStyle(), BorderStyl::无边框);
    EXPECT_EQ(copy.BackColor(), 0x8000000Fu);
    EXPECT_EQ(copy.Appearance(), Appear::ThreeD);
    EXPECT_TRUE(copy.Enabled());
}

TEST_F(ImageLabelTest, StoredValuesAreReadAsThePlatformStoresThem) {
    FakePropertyBag bag;
    bag.values["BackColor"] = static_cast<int>(0x80000012); // a signed long
    bag.values["BorderStyle"] = QString("1");
    label->ReadProperties(bag);
    EXPECT_EQ(label->BackColor(), 0x80000012u);
    EXPECT_EQ(label->BorderStyle(), BorderStyl::有边框);

    bag.values["Appearance"] = QString("flat");
    EXPECT_THROW(label->ReadProperties(bag), ComError);
}

TEST_F(ImageLabelTest, PaintsPictureOverBackColour) {
    label->setBackColor(0x000000FF); // red
    label->setPicture(filled(10, 10, Qt::blue));
    label->setAutoSize(true);
    label->setAutoSize(false); // stretch over the 10 x 10 area
    label->resize(20, 10);
    for (bool persistent : {false, true}) {
        label->setAutoRedraw(persistent);
        const QImage shot = label->grab().toImage();
        EXPECT_EQ(shot.pixelColor(15, 5), QColor(Qt::blue)) << persistent;
    }
    label->setPicture(QPixmap());
    EXPECT_EQ(label->grab().toImage().pixelColor(15, 5), QColor(Qt::red));
}

TEST(ImageLabelToolbox, PictureIsResource30000Of16By15) {
    ensureApp();
    const QImage bitmap = ImageLabel::toolboxBitmap();
    EXPECT_EQ(bitmap.size(), QSize(16, 15));
}

} // namespace

#include "FakeScreenMetrics.h"
#include "Fitform.h"
#include "ImageLabel.h"
#include "QtPrinters.h"
#include "TestApp.h"
#include "com/PropertyBag.h"

#include <QMetaMethod>

#include <gtest/gtest.h>

namespace {

// The members a class declares itself, in declaration (slot) order.
QStringList declared(const QMetaObject& meta, QMetaMethod::MethodType type) {
    QStringList names;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod m = meta.method(i);
        if (m.methodType() == type && m.access() == QMetaMethod::Public)
            names << QString::fromLatin1(m.methodSignature());
    }
    return names;
}

QStringList properties(const QMetaObject& meta) {
    QStringList names;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        names << meta.property(i).name();
    return names;
}

TEST(ControlInterfaces, ImageLabelPropertiesAndEventsInTheirOrder) {
    const QMetaObject& meta = ImageLabel::staticMetaObject;
    EXPECT_EQ(properties(meta), (QStringList{"Picture", "BorderStyle", "Appearance", "AutoSize",
                                             "AutoRedraw", "BackColor", "Enabled"}));
    EXPECT_EQ(declared(meta, QMetaMethod::Signal),
              (QStringList{"PropertyChanged(QString)", "MouseEnter(short&,short&,float&,float&)",
                           "MouseExit(short&,short&,float&,float&)",
                           "MouseMove(short&,short&,float&,float&)", "Click()",
                           "MouseDown(short&,short&,float&,float&)",
                           "MouseUp(short&,short&,float&,float&)", "Paint()", "DblClick()",
                           "Validate(bool&)"}));
}

TEST(ControlInterfaces, FitformMembersInTheirOrder) {
    const QMetaObject& meta = Fitform::staticMetaObject;
    EXPECT_EQ(declared(meta, QMetaMethod::Method), QStringList{"Resize(QWidget*)"});
    EXPECT_EQ(properties(meta), (QStringList{"FormScaleWidth", "FormScaleHeight", "TwipsPerPixelX",
                                             "TwipsPerPixelY"}));
    EXPECT_EQ(declared(meta, QMetaMethod::Signal), QStringList{"PropertyChanged(QString)"});
}

// A host keeps a control's bag with its form as bytes and reads it back.
TEST(ControlInterfaces, SavedBagBytesBringAControlBack) {
    ensureApp();
    auto screen = std::make_shared<FakeScreenMetrics>(15);
    ImageLabel label(nullptr, screen);
    QPixmap picture(12, 7);
    picture.fill(Qt::yellow);
    label.setPicture(picture);
    label.setAutoSize(true);
    label.setBackColor(0x00336699);
    platform::com::PropertyBag bag;
    label.WriteProperties(bag);
    EXPECT_FALSE(bag.contains("Enabled"));
    EXPECT_TRUE(bag.contains("backcolor")); // names ignore case

    platform::com::PropertyBag loaded;
    ASSERT_TRUE(loaded.load(bag.save()));
    ImageLabel copy(nullptr, screen);
    copy.ReadProperties(loaded);
    EXPECT_EQ(copy.size(), QSize(12, 7));
    EXPECT_EQ(copy.BackColor(), 0x00336699u);
    EXPECT_EQ(copy.Picture().toImage().pixelColor(0, 0), QColor(Qt::yellow));

    platform::com::PropertyBag broken;
    EXPECT_FALSE(broken.load("not a bag"));
    EXPECT_FALSE(broken.contains("Picture"));
}

} // namespace

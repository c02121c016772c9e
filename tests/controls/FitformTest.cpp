#include "Fitform.h"
#include "FakeLateBound.h"
#include "FakePropertyBag.h"
#include "FakeScreenMetrics.h"
#include "QtPrinters.h"
#include "TestApp.h"
#include "com/ComError.h"

#include <gtest/gtest.h>

using platform::com::ComError;

namespace {

using Control = std::shared_ptr<FakeLateBound>;

// A form designed at 96 dpi: inner size 9000 x 6600 twips, a text box, a
// timer (no geometry, no font) and an image (no font).
class FitformTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        form.set("WindowState", 0);
        form.set("Width", 9600.0);
        form.set("Height", 7200.0);
        form.set("FontSize", 9.0);
        form.set("ScaleWidth", 9000.0);
        form.set("ScaleHeight", 6600.0);
        form.objects["controls"] = FakeLateBound::collection({text, timer, image});
        fit = std::make_unique<Fitform>(nullptr, screen);
        fit->setFormScaleWidth(9000);
        fit->setFormScaleHeight(6600);
    }

    static double num(const Control& c, const char* name) { return c->value(name).toDouble(); }
    void expectGeometry(const Control& c, double l, double t, double w, double h) const {
        EXPECT_DOUBLE_EQ(num(c, "Left"), l);
        EXPECT_DOUBLE_EQ(num(c, "Top"), t);
        EXPECT_DOUBLE_EQ(num(c, "Width"), w);
        EXPECT_DOUBLE_EQ(num(c, "Height"), h);
    }

    std::shared_ptr<FakeScreenMetrics> screen = std::make_shared<FakeScreenMetrics>(15);
    FakeLateBound form;
    Control text = std::make_shared<FakeLateBound>(FakeLateBound{{"Left", 1001.0},
                                                                 {"Top", -101.0},
                                                                 {"Width", 3000.0},
                                                                 {"Height", 1500.0},
                                                                 {"FontSize", 12.0}});
    Control timer = std::make_shared<FakeLateBound>(FakeLateBound{{"Interval", 10}});
    Control image = std::make_shared<FakeLateBound>(
        FakeLateBound{{"Left", 150.0}, {"Top", 300.0}, {"Width", 450.0}, {"Height", 600.0}});
    std::unique_ptr<Fitform> fit;
};

TEST_F(FitformTest, FirstCallAt120DpiScalesFormAndControlsBy08) {
    screen->x = screen->y = 12;
    fit->Resize(form);
    EXPECT_DOUBLE_EQ(form.value("Width").toDouble(), 7680);
    EXPECT_DOUBLE_EQ(form.value("Height").toDouble(), 5760);
    EXPECT_DOUBLE_EQ(form.value("FontSize").toDouble(), 0.8 * 9);
    expectGeometry(text, 800, -81, 2400, 1200);        // 800.8 and -80.8 rounded down
    EXPECT_DOUBLE_EQ(num(text, "FontSize"), 0.8 * 12); // not rounded
    expectGeometry(image, 120, 240, 360, 480);
    EXPECT_FALSE(image->has("FontSize"));
    EXPECT_TRUE(timer->puts.isEmpty());
    EXPECT_EQ(fit->resizePhase(), 2);
    EXPECT_EQ(fit->FormScaleWidth(), 9000);
}

TEST_F(FitformTest, DensityUsesEachAxisAndTheDesignScreensValues) {
    screen->x = 12;
    screen->y = 15;
    fit->setTwipsPerPixelY(12); // designed on a 120 dpi screen vertically
    fit->Resize(form);
    EXPECT_DOUBLE_EQ(form.value("Width").toDouble(), 7680);
    EXPECT_DOUBLE_EQ(form.value("Height").toDouble(), 9000);
    EXPECT_DOUBLE_EQ(form.value("FontSize").toDouble(), 1.25 * 9); // vertical density
    EXPECT_DOUBLE_EQ(num(text, "FontSize"), 0.8 * 12);             // horizontal density
    expectGeometry(image, 120, 375, 360, 750);
}

TEST_F(FitformTest, FirstCallAt96DpiChangesNothing) {
    fit->Resize(form);
    EXPECT_DOUBLE_EQ(form.value("Width").toDouble(), 9600);
    EXPECT_DOUBLE_EQ(form.value("FontSize").toDouble(), 9);
    expectGeometry(text, 1001, -101, 3000, 1500);
    EXPECT_DOUBLE_EQ(num(text, "FontSize"), 12);
    EXPECT_EQ(fit->resizePhase(), 2);
}

TEST_F(FitformTest, LaterCallScalesControlsByTheInnerSizesChange) {
    fit->Resize(form);
    form.set("ScaleWidth", 12000.0);
    form.puts.clear();
    fit->Resize(form);
    expectGeometry(text, 1334, -101, 4000, 1500); // 1001 x 4/3 = 1334.67
    expectGeometry(image, 200, 300, 600, 600);
    EXPECT_DOUBLE_EQ(num(text, "FontSize"), 12);
    EXPECT_TRUE(form.puts.isEmpty()); // the form's own size is never touched again
    EXPECT_EQ(fit->FormScaleWidth(), 12000);

    form.set("ScaleWidth", 9000.0); // shrinking back rounds down again
    fit->Resize(form);
    expectGeometry(text, 1000, -101, 3000, 1500);
}

TEST_F(FitformTest, MinimisedCallsChangeNothing) {
    form.set("WindowState", 1);
    form.set("ScaleWidth", 0.0);
    fit->Resize(form);
    EXPECT_EQ(fit->resizePhase(), 0);
    EXPECT_TRUE(form.puts.isEmpty());
    EXPECT_TRUE(text->puts.isEmpty());
    EXPECT_EQ(fit->FormScaleWidth(), 9000);

    form.set("WindowState", 0);
    form.set("ScaleWidth", 9000.0);
    fit->Resize(form);
    form.set("WindowState", 1);
    form.set("ScaleWidth", 4500.0);
    text->puts.clear();
    fit->Resize(form);
    EXPECT_TRUE(text->puts.isEmpty());
    EXPECT_EQ(fit->FormScaleWidth(), 9000);
}

TEST_F(FitformTest, CallsMadeDuringTheFirstCallAreIgnored) {
    screen->x = screen->y = 12;
    int inner = 0;
    form.afterPut = [&](const QString& name) {
        if (name == "Width" || name == "Height") { // the form's resize handler
            ++inner;
            form.set("ScaleWidth", form.value("Width").toDouble() - 600);
            fit->Resize(form);
        }
    };
    fit->Resize(form);
    EXPECT_EQ(inner, 2);
    expectGeometry(text, 800, -81, 2400, 1200); // scaled once
    EXPECT_EQ(fit->FormScaleWidth(), 7080);
}

TEST_F(FitformTest, MaximisedFirstCallScalesByDensityAndInnerSize) {
    screen->x = screen->y = 12;
    form.set("WindowState", 2);
    form.set("ScaleWidth", 12000.0);
    fit->Resize(form);
    EXPECT_DOUBLE_EQ(form.value("Width").toDouble(), 9600); // not the form's size
    EXPECT_DOUBLE_EQ(form.value("FontSize").toDouble(), 0.8 * 9);
    expectGeometry(image, 160, 240, 480, 480); // x by 0.8 x 4/3, y by 0.8
}

TEST_F(FitformTest, StoredInnerSizeOfZeroLeavesControlsAlone) {
    fit->setFormScaleWidth(0);
    fit->Resize(form); // the first call needs no stored size
    expectGeometry(text, 1001, -101, 3000, 1500);
    fit->setFormScaleHeight(0);
    form.set("ScaleWidth", 12000.0);
    fit->Resize(form);
    expectGeometry(text, 1001, -101, 3000, 1500);
    EXPECT_EQ(fit->FormScaleWidth(), 12000); // the new size is still taken
    EXPECT_EQ(fit->FormScaleHeight().toInt(), 6600);

    form.set("ScaleWidth", 6000.0);
    fit->Resize(form);
    expectGeometry(text, 500, -101, 1500, 1500);
}

// A form reduced to no inner size when the call comes: a ratio of 0 would
// collapse every control for good.
TEST_F(FitformTest, InnerSizeOfZeroReadAtCallTimeLeavesControlsAlone) {
    fit->Resize(form);
    for (const char* side : {"ScaleWidth", "ScaleHeight"}) {
        form.set("ScaleWidth", 9000.0);
        form.set("ScaleHeight", 6600.0);
        fit->Resize(form);
        form.set(side, 0.0);
        fit->Resize(form);
        expectGeometry(text, 1001, -101, 3000, 1500);
        expectGeometry(image, 150, 300, 450, 600);
    }

    Fitform maximised(nullptr, screen);
    maximised.setFormScaleWidth(9000);
    maximised.setFormScaleHeight(6600);
    form.set("WindowState", 2);
    form.set("ScaleWidth", 0.0);
    maximised.Resize(form);
    expectGeometry(text, 1001, -101, 3000, 1500);
    EXPECT_EQ(maximised.resizePhase(), 2);
}

TEST(FitformNoForm, ResizeWithoutAFormEndsTheFirstCall) {
    ensureApp();
    Fitform fit(nullptr, std::make_shared<FakeScreenMetrics>(15));
    fit.Resize(static_cast<QWidget*>(nullptr));
    EXPECT_EQ(fit.resizePhase(), 2);
}

TEST_F(FitformTest, MaximisedFirstCallWithoutStoredSizeLeavesControlsAlone) {
    fit->setFormScaleWidth(0);
    form.set("WindowState", 2);
    fit->Resize(form);
    expectGeometry(text, 1001, -101, 3000, 1500);
    EXPECT_EQ(fit->FormScaleWidth(), 9000);
}

TEST_F(FitformTest, DesignDensityOfZeroLeavesFormAndControlsAlone) {
    fit->setTwipsPerPixelX(0);
    fit->Resize(form);
    EXPECT_DOUBLE_EQ(form.value("Width").toDouble(), 9600);
    expectGeometry(text, 1001, -101, 3000, 1500);
    EXPECT_EQ(fit->resizePhase(), 2);
}

TEST_F(FitformTest, FormWithoutControlsOrFontIsNoError) {
    FakeLateBound bare{{"WindowState", 0}, {"ScaleWidth", 100.0}, {"ScaleHeight", 100.0}};
    screen->x = screen->y = 12;
    EXPECT_NO_THROW(fit->Resize(bare));
    EXPECT_EQ(fit->FormScaleWidth(), 100);
}

TEST_F(FitformTest, SettersConvertNotifyAndRefuse) {
    QStringList notified;
    QObject::connect(fit.get(), &Fitform::PropertyChanged,
                     [&](const QString& name) { notified << name; });
    fit->setFormScaleWidth(1);
    fit->setFormScaleHeight(QVariant("12.5"));
    fit->setTwipsPerPixelX(QVariant(2.5));
    fit->setTwipsPerPixelY(QVariant(3.5));
    EXPECT_EQ(notified, (QStringList{"FormScaleWidth", "FormScaleHeight", "TwipsPerPixelX",
                                     "TwipsPerPixelY"}));
    EXPECT_EQ(fit->FormScaleHeight(), QVariant(12)); // half to even
    EXPECT_EQ(fit->TwipsPerPixelX(), QVariant(2));
    EXPECT_EQ(fit->TwipsPerPixelY(), QVariant(4));
    EXPECT_EQ(fit->FormScaleHeight().typeId(), QMetaType::Int);

    const auto number = [](auto set) {
        try {
            set();
        } catch (const ComError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(number([&] { fit->setTwipsPerPixelX(QVariant("abc")); }), 13);
    EXPECT_EQ(number([&] { fit->setFormScaleHeight(QVariant(3e9)); }), 6);
    EXPECT_EQ(fit->TwipsPerPixelX(), QVariant(2));
}

TEST_F(FitformTest, PropertyBagKeepsOrderAndSkipsDefaults) {
    Fitform fresh(nullptr, screen);
    FakePropertyBag empty;
    fresh.WriteProperties(empty);
    EXPECT_TRUE(empty.writes.isEmpty());
    fresh.ReadProperties(empty);
    EXPECT_EQ(empty.reads, (QStringList{"FormScaleWidth", "FormScaleHeight", "TwipsPerPixelX",
                                        "TwipsPerPixelY"}));
    EXPECT_EQ(fresh.TwipsPerPixelX(), QVariant(15));
    EXPECT_EQ(fresh.FormScaleWidth(), 0);

    fit->setTwipsPerPixelY(12);
    FakePropertyBag bag;
    fit->WriteProperties(bag);
    EXPECT_EQ(bag.writes, (QStringList{"FormScaleWidth", "FormScaleHeight", "TwipsPerPixelY"}));
    fresh.ReadProperties(bag);
    EXPECT_EQ(fresh.FormScaleWidth(), 9000);
    EXPECT_EQ(fresh.FormScaleHeight(), QVariant(6600));
    EXPECT_EQ(fresh.TwipsPerPixelX(), QVariant(15));
    EXPECT_EQ(fresh.TwipsPerPixelY(), QVariant(12));
}

TEST_F(FitformTest, SurfaceStaysAt400Twips) {
    EXPECT_EQ(fit->size(), QSize(27, 27)); // 400 / 15 = 26.7 pixels
    fit->show();
    fit->resize(100, 50);
    EXPECT_EQ(fit->size(), QSize(27, 27));
    screen->x = screen->y = 12;
    Fitform dense(nullptr, screen);
    EXPECT_EQ(dense.size(), QSize(33, 33));
}

TEST(FitformToolbox, PictureIsResource30000Of16By15) {
    ensureApp();
    EXPECT_EQ(Fitform::toolboxBitmap().size(), QSize(16, 15));
}

} // namespace

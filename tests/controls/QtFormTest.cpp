#include "FakeScreenMetrics.h"
#include "Fitform.h"
#include "ImageLabel.h"
#include "PictureArea.h"
#include "TestApp.h"
#include "com/QtWidgetObject.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A designed Qt form: a button, a group box holding a label, a spin box (whose
// inner line edit is no control of the form) and the resizer itself.
class QtFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        form.setObjectName("Form1");
        form.resize(400, 300);
        QFont font = form.font();
        font.setPointSizeF(10);
        form.setFont(font);
        button = named(new QPushButton("OK", &form), "cmdOK", {100, 50, 200, 60});
        group = named(new QGroupBox(&form), "fraBox", {20, 150, 160, 100});
        label = named(new QLabel("text", group), "lblText", {10, 20, 80, 30});
        spin = named(new QSpinBox(&form), "updCount", {250, 150, 100, 30});
        fit = new Fitform(&form, screen);
        fit->setObjectName("Fitform1");
        fit->setFormScaleWidth(400 * 15);
        fit->setFormScaleHeight(300 * 15);
    }

    template <class W> W* named(W* w, const char* name, QRect geometry) {
        w->setObjectName(name);
        w->setGeometry(geometry);
        return w;
    }

    std::shared_ptr<FakeScreenMetrics> screen = std::make_shared<FakeScreenMetrics>(15);
    const bool appReady = (ensureApp(), true);
    QWidget form;
    QPushButton* button = nullptr;
    QGroupBox* group = nullptr;
    QLabel* label = nullptr;
    QSpinBox* spin = nullptr;
    Fitform* fit = nullptr;
};

TEST_F(QtFormTest, ControlsAreTheFormsNamedWidgets) {
    QStringList names;
    for (QWidget* w : platform::com::QtWidgetObject::controlsOf(&form))
        names << w->objectName();
    EXPECT_EQ(names, (QStringList{"cmdOK", "fraBox", "lblText", "updCount", "Fitform1"}));
}

TEST_F(QtFormTest, FirstCallAt120DpiShrinksFormControlsAndFonts) {
    screen->x = screen->y = 12;
    fit->Resize(&form);
    EXPECT_EQ(form.size(), QSize(320, 240));
    EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 8);
    // 100 px = 1200 twips here; x 0.8 = 960 twips = 80 px
    EXPECT_EQ(button->geometry(), QRect(80, 40, 160, 48));
    EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 8);   // its own 10 points x 0.8, once
    EXPECT_EQ(label->geometry(), QRect(8, 16, 64, 24)); // within its group box
    EXPECT_EQ(group->geometry(), QRect(16, 120, 128, 80));
    form.show();
    EXPECT_EQ(fit->size(), QSize(33, 33)); // keeps its own surface
}

TEST_F(QtFormTest, GrowingTheFormMovesAndSizesTheControls) {
    fit->Resize(&form); // 96 dpi: nothing changes
    EXPECT_EQ(button->geometry(), QRect(100, 50, 200, 60));
    form.resize(500, 300);
    fit->Resize(&form);
    EXPECT_EQ(button->geometry(), QRect(125, 50, 250, 60));
    EXPECT_EQ(spin->geometry(), QRect(312, 150, 125, 30));
    EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 10);
    EXPECT_EQ(fit->FormScaleWidth(), 500 * 15);
}

// The form's own resize handling calls the resizer, as a host form does.
class ResizingForm : public QWidget {
public:
    Fitform* fit = nullptr;
    int calls = 0;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        ++calls;
        if (fit)
            fit->Resize(this);
    }
};

QWidget* place(QWidget* w, const char* name, QRect geometry) {
    w->setObjectName(name);
    w->setGeometry(geometry);
    return w;
}

QStringList controlNames(QWidget* form) {
    QStringList names;
    for (QWidget* w : platform::com::QtWidgetObject::controlsOf(form))
        names << w->objectName();
    return names;
}

// The image button is one control of the form; its picture area is a part of
// it, which the button sizes itself.
TEST(QtFormParts, ImageButtonsPictureAreaIsNoControlOfTheForm) {
    ensureApp();
    QWidget form;
    form.resize(400, 300);
    auto* button = new ImageLabel(&form, std::make_shared<FakeScreenMetrics>(15));
    place(button, "CmdDo", {100, 50, 200, 60});
    form.show();
    EXPECT_EQ(controlNames(&form), QStringList{"CmdDo"});

    Fitform fit(nullptr, std::make_shared<FakeScreenMetrics>(12));
    fit.setFormScaleWidth(400 * 15);
    fit.setFormScaleHeight(300 * 15);
    fit.Resize(&form);
    EXPECT_EQ(button->geometry(), QRect(80, 40, 160, 48));
    EXPECT_EQ(button->imgBack()->geometry(), QRect(0, 0, 160, 48)) << "the picture fills it";
    EXPECT_EQ(button->imgBack()->image().geometry(), QRect(0, 0, 160, 48));
}

TEST(QtFormParts, ControlsOnTabPagesAndInScrollAreasAreTheFormsToo) {
    ensureApp();
    QWidget form;
    form.resize(400, 300);
    auto* tabs = new QTabWidget(&form);
    place(tabs, "tabPages", {0, 150, 200, 150});
    auto* page = new QWidget;
    page->setObjectName("tabPage1");
    tabs->addTab(page, "1");
    QWidget* onPage = place(new QLabel("on a page", page), "lblOnPage", {10, 10, 100, 20});
    auto* scroll = new QScrollArea(&form);
    place(scroll, "scrArea", {200, 150, 200, 150});
    auto* content = new QWidget;
    content->setObjectName("scrContent");
    content->resize(300, 300);
    scroll->setWidget(content);
    QWidget* inScroll = place(new QPushButton("in", content), "cmdInScroll", {20, 20, 100, 40});
    form.show();
    EXPECT_EQ(controlNames(&form),
              (QStringList{"tabPages", "lblOnPage", "scrArea", "cmdInScroll"}));

    Fitform fit(nullptr, std::make_shared<FakeScreenMetrics>(12));
    fit.setFormScaleWidth(400 * 15);
    fit.setFormScaleHeight(300 * 15);
    fit.Resize(&form);
    EXPECT_EQ(onPage->geometry(), QRect(8, 8, 80, 16));
    EXPECT_EQ(inScroll->geometry(), QRect(16, 16, 80, 32));
}

TEST(QtFormShown, ResizeHandlerDrivesTheResizer) {
    ensureApp();
    auto screen = std::make_shared<FakeScreenMetrics>(12);
    ResizingForm form;
    form.resize(400, 300);
    auto* button = new QPushButton("OK", &form);
    button->setObjectName("cmdOK");
    button->setGeometry(100, 50, 200, 60);
    form.fit = new Fitform(&form, screen);
    form.fit->setFormScaleWidth(400 * 12);
    form.fit->setFormScaleHeight(300 * 12);
    form.show();
    // The first call shrank the form's outer size (its frame included); the
    // calls its resize made were turned away.
    const int frameX = form.frameGeometry().width() - form.width();
    const int frameY = form.frameGeometry().height() - form.height();
    EXPECT_EQ(form.width(), std::lround(0.8 * (400 + frameX)) - frameX);
    EXPECT_EQ(form.height(), std::lround(0.8 * (300 + frameY)) - frameY);
    EXPECT_EQ(button->geometry(), QRect(80, 40, 160, 48));
    EXPECT_EQ(form.fit->resizePhase(), 2);

    form.resize(form.width() * 2, form.height());
    EXPECT_EQ(button->geometry(), QRect(160, 40, 320, 48));
}

} // namespace

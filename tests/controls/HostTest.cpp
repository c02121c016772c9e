#include "FakeScreenMetrics.h"
#include "QtPrinters.h"
#include "ScopedDataHome.h"
#include "TestApp.h"
#include "com/ComError.h"
#include "com/ControlCreator.h"
#include "com/Guid.h"
#include "com/IClassFactory.h"
#include "com/PropertyPut.h"
#include "com/ServerEntryPoints.h"
#include "com/ServerHostCall.h"
#include "registry/FileRegistry.h"
#include "screen/ScreenMetrics.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMouseEvent>
#include <QPluginLoader>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <gtest/gtest.h>

using namespace platform::com;
using platform::FileRegistry;
using platform::RegAccess;
using platform::RegRoot;
using platform::RegValue;

// A host's handler object, connected to the control's events by their names.
class EventSink : public QObject {
    Q_OBJECT
public:
    int enters = 0;
    int clicks = 0;
    QPointF at;
public slots:
    void onMouseEnter(short&, short&, float& x, float& y) {
        ++enters;
        at = QPointF(x, y);
    }
    void onClick() { ++clicks; }
};

namespace {

const QString kImageLabelClsid = "{12C04C6A-6E34-46F6-8A6A-1F08CE3EB3F8}";
const QString kGlyphonLibId = "{777DF569-DE38-4EED-A5FD-BAD9759F2571}";

// Each test has its own per-user registry in a temporary folder.
class HostTest : public ::testing::Test {
protected:
    // Calls an entry point as the registration tools do: the library gets this
    // test's registry first.
    HResult callEntry(const QString& library, const char* entry) {
        QLibrary lib(library);
        if (!lib.load())
            return CO_E_DLLNOTFOUND;
        if (const HResult hr = setServerHost(lib, {&registry, nullptr}); !succeeded(hr))
            return hr;
        const auto fn = reinterpret_cast<DllRegisterServerFn>(lib.resolve(entry));
        return fn ? fn() : CO_E_ERRORINDLL;
    }
    QString text(const QString& key, const QString& name = {}) const {
        const auto v = registry.value(RegRoot::ClassesRoot, key, name);
        return v ? v->text : QString("<none>");
    }
    bool exists(const QString& key) const { return registry.keyExists(RegRoot::ClassesRoot, key); }
    HResult create(const QString& progId, QWidget** control) {
        return ControlCreator(registry, screen).create(progId, &host, control);
    }
    struct Run {
        int exitCode;
        QString out;
        QString err;
    };
    Run regsvr32(const QStringList& args, const QString& dataHome = {}) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", dataHome.isEmpty() ? dir.path() : dataHome);
        p.setProcessEnvironment(env);
        p.start(REGSVR32_PATH, args);
        p.waitForFinished(60000);
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }

    QTemporaryDir dir;
    ScopedDataHome home{dir.path()};
    FileRegistry registry{RegAccess::ReadWrite};
    const platform::ScreenMetrics screen;
    const bool appReady = (ensureApp(), true);
    QWidget host;
};

TEST_F(HostTest, GlyphonRegistersIsCreatedByProgIdAndUnregisters) {
    const QString path = QFileInfo(GLYPHON_PATH).canonicalFilePath();
    const QString cls = "CLSID\\" + kImageLabelClsid;
    const QString lib = "TypeLib\\" + kGlyphonLibId;
    registry.setValue(RegRoot::ClassesRoot, lib + "\\1.0", {}, RegValue::string("older"));
    registry.setValue(RegRoot::ClassesRoot, "CLSID\\{00000000-1111-2222-3333-444444444444}", {},
                      RegValue::string("someone else"));

    ASSERT_EQ(callEntry(GLYPHON_PATH, "DllRegisterServer"), S_OK);
    const std::pair<QString, QString> entries[] = {
        {cls + "\\InprocServer32", path},
        {cls + "\\ProgID", "Glyphon.ImageLabel"},
        {cls + "\\TypeLib", kGlyphonLibId},
        {cls + "\\Version", "4.0"},
        {cls + "\\ToolboxBitmap32", path + ", 30000"},
        {"Glyphon.ImageLabel\\CLSID", kImageLabelClsid},
        {lib + "\\4.0", "Glyphon"},
        {lib + "\\4.0\\409\\win64", path},
        {"Interface\\{BDEA91D6-09DE-454D-B8D1-9759FF7B4020}", "_ImageLabel"},
        {"Interface\\{5B34AAC3-1C6A-43A4-AF02-B2CD930F7AAF}", "__ImageLabel"},
    };
    for (const auto& [key, value] : entries)
        EXPECT_EQ(text(key), value) << key.toStdString();

    QWidget* control = nullptr;
    ASSERT_EQ(create("Glyphon.ImageLabel", &control), S_OK);
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->metaObject()->className(), "ImageLabel");
    EXPECT_EQ(control->parentWidget(), &host);

    // The host knows the control only by its names.
    QPixmap picture(100, 50);
    picture.fill(Qt::red);
    EXPECT_TRUE(control->setProperty("Picture", picture));
    EXPECT_TRUE(control->setProperty("AutoSize", true));
    EXPECT_EQ(control->size(), QSize(100, 50));
    EXPECT_TRUE(control->setProperty("BorderStyle", 1));
    EXPECT_EQ(control->property("BorderStyle"), QVariant(1));
    EXPECT_EQ(control->property("BackColor"), QVariant(0x8000000Fu));
    try { // a refused value is the caller's error, raised in the caller's code
        PropertyPut::write(*control, "BackColor", 0x80000063u);
        ADD_FAILURE() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.number(), 380);
    }
    // Through Qt's property system alone the refusal stays on the control,
    // and the next put through the host finds none left over.
    control->setProperty("BackColor", 0x80000063u);
    EXPECT_EQ(control->property("BackColor"), QVariant(0x8000000Fu));
    EXPECT_TRUE(PropertyPut::write(*control, "BackColor", 0x80000005u));
    EXPECT_EQ(control->property("BackColor"), QVariant(0x80000005u));
    EventSink sink;
    ASSERT_TRUE(QObject::connect(control, SIGNAL(MouseEnter(short&, short&, float&, float&)), &sink,
                                 SLOT(onMouseEnter(short&, short&, float&, float&))));
    ASSERT_TRUE(QObject::connect(control, SIGNAL(Click()), &sink, SLOT(onClick())));
    auto* back = control->findChild<QWidget*>("ImgBack");
    ASSERT_NE(back, nullptr);
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 20), QPointF(50, 20), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(back, &move);
    EXPECT_EQ(sink.enters, 1);

    QLibrary library(GLYPHON_PATH);
    ASSERT_TRUE(library.load());
    const auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(library.resolve("DllCanUnloadNow"));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_FALSE); // a control lives
    delete control;
    EXPECT_EQ(canUnload(), S_OK);

    ASSERT_EQ(callEntry(GLYPHON_PATH, "DllUnregisterServer"), S_OK);
    EXPECT_FALSE(exists(cls));
    EXPECT_FALSE(exists("Glyphon.ImageLabel"));
    EXPECT_FALSE(exists(lib + "\\4.0"));
    EXPECT_FALSE(exists("Interface\\{BDEA91D6-09DE-454D-B8D1-9759FF7B4020}"));
    EXPECT_FALSE(exists("Interface\\{5B34AAC3-1C6A-43A4-AF02-B2CD930F7AAF}"));
    EXPECT_EQ(text(lib + "\\1.0"), "older");
    EXPECT_EQ(text("CLSID\\{00000000-1111-2222-3333-444444444444}"), "someone else");

    control = nullptr;
    EXPECT_EQ(create("Glyphon.ImageLabel", &control), CO_E_CLASSSTRING);
    EXPECT_EQ(control, nullptr);
}

// A library has no services of its own: it registers in the registry its host
// hands it, and its controls measure the host's screen.
TEST_F(HostTest, LibraryWorksWithItsHostsServicesOnly) {
    QLibrary library(GLYPHON_PATH);
    ASSERT_TRUE(library.load());
    ASSERT_EQ(setServerHost(library, {}), S_OK);
    const auto registerServer =
        reinterpret_cast<DllRegisterServerFn>(library.resolve("DllRegisterServer"));
    ASSERT_NE(registerServer, nullptr);
    EXPECT_EQ(registerServer(), CO_E_NOTINITIALIZED);
    EXPECT_FALSE(exists("CLSID"));
    const auto get = reinterpret_cast<DllGetClassObjectFn>(library.resolve("DllGetClassObject"));
    const Guid cls = Guid::fromUuid(QUuid(kImageLabelClsid));
    const Guid factoryIid = Guid::fromUuid(IID_IClassFactory);
    void* object = nullptr;
    ASSERT_EQ(get(&cls, &factoryIid, &object), S_OK);
    auto* factory = static_cast<IClassFactory*>(object);
    QWidget* control = &host;
    EXPECT_EQ(factory->createInstance(&host, &control), CO_E_NOTINITIALIZED);
    EXPECT_EQ(control, nullptr);
    factory->release();

    ASSERT_EQ(callEntry(GLYPHON_PATH, "DllRegisterServer"), S_OK);
    const FakeScreenMetrics coarse(12);
    ASSERT_EQ(ControlCreator(registry, coarse).create("Glyphon.ImageLabel", &host, &control), S_OK);
    std::unique_ptr<QWidget> owned(control);
    control->resize(100, 50);
    EventSink sink;
    ASSERT_TRUE(QObject::connect(control, SIGNAL(MouseEnter(short&, short&, float&, float&)), &sink,
                                 SLOT(onMouseEnter(short&, short&, float&, float&))));
    auto* back = control->findChild<QWidget*>("ImgBack");
    ASSERT_NE(back, nullptr);
    const QPointF pos = QPointF(10, 5) + back->contentsRect().topLeft();
    QMouseEvent move(QEvent::MouseMove, pos, pos, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(back, &move);
    ASSERT_EQ(sink.enters, 1);
    EXPECT_EQ(sink.at, QPointF(120, 60)) << "twips of the host's 12-twip pixels";
}

TEST_F(HostTest, CreationFailsWithTheReasonsCode) {
    const auto point = [this](const QString& progId, const QString& clsid, const QString& path) {
        registry.setValue(RegRoot::ClassesRoot, progId + "\\CLSID", {}, RegValue::string(clsid));
        if (!path.isNull())
            registry.setValue(RegRoot::ClassesRoot, "CLSID\\" + clsid + "\\InprocServer32", {},
                              RegValue::string(path));
    };
    point("No.Class", "{10000000-0000-0000-0000-000000000001}", QString());
    point("No.File", "{10000000-0000-0000-0000-000000000002}", dir.path() + "/missing.ocx");
    point("No.Entry", "{10000000-0000-0000-0000-000000000003}", PLAIN_PATH);
    point("Wrong.Class", "{10000000-0000-0000-0000-000000000004}", GLYPHON_PATH);
    point("Bad.Guid", "not a guid", QString());
    const std::pair<const char*, HResult> cases[] = {
        {"Unknown.Thing", CO_E_CLASSSTRING},
        {"", CO_E_CLASSSTRING},
        {"Bad.Guid", CO_E_CLASSSTRING},
        {"No.Class", REGDB_E_CLASSNOTREG},
        {"No.File", CO_E_DLLNOTFOUND},
        {"No.Entry", CO_E_ERRORINDLL},
        {"Wrong.Class", CLASS_E_CLASSNOTAVAILABLE},
    };
    for (const auto& [progId, expected] : cases) {
        QWidget* control = nullptr;
        EXPECT_EQ(create(progId, &control), expected) << progId;
        EXPECT_EQ(control, nullptr);
    }
}

TEST_F(HostTest, ClassObjectAnswersOnlyForItsClassAndInterfaces) {
    QLibrary library(GLYPHON_PATH);
    ASSERT_TRUE(library.load());
    const auto get = reinterpret_cast<DllGetClassObjectFn>(library.resolve("DllGetClassObject"));
    ASSERT_NE(get, nullptr);
    const Guid cls = Guid::fromUuid(QUuid(kImageLabelClsid));
    const Guid factoryIid = Guid::fromUuid(IID_IClassFactory);
    const Guid otherIid = Guid::fromUuid(QUuid("{BDEA91D6-09DE-454D-B8D1-9759FF7B4020}"));
    const Guid otherCls = Guid::fromUuid(QUuid("{2B539B0B-8955-4C0C-B023-96D0EFFFF445}"));
    void* object = nullptr;
    EXPECT_EQ(get(&otherCls, &factoryIid, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(get(&cls, &otherIid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    ASSERT_EQ(get(&cls, &factoryIid, &object), S_OK);
    auto* factory = static_cast<IClassFactory*>(object);
    factory->lockServer(true);
    factory->release();
    const auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(library.resolve("DllCanUnloadNow"));
    EXPECT_EQ(canUnload(), S_FALSE); // locked
    ASSERT_EQ(get(&cls, &factoryIid, &object), S_OK);
    static_cast<IClassFactory*>(object)->lockServer(false);
    static_cast<IClassFactory*>(object)->release();
    EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(HostTest, FitformRegisteredByTheToolResizesAFormByName) {
    const Run reg = regsvr32({FITFORM_PATH});
    ASSERT_EQ(reg.exitCode, 0) << reg.err.toStdString();
    EXPECT_TRUE(reg.out.contains("DllRegisterServer in")) << reg.out.toStdString();
    EXPECT_EQ(text("Fit_form.Fitform\\CLSID"), "{2B539B0B-8955-4C0C-B023-96D0EFFFF445}");
    EXPECT_EQ(text("TypeLib\\{018E5405-D603-4A36-B9A7-E1552FBB3AE0}\\9.0"), "Fit_form");

    QWidget* control = nullptr;
    ASSERT_EQ(create("Fit_form.Fitform", &control), S_OK);
    EXPECT_STREQ(control->metaObject()->className(), "Fitform");

    QWidget form;
    form.resize(400, 300);
    auto* button = new QPushButton("OK", &form);
    button->setObjectName("cmdOK");
    button->setGeometry(100, 50, 200, 60);
    // Designed on this screen (the host's), so the first call keeps everything.
    control->setProperty("TwipsPerPixelX", screen.twipsPerPixelX());
    control->setProperty("TwipsPerPixelY", screen.twipsPerPixelY());
    control->setProperty("FormScaleWidth", qRound(400 * screen.twipsPerPixelX()));
    control->setProperty("FormScaleHeight", qRound(300 * screen.twipsPerPixelY()));
    try { // a value that is no number is refused, and the one set stays
        PropertyPut::write(*control, "TwipsPerPixelX", QStringLiteral("wide"));
        ADD_FAILURE() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.number(), 13);
    }
    EXPECT_EQ(control->property("TwipsPerPixelX").toInt(), qRound(screen.twipsPerPixelX()));
    ASSERT_TRUE(QMetaObject::invokeMethod(control, "Resize", Q_ARG(QWidget*, &form)));
    EXPECT_EQ(button->geometry(), QRect(100, 50, 200, 60));
    form.resize(800, 300);
    ASSERT_TRUE(QMetaObject::invokeMethod(control, "Resize", Q_ARG(QWidget*, &form)));
    EXPECT_EQ(button->geometry(), QRect(200, 50, 400, 60));
    delete control;

    const Run unreg = regsvr32({"/u", "/s", FITFORM_PATH});
    EXPECT_EQ(unreg.exitCode, 0);
    EXPECT_TRUE(unreg.out.isEmpty() && unreg.err.isEmpty());
    EXPECT_FALSE(exists("CLSID\\{2B539B0B-8955-4C0C-B023-96D0EFFFF445}"));
    control = nullptr;
    EXPECT_EQ(create("Fit_form.Fitform", &control), CO_E_CLASSSTRING);
}

TEST_F(HostTest, RegistrationToolReportsFailuresWithItsExitCodes) {
    EXPECT_EQ(regsvr32({}).exitCode, 1);
    EXPECT_EQ(regsvr32({"/x", GLYPHON_PATH}).exitCode, 1);
    const Run notLibrary = regsvr32({dir.path() + "/none.ocx"});
    EXPECT_EQ(notLibrary.exitCode, 3);
    EXPECT_TRUE(notLibrary.err.contains("LoadLibrary")) << notLibrary.err.toStdString();
    EXPECT_EQ(regsvr32({"/s", PLAIN_PATH}).exitCode, 4);
    EXPECT_FALSE(exists("CLSID"));

    // A registry that cannot be written: the per-user folder's place is a file.
    QFile blocker(dir.path() + "/blocked");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Run refused = regsvr32({GLYPHON_PATH}, blocker.fileName());
    EXPECT_EQ(refused.exitCode, 5);
    EXPECT_TRUE(refused.err.contains("0x80040201")) << refused.err.toStdString();

    const Run notRegistered = regsvr32({"/u", GLYPHON_PATH}); // nothing to remove is no error
    EXPECT_EQ(notRegistered.exitCode, 0) << notRegistered.err.toStdString();
}

TEST_F(HostTest, DesignerPluginOffersImageLabelWithItsToolboxPicture) {
    QPluginLoader loader(DESIGNER_PATH);
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
    ASSERT_NE(plugin, nullptr) << loader.errorString().toStdString();
    EXPECT_EQ(plugin->name(), "ImageLabel");
    EXPECT_EQ(plugin->includeFile(), "ImageLabel.h");
    EXPECT_TRUE(plugin->domXml().contains("class=\"ImageLabel\""));
    EXPECT_EQ(plugin->icon().availableSizes(), QList<QSize>{QSize(16, 15)});
    std::unique_ptr<QWidget> widget(plugin->createWidget(&host));
    ASSERT_NE(widget, nullptr);
    EXPECT_STREQ(widget->metaObject()->className(), "ImageLabel");
}

} // namespace

#include "HostTest.moc"

#include "designer/ImageLabelPlugin.h"

#include "ImageLabel.h"
#include "screen/ScreenMetrics.h"

#include <QIcon>
#include <QPixmap>
#include <memory>

ImageLabelPlugin::ImageLabelPlugin(QObject* parent) : QObject(parent) {}

QString ImageLabelPlugin::name() const {
    return "ImageLabel";
}

QString ImageLabelPlugin::group() const {
    return "Glyphon";
}

QString ImageLabelPlugin::toolTip() const {
    return "ImageLabel";
}

QString ImageLabelPlugin::whatsThis() const {
    return "A picture that acts as a button and reports the pointer entering and leaving it.";
}

QString ImageLabelPlugin::includeFile() const {
    return "ImageLabel.h";
}

QIcon ImageLabelPlugin::icon() const {
    return QIcon(QPixmap::fromImage(ImageLabel::toolboxBitmap()));
}

bool ImageLabelPlugin::isContainer() const {
    return false;
}

QWidget* ImageLabelPlugin::createWidget(QWidget* parent) {
    // Designer is the host here: the controls it shows measure the real screen.
    return new ImageLabel(parent, std::make_shared<platform::ScreenMetrics>());
}

void ImageLabelPlugin::initialize(QDesignerFormEditorInterface*) {
    m_initialized = true;
}

QString ImageLabelPlugin::domXml() const {
    return "<ui language=\"c++\">\n"
           " <widget class=\"ImageLabel\" name=\"imageLabel\">\n"
           "  <property name=\"geometry\"><rect><x>0</x><y>0</y>"
           "<width>32</width><height>32</height></rect></property>\n"
           " </widget>\n"
           "</ui>\n";
}

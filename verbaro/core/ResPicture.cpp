#include "core/ResPicture.h"

#include <QDir>
#include <QHash>

static void initPictureResources() {
    // The pictures are compiled into a static library, whose resources must
    // be registered by hand.
    Q_INIT_RESOURCE(pictures);
}

namespace {

const QString kFolder = QStringLiteral(":/verbaro/pictures");

// Upper-case name -> resource path, read once from the resources.
const QHash<QString, QString>& pictureTable() {
    static const QHash<QString, QString> table = [] {
        initPictureResources();
        QHash<QString, QString> names;
        const QDir folder(kFolder);
        for (const QString& file : folder.entryList({"*.png"}, QDir::Files))
            names.insert(file.chopped(4).toUpper(), folder.filePath(file));
        return names;
    }();
    return table;
}

} // namespace

QPixmap LoadResPicture(const QString& name, QString* error) {
    const QString path = pictureTable().value(name.trimmed().toUpper());
    QPixmap picture;
    if (!path.isEmpty())
        picture.load(path);
    if (picture.isNull() && error)
        *error = QStringLiteral("没有名为“%1”的图片资源").arg(name);
    return picture;
}

QStringList ResPictureNames() {
    QStringList names = pictureTable().keys();
    names.sort();
    return names;
}

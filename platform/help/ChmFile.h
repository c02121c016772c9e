#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct chmFile;

namespace platform {

// A compiled HTML help file (".chm") read with chmlib. Object paths are the
// file's own: absolute, "/" separated ("/pages/start.htm"); "\" and a missing
// leading "/" are accepted as help projects write them. chmlib matches names
// without regard to case, as the Windows viewer does.
//
// chmlib trusts what a file says of itself, so the file's headers and its
// compression parameters are checked before chmlib relies on them: a file
// with implausible headers does not open, and the compressed objects of one
// with broken compression parameters cannot be read.
class ChmFile {
public:
    // The open file, or nullptr when the path cannot be read as a help file.
    static std::unique_ptr<ChmFile> open(const QString& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    QString path() const { return m_path; }

    // The path in the file's own form ("/a/b.htm").
    static QString objectPath(const QString& path);

    bool contains(const QString& objectPath) const;
    // The object's bytes; nothing when it is missing or cannot be read.
    std::optional<QByteArray> read(const QString& objectPath) const;
    // The content objects (pages, pictures, ...), in the file's directory order.
    QStringList objects() const;

    // The page shown first: the project's default topic, else "/index.htm(l)"
    // or "/default.htm(l)", else the first page of the topic list, else the
    // first page in the file. Empty when the file holds no page.
    QString defaultTopic() const { return m_defaultTopic; }
    // The project's title; empty when it has none.
    QString title() const { return m_title; }
    // The iconv name of the code page of the file's language.
    QByteArray codePage() const { return m_codePage; }

private:
    struct Closer {
        void operator()(chmFile* file) const;
    };

    ChmFile(chmFile* file, QString path);
    void readSystem();
    QString findDefaultTopic(const QString& declared) const;
    QString firstTopicListPage() const;
    QString firstPage() const;
    bool isExistingPage(const QString& objectPath) const;

    std::unique_ptr<chmFile, Closer> m_file;
    QString m_path;
    QString m_defaultTopic;
    QString m_title;
    QByteArray m_codePage = "CP1252";
    bool m_compressedReadable = false;
};

} // namespace platform

#pragma once

#include "FakePlatform.h"
#include "TForm1.h"
#include "registry/IRegistry.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <iconv.h>

#include <memory>

// A launcher folder in a temporary directory and a launcher window on fakes.
class LauncherFixture : public ::testing::Test {
protected:
    static inline const QString UninstallKey =
        QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                       "{E3672521-0E79-11D7-AE39-001047510C04}");
    static inline const QString AppPathsKey =
        QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Verbaro.exe");

    QString appDir() const { return m_appDir.path() + QLatin1Char('/'); }

    TForm1& window() {
        if (!m_window)
            m_window = std::make_unique<TForm1>(fake.platform, appDir(),
                                                [this](const QString& m) { moviesShown << m; });
        return *m_window;
    }

    void destroyWindow() { m_window.reset(); }

    void TearDown() override {
        m_window.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    void writeFile(const QString& relative, const QByteArray& bytes) {
        const QString path = appDir() + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Text in code page 936, as the launcher's INI files hold it.
    static QByteArray gbk(const QString& text) {
        QByteArray in = text.toUtf8();
        QByteArray out(in.size() * 2 + 16, '\0');
        iconv_t cd = iconv_open("GBK", "UTF-8");
        char* src = in.data();
        char* dst = out.data();
        size_t left = static_cast<size_t>(in.size()), room = static_cast<size_t>(out.size());
        iconv(cd, &src, &left, &dst, &room);
        iconv_close(cd);
        out.truncate(out.size() - static_cast<qsizetype>(room));
        return out;
    }

    FakePlatform fake;
    QStringList moviesShown;

private:
    QTemporaryDir m_appDir;
    std::unique_ptr<TForm1> m_window;
};

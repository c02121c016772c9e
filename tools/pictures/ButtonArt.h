#pragma once

#include <QImage>
#include <QString>

#include <vector>

// The main program's button pictures, drawn with Qt: text buttons (normal
// and pointer-over with red text), the stop face, the lesson arrows and the
// exit door. Names are stored in upper case, as the program's resources
// hold them.
class ButtonArt {
public:
    enum class Kind { Text, UpArrow, DownArrow, Door };
    struct Picture {
        QString name;
        Kind kind;
        QString text;
        bool hover; // the -2 picture: red text, lit
        QSize size;
    };

    // Every picture the program names.
    static std::vector<Picture> catalogue();
    static QImage draw(const Picture& picture);
    // False when the Chinese font is missing (the texts would not show).
    static bool fontAvailable(QString* family);
};

#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>

// The program's button pictures, compiled into its resources and found by
// name without regard to case ("readall-2", "READALL-2" and "ReadAll-2" are
// the same picture). Names end in -1 (normal) and -2 (pointer over), e.g.
// "readall-1", "0-2-qingjing", "1-1-lang", "help-2", "0-1-sel",
// "3-2-main"; "stop" is the face of a running mode's button.
//
// An unknown name gives a null pixmap; `error` (when given) then says which
// name was missing.
QPixmap LoadResPicture(const QString& name, QString* error = nullptr);

// Every picture name the resources hold, in upper case as stored.
QStringList ResPictureNames();

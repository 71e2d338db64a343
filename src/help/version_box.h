#pragma once

#include <QDialog>

// "frmver": the program's title, its version and the maker's brand, shown modally over the
// menu and centred on it.
class VersionBox final : public QDialog
{
    Q_OBJECT
public:
    VersionBox(const QString& courseTitle, QWidget* menu);

    // "Version" and major.minor.revision of the build, without a blank: "Version1.1.0".
    static QString versionText();
};

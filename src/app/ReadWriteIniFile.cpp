#include "ReadWriteIniFile.h"
#include "platform/FileSystem.h"
#include "platform/ErrorText.h"
#include "platform/IniFile.h"
#include "Dialogs.h"

#include <QSet>

QString ReadIniValue(const QString &section, const QString &key, const QString &file, const QString &defaultValue)
{
    bool overlong = false;
    const QString value = IniFile::read(section, key, defaultValue, file, 254, &overlong);
    // Said once a run: a line longer than any setting is passed over.
    static bool told = false;
    if (!told && overlong) {
        told = true;
        Dialogs::message(QStringLiteral("Tapeweld's settings file\r\n") + file
                             + QStringLiteral("\r\nholds a line longer than any setting can be (%1 bytes); Tapeweld passes over it.").arg(IniFile::kMaxLineBytes),
                         Dialogs::Icon::Exclamation);
    }
    return value;
}

bool WriteIniValue(const QString &section, const QString &key, const QString &value, const QString &file)
{
    FileSystem::makeWritable(file);
    const Result written = IniFile::write(section, key, value, file);
    if (written.ok())
        return true;
    const QString error = written.why();
    // Said once per file and reason in a run: a full disk fails every write that follows.
    static QSet<QString> told;
    const QString what = file + u'\n' + error;
    if (!told.contains(what)) {
        told.insert(what);
        Dialogs::message(QStringLiteral("Tapeweld could not save its settings to\r\n") + file + QStringLiteral("\r\n\r\n")
                             + ErrorText::sentence(error) + QStringLiteral("\r\nThe file was left as it was."),
                         Dialogs::Icon::Exclamation);
    }
    return false;
}

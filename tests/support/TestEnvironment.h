#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private XDG_CONFIG_HOME and per-user folder for one test, so no test
// touches a real home. Restores everything on destruction.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();
    QString root() const { return m_dir.path(); }
    QString configHome() const { return m_dir.path() + QStringLiteral("/config"); }
    QString settingsPath() const { return configHome() + QStringLiteral("/Larkvane/Tapeweld"); }
    QString settingsFile() const { return settingsPath() + QStringLiteral("/Settings.ini"); }
    QString path(const QString &relative) const { return m_dir.path() + u'/' + relative; }
    // Creates a file with content; returns its path.
    QString write(const QString &relative, const QByteArray &content) const;
    // Names that are no regular file, each ending in suffix where it can: a FIFO
    // nobody writes to, /dev/zero and a folder. Empty if the FIFO cannot be made.
    QStringList notRegularFiles(const QString &suffix) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig;
    bool m_hadConfig;
};

QByteArray readAll(const QString &path);

// Waits until no process of this machine has text in its command line (a path
// of the test's own folder), for at most ms; true when none has. Reads /proc only.
bool noProcessMentions(const QString &text, int ms);

// Readable failure output for QString values in GoogleTest assertions.
#include <ostream>
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

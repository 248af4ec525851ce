#include "PathRules.h"

QString PathRules::scriptProblem(const QString &path)
{
    if (path.contains(u'"'))
        return QStringLiteral("a double quote");
    if (path.contains(u'\r') || path.contains(u'\n'))
        return QStringLiteral("a line break");
    if (path.contains(QChar(0)))
        return QStringLiteral("a NUL character");
    if (path.contains(QChar(0xFFFD)))
        return QStringLiteral("bytes that are not valid UTF-8 text");
    return QString();
}

QString PathRules::listProblem(const QString &path)
{
    if (path.contains(u'|'))
        return QStringLiteral("a \"|\"");
    return scriptProblem(path);
}

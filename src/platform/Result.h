#pragma once
#include <QString>

// What a step that can fail gives back: success, or why it failed in a
// user's words. It must be looked at.
class [[nodiscard]] Result
{
public:
    Result() = default; // success
    static Result failure(const QString &why) { return Result(why.isEmpty() ? QStringLiteral("the reason is not known") : why); }
    bool ok() const { return m_why.isEmpty(); }
    const QString &why() const { return m_why; }

private:
    explicit Result(const QString &why) : m_why(why) {}
    QString m_why;
};

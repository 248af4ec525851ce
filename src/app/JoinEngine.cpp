#include "JoinEngine.h"
#include "Settings.h"

QString JoinEngines::nameOf(JoinEngine engine)
{
    return engine == JoinEngine::Builtin ? QStringLiteral("Builtin") : QStringLiteral("Encoder");
}

JoinEngine JoinEngines::fromName(const QString &name)
{
    return name.trimmed().compare(QStringLiteral("Builtin"), Qt::CaseInsensitive) == 0 ? JoinEngine::Builtin : JoinEngine::Encoder;
}

JoinEngine JoinEngines::configured() { return fromName(Settings::read(SettingsKeys::kJoinEngine)); }

void JoinEngines::configure(JoinEngine engine) { Settings::write(SettingsKeys::kJoinEngine, nameOf(engine)); }

#include "Engines.h"
#include "app/Settings.h"

// Each engine's file defines its accessor; one line each here registers it.
namespace EngineList {
const Engine &encoder();
const Engine &writer();
} // namespace EngineList

const QVector<const Engine *> &Engines::all()
{
    static const QVector<const Engine *> engines{&EngineList::encoder(), &EngineList::writer()};
    return engines;
}

const Engine *Engines::byOption(const QString &name)
{
    for (const Engine *e : all())
        if (e->optionName().compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return e;
    return nullptr;
}

const Engine &Engines::byName(const QString &name)
{
    for (const Engine *e : all())
        if (e->settingName().compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return *e;
    return *all().first();
}

const Engine &Engines::configured() { return byName(Settings::read(SettingsKeys::kJoinEngine)); }

const Engine *Engines::otherThat(const Engine &chosen, const std::function<bool(const Engine &)> &fits)
{
    for (const Engine *e : all())
        if (e != &chosen && fits(*e))
            return e;
    return nullptr;
}

const Engine *Engines::keepingKeyFrames(const Engine &chosen)
{
    return otherThat(chosen, [](const Engine &e) { return e.carriage().keepsKeyFrames; });
}

Dialogs::Answer Engines::ask(const QString &question, const Engine *offered)
{
    return offered ? Dialogs::question(question, offered->offerText(), QStringLiteral("--engine ") + offered->optionName())
                   : Dialogs::message(question, Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo);
}

void Engines::configure(const Engine &engine) { Settings::write(SettingsKeys::kJoinEngine, engine.settingName()); }

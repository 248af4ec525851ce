#pragma once
#include "Engine.h"
#include "app/Dialogs.h"

#include <QVector>
#include <functional>

// Every engine Tapeweld knows, in the order Preferences offers them; the first is the default.
namespace Engines {
const QVector<const Engine *> &all();
// By its setting name, in any case; the default for a name no engine has.
const Engine &byName(const QString &name);
// By its option name; null for a name no engine has.
const Engine *byOption(const QString &name);
// The one [Join] Engine chooses.
const Engine &configured();
void configure(const Engine &engine);
// The first engine other than chosen for which fits holds (one that would ask nothing, say); null when none.
const Engine *otherThat(const Engine &chosen, const std::function<bool(const Engine &)> &fits);
// Another engine that tells the key frames of every codec it reads; null when none.
const Engine *keepingKeyFrames(const Engine &chosen);
// Asks a question that names a harm: Yes, No (the default) and, when another
// engine would carry it all, a third choice naming that engine (Answer::Other).
Dialogs::Answer ask(const QString &question, const Engine *offered);
} // namespace Engines

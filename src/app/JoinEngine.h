#pragma once
#include <QString>

// Who writes a join's output: the encoder, run by the scripts (stream copy; it
// keeps one sound track and no text stream and files chunks by stream number),
// or Tapeweld's own writer (every stream kept, chunks filed by kind, sound and
// picture padded in step, no intermediate file).
enum class JoinEngine { Encoder, Builtin };

namespace JoinEngines {
// [Join] Engine of Settings.ini: "Builtin", or the encoder for anything else.
JoinEngine configured();
void configure(JoinEngine engine);
// The value Settings.ini holds; fromName gives the encoder for a name it does not know.
QString nameOf(JoinEngine engine);
JoinEngine fromName(const QString &name);
} // namespace JoinEngines

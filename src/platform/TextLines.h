#pragma once
#include <QByteArray>
#include <QList>

// Splits text into lines: CR LF, LF and a CR alone each end a line, so files
// from any system read alike and no CR is left inside a line. A run of CRs
// before an LF (CR CR LF, from a file converted twice) is one line end.
namespace TextLines {
QList<QByteArray> split(const QByteArray &data);
}

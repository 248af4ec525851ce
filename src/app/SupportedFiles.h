#pragma once
#include <QString>

// The files the program offers to add and to repair.
namespace SupportedFiles {
inline const QString kPattern = QStringLiteral("*.avi;*.divx;*.xvid");
inline const QString kFilter = QStringLiteral("All Supported Files (*.avi;*.divx;*.xvid)|*.avi;*.divx;*.xvid|All Files|*.*");
} // namespace SupportedFiles

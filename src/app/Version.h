#pragma once
#include <QString>

namespace Version {
// From the build (project(VERSION ...) in CMakeLists.txt), the one place a version is written.
inline constexpr int kMajor = TW_VERSION_MAJOR;
inline constexpr int kMinor = TW_VERSION_MINOR;
inline const QString kTitle = QStringLiteral("Tapeweld");
inline const QString kWebAddress = QStringLiteral("https://tapeweld.larkvane.example");
// As the window and the update address show it: "1.5".
inline QString text() { return QString::number(kMajor) + u'.' + QString::number(kMinor); }
// Every part of it, as the package, the metainfo and --version give it: "1.5.0.40".
inline QString full() { return QStringLiteral(TW_VERSION_FULL); }
inline QString updateAddress()
{
    return kWebAddress + QStringLiteral("/Content/TPW/?page=update&version=") + text();
}
} // namespace Version

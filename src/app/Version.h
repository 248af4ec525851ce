#pragma once
#include <QString>

namespace Version {
inline constexpr int kMajor = 1;
inline constexpr int kMinor = 5;
inline const QString kTitle = QStringLiteral("Tapeweld");
inline const QString kWebAddress = QStringLiteral("https://tapeweld.larkvane.example");
inline QString text() { return QString::number(kMajor) + u'.' + QString::number(kMinor); }
inline QString updateAddress()
{
    return kWebAddress + QStringLiteral("/Content/TPW/?page=update&version=") + text();
}
} // namespace Version

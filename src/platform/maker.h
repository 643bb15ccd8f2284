#pragma once
// The maker's addresses and credit line, shown in captions, log lines and about windows of
// both programs.
#include <QString>

namespace Maker {
inline const QString WebAddress = QStringLiteral("www.kelvane.example");
inline const QString ShopAddress = QStringLiteral("shop.kelvane.example");
inline const QString Email = QStringLiteral("support@kelvane.example");
inline const QString Credit = QStringLiteral("Kelvane 开发组");
}  // namespace Maker

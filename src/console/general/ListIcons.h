#pragma once

#include <QString>

namespace console {

// Names of the list icons; the icon resources carry the same names.
namespace ListIcons {
inline const QString Attachment = QStringLiteral("Attachment");
inline const QString Notes = QStringLiteral("Notes");
inline const QString OrderProduct = QStringLiteral("Order_product");
inline const QString OrderWorks = QStringLiteral("Order_works");
inline const QString New = QStringLiteral("New");
inline const QString Client = QStringLiteral("Client");
inline const QString GreenSq = QStringLiteral("GreenSq");
inline const QString RedSq = QStringLiteral("RedSq");
inline const QString YellowSq = QStringLiteral("YellowSq");
inline const QString Mouse = QStringLiteral("Mouse");
inline const QString TagOne = QStringLiteral("TagOne");
} // namespace ListIcons

} // namespace console

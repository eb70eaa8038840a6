// The one table of the program's screens: each one's name, how it is built, and what its
// requests make the navigator do.
#pragma once

#include <QString>

class Navigator;

namespace screenName {

inline const QString splash = QStringLiteral("frmSplash");
inline const QString topics = QStringLiteral("frmStart");
inline const QString help = QStringLiteral("frmHelp");
inline const QString about = QStringLiteral("frmAbout");
// The question screen of node n (1 to 16): frmAmPrm1 to frmAmPrm16.
QString node(int n);

} // namespace screenName

void registerScreens(Navigator &navigator);

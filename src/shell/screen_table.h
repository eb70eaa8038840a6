// The one table of the program's screens: each one's name, how it is built, and what its
// requests make the navigator do.
#pragma once

#include <QString>

class Navigator;

namespace screenName {

inline const QString kSplash = QStringLiteral("frmSplash");
inline const QString kTopics = QStringLiteral("frmStart");
inline const QString kHelp = QStringLiteral("frmHelp");
inline const QString kAbout = QStringLiteral("frmAbout");
// The question screen of node n (1 to 16): frmAmPrm1 to frmAmPrm16.
QString node(int n);

} // namespace screenName

void registerScreens(Navigator &navigator);

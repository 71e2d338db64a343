#pragma once

#include <QStringView>

// The form names of the screens, by which the registry finds them.
namespace formname {

inline constexpr QStringView kMenu = u"namesel";
inline constexpr QStringView kNameChange = u"FrmName2";
inline constexpr QStringView kBoard = u"seisekitime1";
inline constexpr QStringView kDrill = u"mainfrm";
inline constexpr QStringView kWait = u"BASEFRM";
inline constexpr QStringView kEndScreen = u"FrmSyuuryou";
inline constexpr QStringView kPracticeEnd = u"FrmRenshuu";
inline constexpr QStringView kHelpBrowser = u"frmBrowser";

} // namespace formname

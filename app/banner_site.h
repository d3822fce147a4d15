// The site the banner's browser control sees: the control host's own, with the ambient
// download control answered in front of it, so that the banner page runs no script and
// starts no control, applet or frame in the administrator's process.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <mshtmdid.h>

namespace brenvik {

// What the banner's browser may download and run: pictures only; no script, applet, control,
// behaviour or frame, and no reload or move by a refresh header. No offline, silent or
// download-only flag, which would keep the page's pictures away.
constexpr LONG kBannerDownloadControl = DLCTL_DLIMAGES | DLCTL_NO_SCRIPTS | DLCTL_NO_JAVA |
                                        DLCTL_NO_DLACTIVEXCTLS | DLCTL_NO_RUNACTIVEXCTLS |
                                        DLCTL_NO_BEHAVIORS | DLCTL_NO_FRAMEDOWNLOAD |
                                        DLCTL_NOFRAMES | DLCTL_NO_CLIENTPULL;

// Puts the guarded site in front of the control's current client site and tells the control
// that the ambient download control changed. False when the control has no site, or did not
// take the new one: the page must then not be loaded.
bool GuardBannerSite(IOleObject* control);

}  // namespace brenvik

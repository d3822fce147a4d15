// The maker's host names, fixed when the program is built (CMake cache variables).
#pragma once

namespace brenvik {

// Host name of the maker's web site: resolved by the connectivity check, shown and opened by
// the about box.
constexpr char WebSiteHost[] = BRENVIK_WEB_SITE_HOST;

// Page shown in the banner, served by the maker's download host over https (the configure
// step refuses any other address, and the banner loads only what IsBannerNavigationAllowed
// allows against it).
constexpr char BannerPageUrl[] = BRENVIK_BANNER_PAGE_URL;

}  // namespace brenvik

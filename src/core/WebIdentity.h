#pragma once

// How the app presents itself to the platforms: the desktop browser it speaks as (the Instagram and
// Facebook sources, the login page, the hidden Facebook page and the downloader all send it) and
// the Instagram web client's application identifier.

#include <QString>

namespace WebIdentity {

inline QString desktopUserAgent()
{
    return QStringLiteral("Mozilla/5.0 (Macintosh; Intel Mac OS X 14_6) AppleWebKit/605.1.15 "
                          "(KHTML, like Gecko) Version/17.6 Safari/605.1.15");
}

inline QString instagramAppID()
{
    return QStringLiteral("417305928164253");
}

} // namespace WebIdentity

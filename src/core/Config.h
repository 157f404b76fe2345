#pragma once

// Every remote origin the app talks to, in one place. Production values are the defaults; each can
// be overridden through a CLIPDOCK_... environment variable, which is how tests and the local
// platform simulator point the whole app at servers on 127.0.0.1.

#include <QList>
#include <QString>
#include <QUrl>

struct Config
{
    QUrl instagramOrigin;        // CLIPDOCK_INSTAGRAM_ORIGIN
    QUrl facebookOrigin;         // CLIPDOCK_FACEBOOK_ORIGIN
    QUrl placeholderImageOrigin; // CLIPDOCK_PLACEHOLDER_ORIGIN
    QList<QUrl> sampleVideoOrigins; // three hosts; CLIPDOCK_SAMPLE_MEDIA_ORIGIN replaces all three
    QUrl updateOrigin;           // CLIPDOCK_UPDATE_ORIGIN

    // Host fragments that mark the platforms' content-delivery addresses inside Facebook pages.
    QString facebookVideoCdnMarker; // CLIPDOCK_FB_VIDEO_CDN_MARKER
    QString instagramCdnMarker;     // CLIPDOCK_IG_CDN_MARKER
    QString imageCdnPrefix;         // CLIPDOCK_IMAGE_CDN_PREFIX

    // The hidden Facebook page's waits; only tests shorten them.
    int facebookSettleMs = 3000;    // CLIPDOCK_FB_SETTLE_MS
    int facebookScrollMs = 1800;    // CLIPDOCK_FB_SCROLL_MS
    // A download fails once no data has arrived for this long; only tests shorten it.
    int downloadTimeoutMs = 60'000; // CLIPDOCK_DOWNLOAD_TIMEOUT_MS
    // How long a walk through the reels pages waits after each refusal in a row of the platform's
    // rate limit before it asks for the page again, when the platform does not say; once the list
    // runs out the walk ends. CLIPDOCK_RATE_LIMIT_WAITS_MS, as "30000,60000,120000".
    QList<int> rateLimitWaitsMs{ 30'000, 60'000, 120'000 };

    static Config defaults();
    static Config fromEnvironment();

    // The configuration in force. Read from the environment on first use.
    static const Config &current();
    // Re-reads the environment; for tests that start their servers before pointing the app at them.
    static void reload();

    // The seeded placeholder-image base: origin + "/seed/".
    QString placeholderImageBase() const;
    QUrl updateManifestURL() const;

    // The registrable domain of an origin (its last two labels), or the whole host for an IP
    // address or a single-label host. Cookies whose domain contains it belong to that platform.
    static QString cookieDomainKey(const QUrl &origin);
};

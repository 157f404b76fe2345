// Reads a loaded Facebook page: every MP4 address and every image address in its text, the
// sources of its video elements, and its title.
//
// HiddenWebExtractor runs this inside a block that first binds `extractionMarkers` to the
// configured host fragments: { facebookVideoCdn, instagramCdn, imageCdnPrefix }. The value of the
// last expression is the result: { videos, thumbs, title, htmlLength }.
(function (markers) {
    'use strict';

    const escapeRegExp = (text) => String(text).replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
    const unique = (items) => Array.from(new Set(items));
    const allMatches = (text, pattern) => text.match(pattern) || [];

    const html = document.documentElement ? document.documentElement.outerHTML : '';
    // Undo the escaping of addresses inside the JSON the page embeds, and the "&amp;" that
    // addresses in the page's own text and attributes carry for "&": kept, it would become part
    // of the address's query and spoil it.
    const normalized = html.split('\\/').join('/')
        .split('\\u0026').join('&')
        .split('\\u002F').join('/')
        .split('&amp;').join('&');

    // Anything but whitespace, quotes, the backslash and angle brackets.
    const allowed = '[^\\s"\'\\\\<>]';
    const query = '(?:\\?' + allowed + '*)?';
    const cdn = '(?:' + escapeRegExp(markers.facebookVideoCdn) + '|'
        + escapeRegExp(markers.instagramCdn) + ')';

    // An address ends at the first ".mp4" after the CDN marker, plus its query.
    let found = allMatches(normalized, new RegExp(
        'https://' + allowed + '*?' + cdn + allowed + '*?\\.mp4' + query, 'gi'));
    if (found.length === 0)
        found = allMatches(normalized, new RegExp('https://' + allowed + '+?\\.mp4' + query, 'gi'));

    // Only addresses another client can fetch: a blob: or data: source lives inside this page.
    const elementSources = Array.from(document.querySelectorAll('video'))
        .map((video) => video.currentSrc || video.src || '')
        .filter((source) => /^https?:/i.test(source));

    const thumbs = allMatches(normalized, new RegExp(
        'https://' + escapeRegExp(markers.imageCdnPrefix) + allowed
            + '*?\\.(?:jpg|jpeg|webp|png)' + query, 'gi'));

    const title = (document.title || '').replace(/\s*[|-]\s*facebook[\s\S]*$/i, '').trim();

    return {
        videos: unique(found.concat(elementSources)),
        thumbs: unique(thumbs),
        title: title,
        htmlLength: normalized.length,
    };
})(extractionMarkers);

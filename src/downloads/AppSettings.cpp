#include "downloads/AppSettings.h"

#include <QSettings>

#include <algorithm>

AppSettings::AppSettings(QObject *parent) : QObject(parent)
{
    const int stored = QSettings().value(concurrencyKey, 0).toInt();
    m_maxConcurrentDownloads = stored < minimumConcurrency ? defaultConcurrency : stored;
    m_skipSavedReels = QSettings().value(skipSavedKey, false).toBool();
}

void AppSettings::setMaxConcurrentDownloads(int value)
{
    const int clamped = std::clamp(value, minimumConcurrency, maximumConcurrency);
    QSettings().setValue(concurrencyKey, clamped);
    if (clamped == m_maxConcurrentDownloads)
        return;
    m_maxConcurrentDownloads = clamped;
    Q_EMIT maxConcurrentDownloadsChanged();
}

void AppSettings::overrideMaxConcurrentDownloads(int value)
{
    const int clamped = std::clamp(value, minimumConcurrency, maximumConcurrency);
    if (clamped == m_maxConcurrentDownloads)
        return;
    m_maxConcurrentDownloads = clamped;
    Q_EMIT maxConcurrentDownloadsChanged();
}

void AppSettings::setSkipSavedReels(bool skip)
{
    QSettings().setValue(skipSavedKey, skip);
    overrideSkipSavedReels(skip);
}

void AppSettings::overrideSkipSavedReels(bool skip)
{
    if (skip == m_skipSavedReels)
        return;
    m_skipSavedReels = skip;
    Q_EMIT skipSavedReelsChanged();
}

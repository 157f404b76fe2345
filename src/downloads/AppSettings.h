#pragma once

#include <QObject>
#include <QtQmlIntegration>

// How many downloads may run at once (1 to 10, default 3) and whether a reel whose file is
// already in the download folder is left alone (default no), kept in the settings store.
class AppSettings : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the application")
    Q_PROPERTY(int maxConcurrentDownloads READ maxConcurrentDownloads WRITE setMaxConcurrentDownloads NOTIFY maxConcurrentDownloadsChanged)
    Q_PROPERTY(bool skipSavedReels READ skipSavedReels WRITE setSkipSavedReels NOTIFY skipSavedReelsChanged)

public:
    static inline const QString concurrencyKey = QStringLiteral("maxConcurrentDownloads");
    static inline const QString skipSavedKey = QStringLiteral("skipSavedReels");
    static constexpr int minimumConcurrency = 1;
    static constexpr int maximumConcurrency = 10;
    static constexpr int defaultConcurrency = 3;

    // Starts from the stored value; a missing or non-positive one starts at 3. A stored value
    // above 10 is taken as it is until the next assignment clamps it.
    explicit AppSettings(QObject *parent = nullptr);

    int maxConcurrentDownloads() const { return m_maxConcurrentDownloads; }
    // Clamps to 1...10 and stores the result, also when it is unchanged.
    void setMaxConcurrentDownloads(int value);
    // Clamps to 1...10 for the life of this object only; the stored value stays (the command
    // line's --jobs).
    void overrideMaxConcurrentDownloads(int value);

    bool skipSavedReels() const { return m_skipSavedReels; }
    // Stores the choice.
    void setSkipSavedReels(bool skip);
    // For the life of this object only (the command line skips unless told --overwrite).
    void overrideSkipSavedReels(bool skip);

Q_SIGNALS:
    void maxConcurrentDownloadsChanged();
    void skipSavedReelsChanged();

private:
    int m_maxConcurrentDownloads = defaultConcurrency;
    bool m_skipSavedReels = false;
};

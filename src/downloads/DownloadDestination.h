#pragma once

#include <QByteArray>
#include <QDir>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QtQmlIntegration>

#include <optional>

// The folder finished downloads go to. Until the user picks one it is their Downloads folder; the
// pick is remembered in the settings store under "downloadFolderBookmark" (on Linux the folder's
// absolute path, which is all a later run needs to write there again).
class DownloadDestination : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the application")
    Q_PROPERTY(QUrl folderURL READ folderURL NOTIFY folderURLChanged)
    Q_PROPERTY(QString displayPath READ displayPath NOTIFY folderURLChanged)

public:
    static inline const QString defaultsKey = QStringLiteral("downloadFolderBookmark");

    explicit DownloadDestination(QObject *parent = nullptr);

    QUrl folderURL() const { return m_folderURL; }
    QString folderPath() const { return m_folderURL.toLocalFile(); }
    // The folder's path with the home directory shown as "~".
    QString displayPath() const { return displayPath(folderPath()); }
    static QString displayPath(const QString &path);

    // Takes the folder the user confirmed in the folder chooser and remembers it. False, with
    // nothing changed, when it is not an existing local folder.
    Q_INVOKABLE bool adoptFolder(const QUrl &folder);
    // Takes an existing local folder for the life of this object only; the remembered folder
    // stays (the command line's --dir). False, with nothing changed, for anything else.
    bool useFolderForThisRun(const QString &path);

    // Runs `operation` with the folder it may write into: the remembered folder when it still
    // resolves, otherwise the folder in use. Returns what `operation` returns.
    template <typename Operation>
    auto withAccess(Operation &&operation) const
    {
        return operation(accessibleFolder());
    }

    // The user's Downloads folder, or their Documents folder when there is none.
    static QString defaultFolder();

Q_SIGNALS:
    void folderURLChanged();

private:
    static std::optional<QString> resolveBookmark(const QByteArray &bookmark);
    QString accessibleFolder() const;

    QUrl m_folderURL;
    std::optional<QByteArray> m_bookmarkData;
};

#pragma once

// Lets the user pick the download folder. The desktop's own folder dialog is used where there is
// one: the desktop portal's, else the one the platform theme offers; otherwise the app's own
// folder view (FolderPickerView), which this object drives. Each opens at the folder in use.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <QWindow>
#include <QtQmlIntegration>

class DownloadDestination;

class FolderChooser : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(DownloadDestination *destination READ destination WRITE setDestination NOTIFY destinationChanged REQUIRED)
    // A Qt.labs.platform FolderDialog: it shows only where the platform theme has a native one.
    Q_PROPERTY(QObject *platformDialog READ platformDialog WRITE setPlatformDialog NOTIFY platformDialogChanged)
    // The window the desktop's dialog belongs to.
    Q_PROPERTY(QWindow *window MEMBER m_window NOTIFY windowChanged)
    // From open() until the folder is taken or the choice is given up, whichever dialog shows.
    Q_PROPERTY(bool choosing READ choosing NOTIFY choosingChanged)
    // The app's own folder view is showing.
    Q_PROPERTY(bool browsing READ browsing NOTIFY browsingChanged)
    // The folder the app's own view shows, and would take.
    Q_PROPERTY(QUrl folder READ folder NOTIFY folderChanged)
    Q_PROPERTY(QString displayPath READ displayPath NOTIFY folderChanged)
    Q_PROPERTY(bool canGoUp READ canGoUp NOTIFY folderChanged)
    // Why the last step failed; empty after one that worked.
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)

public:
    explicit FolderChooser(QObject *parent = nullptr);
    ~FolderChooser() override;

    DownloadDestination *destination() const { return m_destination; }
    void setDestination(DownloadDestination *destination);
    QObject *platformDialog() const { return m_platformDialog; }
    void setPlatformDialog(QObject *dialog);

    bool choosing() const { return m_choosing; }
    bool browsing() const { return m_browsing; }
    QUrl folder() const { return m_folder; }
    QString displayPath() const;
    bool canGoUp() const;
    QString message() const { return m_message; }

    // Shows a folder dialog at the folder in use, or at its nearest existing parent.
    Q_INVOKABLE void open();

    // The app's own view: moves to another folder, or to the parent of the one shown.
    Q_INVOKABLE void enter(const QUrl &folder);
    Q_INVOKABLE void goUp();
    // Makes a folder of that name in the one shown and moves into it. False, with the reason in
    // `message`, when it cannot.
    Q_INVOKABLE bool createFolder(const QString &name);
    // Takes the folder shown and closes the view; stays open, saying why, if it cannot.
    Q_INVOKABLE void useFolder();
    Q_INVOKABLE void cancel();

Q_SIGNALS:
    void destinationChanged();
    void platformDialogChanged();
    void windowChanged();
    void choosingChanged();
    void browsingChanged();
    void folderChanged();
    void messageChanged();

private Q_SLOTS:
    void portalResponse(uint response, const QVariantMap &results);
    void platformAccepted();
    void platformRejected();

private:
    bool askPortal();
    void openPortalDialog();
    void stopListeningToPortal();
    QString portalParentWindow() const;
    void openPlatformOrOwnDialog();
    void take(const QUrl &folder);
    void finish();
    void setChoosing(bool choosing);
    void setBrowsing(bool browsing);
    void setFolder(const QString &path);
    void setMessage(const QString &message);

    QPointer<DownloadDestination> m_destination;
    QPointer<QObject> m_platformDialog;
    QPointer<QWindow> m_window;
    bool m_choosing = false;
    bool m_browsing = false;
    QString m_start;    // where the dialog opens
    QUrl m_folder;
    QString m_message;
    QString m_request;  // the portal's pending request, while its dialog shows
};

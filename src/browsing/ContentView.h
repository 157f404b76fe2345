#pragma once

#include "auth/PlatformAuth.h"
#include "browsing/ReelsViewModel.h"
#include "downloads/AppSettings.h"
#include "downloads/DownloadDestination.h"
#include "downloads/DownloadManager.h"
#include "updates/UpdateService.h"

#include <QObject>
#include <QPointer>
#include <QtQmlIntegration>

class BatchNotifier;
class QQmlApplicationEngine;
class QQuickWindow;

// The root of the window: creates and owns every long-lived object, hands them to the screens,
// and decides when the update sheet shows.
class ContentView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Created by the application")
    Q_PROPERTY(UpdateService *updateService READ updateService CONSTANT)
    Q_PROPERTY(bool showingUpdateSheet READ showingUpdateSheet WRITE setShowingUpdateSheet NOTIFY showingUpdateSheetChanged)
    Q_PROPERTY(PlatformAuth *instagramAuth READ instagramAuth CONSTANT)
    Q_PROPERTY(PlatformAuth *facebookAuth READ facebookAuth CONSTANT)
    Q_PROPERTY(DownloadDestination *destination READ destination CONSTANT)
    Q_PROPERTY(AppSettings *settings READ settings CONSTANT)
    Q_PROPERTY(ReelsViewModel *viewModel READ viewModel CONSTANT)
    Q_PROPERTY(DownloadManager *downloadManager READ downloadManager CONSTANT)
    Q_PROPERTY(QString appVersion READ appVersion CONSTANT)

public:
    explicit ContentView(QObject *parent = nullptr);
    ~ContentView() override;

    UpdateService *updateService() const { return m_updateService; }
    bool showingUpdateSheet() const { return m_showingUpdateSheet; }
    void setShowingUpdateSheet(bool on);
    PlatformAuth *instagramAuth() const { return m_instagramAuth; }
    PlatformAuth *facebookAuth() const { return m_facebookAuth; }
    DownloadDestination *destination() const { return m_destination; }
    AppSettings *settings() const { return m_settings; }
    ReelsViewModel *viewModel() const { return m_viewModel; }
    DownloadManager *downloadManager() const { return m_downloadManager; }
    QString appVersion() const;

    // Runs once the window is first shown: the silent update check. From then on every change of
    // the update state to "available" shows the update sheet.
    Q_INVOKABLE void start();

    // Builds the main window over this root in `engine` and starts; false when the window could
    // not be built. Closing the window quits the application; the transfers end with the root.
    // From then on, a batch of downloads that ends while the application is not in front is
    // told by a desktop notification.
    bool openWindow(QQmlApplicationEngine &engine);

    // A link from outside the window (the command line, another start of the program): brings
    // the window to the front and searches `text` unless it is empty, as if typed and searched.
    // The player and the download options, which belong to the profile being replaced, close
    // when no other sheet is open; every other sheet stays, and so does the download queue.
    // `activationToken` is the desktop's token for the start that asked, which lets the window
    // come to the front where the desktop requires one.
    void openFromOutside(const QString &text, const QString &activationToken = {});

signals:
    void showingUpdateSheetChanged();

private:
    UpdateService *m_updateService;
    bool m_showingUpdateSheet = false;
    PlatformAuth *m_instagramAuth;
    PlatformAuth *m_facebookAuth;
    DownloadDestination *m_destination;
    AppSettings *m_settings;
    ReelsViewModel *m_viewModel;
    DownloadManager *m_downloadManager;
    bool m_started = false;
    QPointer<QQuickWindow> m_window;
    BatchNotifier *m_batchNotifier = nullptr;
};

#include "browsing/ContentView.h"

#include "updates/AppVersion.h"

#include <QQmlApplicationEngine>

// Created in this order: the update service, both sign-in states (Instagram first), the
// destination, the settings, the view model, the download manager.
ContentView::ContentView(QObject *parent)
    : QObject(parent),
      m_updateService(new UpdateService(this)),
      m_instagramAuth(new PlatformAuth(SocialPlatform::instagram, nullptr, this)),
      m_facebookAuth(new PlatformAuth(SocialPlatform::facebook, nullptr, this)),
      m_destination(new DownloadDestination(this)),
      m_settings(new AppSettings(this)),
      m_viewModel(new ReelsViewModel(m_instagramAuth, m_facebookAuth, this)),
      m_downloadManager(new DownloadManager(m_destination, m_settings, this))
{
}

ContentView::~ContentView() = default;

QString ContentView::appVersion() const
{
    return AppVersion::current();
}

void ContentView::setShowingUpdateSheet(bool on)
{
    if (m_showingUpdateSheet == on)
        return;
    m_showingUpdateSheet = on;
    emit showingUpdateSheetChanged();
}

void ContentView::start()
{
    if (m_started)
        return;
    m_started = true;
    // The state held when the window first shows does not open the sheet; a change to
    // "available" does, whether from this check or a later one started in the settings.
    connect(m_updateService, &UpdateService::stateChanged, this, [this] {
        if (m_updateService->state().kind() == UpdateState::Kind::available)
            setShowingUpdateSheet(true);
    });
    m_updateService->check(true);
}

bool ContentView::openWindow(QQmlApplicationEngine &engine)
{
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    engine.setInitialProperties({ { QStringLiteral("root"), QVariant::fromValue(this) } });
    engine.load(QUrl(QStringLiteral("qrc:/qt/qml/ClipDock/browsing/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return false;
    start();
    return true;
}

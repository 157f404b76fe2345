#include "browsing/ContentView.h"

#include "downloads/BatchNotifier.h"
#include "updates/AppVersion.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>

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
    m_window = qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
    if (!m_batchNotifier)
        m_batchNotifier = new BatchNotifier(m_downloadManager, m_destination, this);
    start();
    return true;
}

void ContentView::openFromOutside(const QString &text, const QString &activationToken)
{
    if (!text.trimmed().isEmpty()) {
        // The player and the download options belong to the profile being replaced. They close
        // only when nothing else is open: a sheet may stand over them (the login sheet over the
        // player, say), and a sheet whose parent closed under it could no longer be closed.
        const bool othersOpen = m_viewModel->showingLogin() || m_viewModel->showingSettings()
                || m_viewModel->showingCustomDateRange() || m_showingUpdateSheet
                || m_downloadManager->isPresented();
        if (!othersOpen) {
            m_viewModel->closePlayer();
            m_viewModel->setShowingQualitySheet(false);
        }
        m_viewModel->setInputText(text.trimmed());
        m_viewModel->search();
    }
    if (!m_window)
        return;
    m_window->setWindowStates(m_window->windowStates() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    // Newer releases of Qt's Wayland client activate with the token they find here (and take it
    // away); elsewhere the window manager alone decides whether the window takes the focus.
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
    // A sheet in front blocks the window; it is the one to take the keyboard.
    QWindow *front = QGuiApplication::modalWindow();
    QWindow *active = front && front->isVisible() ? front : m_window.data();
    if (active != m_window)
        active->raise();
    active->requestActivate();
}

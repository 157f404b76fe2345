#include "browsing/ContentView.h"

#include "downloads/AppSettings.h"
#include "downloads/DownloadDestination.h"
#include "updates/AppVersion.h"
#include "updates/UpdateService.h"

ContentView::ContentView(QObject *parent)
    : QObject(parent),
      m_updateService(new UpdateService(this)),
      m_destination(new DownloadDestination(this)),
      m_settings(new AppSettings(this))
{
}

ContentView::~ContentView() = default;

QString ContentView::appVersion() const
{
    return AppVersion::current();
}

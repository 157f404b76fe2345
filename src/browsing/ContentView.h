#pragma once

#include "downloads/AppSettings.h"
#include "downloads/DownloadDestination.h"
#include "updates/UpdateService.h"

#include <QObject>
#include <QtQmlIntegration>

// Creates and owns every long-lived object of the window and hands them to the screens.
class ContentView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Created by the application")
    Q_PROPERTY(UpdateService *updateService READ updateService CONSTANT)
    Q_PROPERTY(DownloadDestination *destination READ destination CONSTANT)
    Q_PROPERTY(AppSettings *settings READ settings CONSTANT)
    Q_PROPERTY(QString appVersion READ appVersion CONSTANT)

public:
    explicit ContentView(QObject *parent = nullptr);
    ~ContentView() override;

    UpdateService *updateService() const { return m_updateService; }
    DownloadDestination *destination() const { return m_destination; }
    AppSettings *settings() const { return m_settings; }
    QString appVersion() const;

private:
    UpdateService *m_updateService;
    DownloadDestination *m_destination;
    AppSettings *m_settings;
};

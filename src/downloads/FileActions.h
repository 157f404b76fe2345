#pragma once

// What the download sheet asks of the desktop: open a saved file with its application, show it
// selected in the file manager, open the download folder. Only local files and folders that exist
// are handed on; anything else is refused.

#include <QObject>
#include <QString>
#include <QUrl>
#include <QtQmlIntegration>

class FileActions : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // The name of the action that shows a file in the desktop's file manager.
    Q_PROPERTY(QString revealLabel READ revealLabel CONSTANT)

public:
    explicit FileActions(QObject *parent = nullptr);

    static QString revealLabel();

    // Opens an existing local file with its default application.
    Q_INVOKABLE static bool open(const QUrl &file);
    // Shows an existing local file selected in the file manager. Asks the desktop's file manager
    // over the session bus; where nobody answers there, opens the folder that holds the file.
    // The answer comes later, so true only means the request went out.
    Q_INVOKABLE static bool reveal(const QUrl &file);
    // Opens an existing local folder in the file manager.
    Q_INVOKABLE static bool openFolder(const QUrl &folder);
};

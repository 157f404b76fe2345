#pragma once

// What the download sheet asks of the desktop: open a saved file with its application, show it
// selected in the file manager, open the download folder. Only local files that exist are handed
// on; anything else is refused. The download folder is made when it is missing.

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
    // Opens a local folder in the file manager, making it first when it does not exist. Empty
    // when the folder was handed on, otherwise why it could not be: not a local folder, a file
    // in its place, or the system's reason it could not be made.
    Q_INVOKABLE static QString openFolder(const QUrl &folder);
};

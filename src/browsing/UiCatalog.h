#pragma once

// What the screens look up rather than know: the glyph that draws each named symbol, the
// platforms' names, symbols and login pages, the clipboard's text, and whether an address may be
// handed to the desktop's URL opener.

#include "updates/UpdateService.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWindow>
#include <QtQmlIntegration>

class UiCatalog : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // Every symbol name the screens use, sorted.
    Q_PROPERTY(QStringList symbolNames READ symbolNames CONSTANT)

public:
    explicit UiCatalog(QObject *parent = nullptr);

    // The icon font's character for a symbol name; empty for a name it does not know.
    Q_INVOKABLE static QString glyph(const QString &symbolName);
    static QStringList symbolNames();

    // By the platform's raw value ("instagram", "facebook"); empty for anything else.
    Q_INVOKABLE static QString platformSymbol(const QString &platform);
    Q_INVOKABLE static QUrl loginURL(const QString &platform);

    // The plain text on the clipboard, as it is; empty when there is none.
    Q_INVOKABLE static QString clipboardText();

    // The kind of an update state by its name: "idle", "checking", "upToDate", "available" or
    // "failed". (QML cannot name the enumeration of a value type.)
    Q_INVOKABLE static QString updateKind(const UpdateState &state);

    // Only plain web addresses go to the desktop's URL opener.
    Q_INVOKABLE static bool canOpenExternally(const QUrl &url);

    // The modal window shown last and still shown, which a sheet opening now goes over; null
    // when there is none.
    Q_INVOKABLE static QWindow *frontModalWindow();
};


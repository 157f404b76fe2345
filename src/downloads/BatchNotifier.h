#pragma once

// A word from the desktop when a batch of downloads ends while the user is elsewhere. A batch
// runs from the moment the queue has work until nothing is queued or running any more; if by
// then no window of the application is active, the desktop's notification service
// (org.freedesktop.Notifications on the session bus) shows what became of that batch's items:
// "12 reels saved to ~/Downloads", "10 saved, 2 failed". Items the user cancelled or stopped
// count for neither side, and a batch of nothing else says nothing. Where the service offers
// actions, one opens the download folder. Without a session bus or a service nothing happens,
// and nothing ever waits for the bus's answers.

#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>

class DownloadDestination;
class DownloadManager;

class BatchNotifier : public QObject
{
    Q_OBJECT

public:
    static inline const QString openFolderAction = QStringLiteral("open-folder");

    BatchNotifier(DownloadManager *manager, DownloadDestination *destination,
                  QObject *parent = nullptr);

    // What a batch that saved `saved` reels and failed `failed` is told as; empty for nothing.
    static QString message(int saved, int failed, const QString &folder);

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &action);
    void onNotificationClosed(uint id, uint reason);

private:
    enum class Outcome { running, saved, failed, stopped };

    void follow();
    void notify(int saved, int failed);
    // Asks the service to show `text`, with the action that opens `folder` unless it is empty.
    void show(const QString &text, const QUrl &folder);

    DownloadManager *m_manager;
    DownloadDestination *m_destination;
    // The items of the batch under way, by item id, and what became of each so far. An item
    // keeps its outcome when it is cleared from the list before the batch ends.
    QHash<QString, Outcome> m_batch;
    // The folder each shown notification's action opens, by notification id.
    QHash<uint, QUrl> m_folders;
    bool m_listening = false;
};

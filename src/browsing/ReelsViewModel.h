#pragma once

// The state behind the browsing flow: the search text, the phase of the current fetch, the
// fetched profile and its reels, the selection, the layout, the quality and date filters, and the
// flags that open the sheets. It owns the profile source and the one fetch that may be running.

#include "auth/PlatformAuth.h"
#include "browsing/ReelListModel.h"
#include "core/Async.h"
#include "core/DateRangeFilter.h"
#include "core/InstagramProfile.h"
#include "core/Reel.h"
#include "core/SocialPlatform.h"
#include "core/VideoQuality.h"
#include "sources/ProfileServiceType.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QSet>
#include <QVariantList>
#include <QtQmlIntegration>

#include <functional>
#include <optional>

class QTimer;

class ReelsViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Created by the application")

    Q_PROPERTY(QString inputText READ inputText WRITE setInputText NOTIFY inputTextChanged)
    Q_PROPERTY(Phase phase READ phase NOTIFY phaseChanged)
    // The message of the error phase; empty in every other phase.
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY phaseChanged)
    Q_PROPERTY(bool hasProfile READ hasProfile NOTIFY profileChanged)
    Q_PROPERTY(InstagramProfile profile READ profileOrEmpty NOTIFY profileChanged)
    Q_PROPERTY(int reelCount READ reelCount NOTIFY reelsChanged)
    // Every reel received so far, as rows that are appended while pages arrive.
    Q_PROPERTY(ReelListModel *reelModel READ reelModel CONSTANT)
    // The reels the browsing date filter lets through, as rows of their own.
    Q_PROPERTY(ReelListModel *filteredModel READ filteredModel CONSTANT)
    // Which step the running fetch is on, as its source tells it; empty when it tells none.
    Q_PROPERTY(QString loadingStep READ loadingStep NOTIFY loadingStepChanged)
    // While the fetch waits before it goes on by itself (the platform asked it to slow down): the
    // whole seconds left, at least 1; loadingStep then says so, counting down. 0 otherwise.
    Q_PROPERTY(int waitSecondsLeft READ waitSecondsLeft NOTIFY waitSecondsLeftChanged)
    Q_PROPERTY(bool isLoadingMore READ isLoadingMore NOTIFY isLoadingMoreChanged)
    // Why no more reels came after some were shown; the reels stay. Empty otherwise.
    Q_PROPERTY(QString loadingMoreError READ loadingMoreError NOTIFY loadingMoreErrorChanged)
    Q_PROPERTY(bool isSelectionMode READ isSelectionMode WRITE setSelectionMode NOTIFY isSelectionModeChanged)
    Q_PROPERTY(QStringList selectedIDs READ selectedIDList NOTIFY selectedIDsChanged)
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY selectedIDsChanged)
    Q_PROPERTY(LayoutMode layout READ layout WRITE setLayout NOTIFY layoutChanged)
    Q_PROPERTY(int gridColumns READ gridColumns WRITE setGridColumns NOTIFY gridColumnsChanged)
    // Raw values: "1080p", "720p", "480p", "Audio only".
    Q_PROPERTY(QString selectedQuality READ selectedQualityName WRITE setSelectedQualityName NOTIFY selectedQualityChanged)
    Q_PROPERTY(DateRangeFilter dateFilter READ dateFilter WRITE setDateFilter NOTIFY dateFilterChanged)
    Q_PROPERTY(DateRangeFilter downloadDateFilter READ downloadDateFilter WRITE setDownloadDateFilter NOTIFY downloadDateFilterChanged)
    Q_PROPERTY(bool hasPlayingReel READ hasPlayingReel NOTIFY playingReelChanged)
    Q_PROPERTY(Reel playingReel READ playingReelOrEmpty NOTIFY playingReelChanged)
    Q_PROPERTY(bool showingQualitySheet READ showingQualitySheet WRITE setShowingQualitySheet NOTIFY showingQualitySheetChanged)
    Q_PROPERTY(bool showingSettings READ showingSettings WRITE setShowingSettings NOTIFY showingSettingsChanged)
    Q_PROPERTY(bool showingLogin READ showingLogin WRITE setShowingLogin NOTIFY showingLoginChanged)
    Q_PROPERTY(bool showingCustomDateRange READ showingCustomDateRange WRITE setShowingCustomDateRange NOTIFY showingCustomDateRangeChanged)
    Q_PROPERTY(QDateTime customRangeStart READ customRangeStart WRITE setCustomRangeStart NOTIFY customRangeStartChanged)
    Q_PROPERTY(QDateTime customRangeEnd READ customRangeEnd WRITE setCustomRangeEnd NOTIFY customRangeEndChanged)
    Q_PROPERTY(PlatformAuth *instagramAuth READ instagramAuth CONSTANT)
    Q_PROPERTY(PlatformAuth *facebookAuth READ facebookAuth CONSTANT)
    // Raw values: "instagram", "facebook".
    Q_PROPERTY(QString loginTarget READ loginTargetName WRITE setLoginTargetName NOTIFY loginTargetChanged)
    Q_PROPERTY(QString primaryActionLabel READ primaryActionLabel NOTIFY selectedIDsChanged)
    Q_PROPERTY(int downloadCount READ downloadCount NOTIFY downloadCountChanged)

public:
    enum class Phase { Empty, Loading, Loaded, Error };
    Q_ENUM(Phase)
    enum class LayoutMode { Grid, List };
    Q_ENUM(LayoutMode)

    // Builds the multi-platform source from the two sign-in states.
    ReelsViewModel(PlatformAuth *instagramAuth, PlatformAuth *facebookAuth,
                   QObject *parent = nullptr);
    // Uses `service` instead (tests); the model does not own it.
    ReelsViewModel(PlatformAuth *instagramAuth, PlatformAuth *facebookAuth,
                   ProfileServiceType *service, QObject *parent = nullptr);
    ~ReelsViewModel() override;

    // The wall clock the date filters read; tests set their own.
    using Clock = std::function<QDateTime()>;
    void setClock(Clock clock);

    QString inputText() const { return m_inputText; }
    void setInputText(const QString &text);
    Phase phase() const { return m_phase; }
    QString errorMessage() const { return m_errorMessage; }
    const std::optional<InstagramProfile> &profile() const { return m_profile; }
    bool hasProfile() const { return m_profile.has_value(); }
    InstagramProfile profileOrEmpty() const { return m_profile.value_or(InstagramProfile{}); }
    const QList<Reel> &reels() const { return m_reels; }
    int reelCount() const { return int(m_reels.size()); }
    ReelListModel *reelModel() const { return m_reelModel; }
    ReelListModel *filteredModel() const { return m_filteredModel; }
    QString loadingStep() const { return m_loadingStep; }
    int waitSecondsLeft() const { return m_waitSecondsLeft; }
    bool isLoadingMore() const { return m_isLoadingMore; }
    QString loadingMoreError() const { return m_loadingMoreError; }
    bool isSelectionMode() const { return m_isSelectionMode; }
    void setSelectionMode(bool on);
    const QSet<QString> &selectedIDs() const { return m_selectedIDs; }
    QStringList selectedIDList() const;
    int selectedCount() const { return int(m_selectedIDs.size()); }
    Q_INVOKABLE bool isSelected(const QString &id) const { return m_selectedIDs.contains(id); }
    LayoutMode layout() const { return m_layout; }
    void setLayout(LayoutMode layout);
    int gridColumns() const { return m_gridColumns; }
    void setGridColumns(int columns);
    VideoQuality selectedQuality() const { return m_selectedQuality; }
    void setSelectedQuality(VideoQuality quality);
    QString selectedQualityName() const;
    void setSelectedQualityName(const QString &raw);
    DateRangeFilter dateFilter() const { return m_dateFilter; }
    void setDateFilter(const DateRangeFilter &filter);
    DateRangeFilter downloadDateFilter() const { return m_downloadDateFilter; }
    void setDownloadDateFilter(const DateRangeFilter &filter);
    const std::optional<Reel> &playingReel() const { return m_playingReel; }
    bool hasPlayingReel() const { return m_playingReel.has_value(); }
    Reel playingReelOrEmpty() const { return m_playingReel.value_or(Reel{}); }
    void setPlayingReel(const std::optional<Reel> &reel);
    bool showingQualitySheet() const { return m_showingQualitySheet; }
    void setShowingQualitySheet(bool on);
    bool showingSettings() const { return m_showingSettings; }
    void setShowingSettings(bool on);
    bool showingLogin() const { return m_showingLogin; }
    void setShowingLogin(bool on);
    bool showingCustomDateRange() const { return m_showingCustomDateRange; }
    void setShowingCustomDateRange(bool on);
    QDateTime customRangeStart() const { return m_customRangeStart; }
    void setCustomRangeStart(const QDateTime &start);
    QDateTime customRangeEnd() const { return m_customRangeEnd; }
    void setCustomRangeEnd(const QDateTime &end);
    PlatformAuth *instagramAuth() const { return m_instagramAuth; }
    PlatformAuth *facebookAuth() const { return m_facebookAuth; }
    SocialPlatform loginTarget() const { return m_loginTarget; }
    void setLoginTarget(SocialPlatform platform);
    QString loginTargetName() const;
    void setLoginTargetName(const QString &raw);

    QList<Reel> filteredReels() const;
    QList<Reel> reelsToDownload() const;
    int downloadCount() const;
    QString primaryActionLabel() const;

    Q_INVOKABLE void search();
    Q_INVOKABLE void reset();
    // Ends the fetch while it waits: the reels received stay, loading ends, and no error shows.
    Q_INVOKABLE void stopWaiting();
    Q_INVOKABLE void toggleSelection(const QString &id);
    Q_INVOKABLE void toggleSelectionMode();
    Q_INVOKABLE void clearSelection();
    Q_INVOKABLE void selectAll();
    // Everything selected becomes nothing selected; anything less becomes every loaded reel.
    Q_INVOKABLE void toggleSelectAll();
    // reelsToDownload() for QML, as Reel values.
    Q_INVOKABLE QVariantList reelsToDownloadList() const;

    // QML helpers for the menus and sheets.
    Q_INVOKABLE void setDateFilterKind(DateRangeFilter::Kind kind);
    Q_INVOKABLE void setDownloadDateFilterKind(DateRangeFilter::Kind kind);
    // Sets the browsing (or download) filter to the working custom range.
    Q_INVOKABLE void applyCustomRange(bool forDownload);
    Q_INVOKABLE void play(const QString &id);
    Q_INVOKABLE void closePlayer() { setPlayingReel(std::nullopt); }
    Q_INVOKABLE void openLogin(const QString &platform);

signals:
    void inputTextChanged();
    void phaseChanged();
    void profileChanged();
    void reelsChanged();
    void loadingStepChanged();
    void waitSecondsLeftChanged();
    void isLoadingMoreChanged();
    void loadingMoreErrorChanged();
    void isSelectionModeChanged();
    void selectedIDsChanged();
    void layoutChanged();
    void gridColumnsChanged();
    void selectedQualityChanged();
    void dateFilterChanged();
    void downloadDateFilterChanged();
    void playingReelChanged();
    void showingQualitySheetChanged();
    void showingSettingsChanged();
    void showingLoginChanged();
    void showingCustomDateRangeChanged();
    void customRangeStartChanged();
    void customRangeEndChanged();
    void loginTargetChanged();
    void downloadCountChanged();

private:
    void setPhase(Phase phase, const QString &message = {});
    void setProfile(const std::optional<InstagramProfile> &profile);
    void setReels(const QList<Reel> &reels);
    void setStep(const FetchStep &step);
    void showStep();
    void setLoadingStep(const QString &step);
    void setWaitSecondsLeft(int seconds);
    void setLoadingMore(bool on);
    void setLoadingMoreError(const QString &message);
    void setSelectedIDs(const QSet<QString> &ids);
    void refilter();
    void scheduleClockCheck();

    PlatformAuth *m_instagramAuth;
    PlatformAuth *m_facebookAuth;
    ProfileServiceType *m_service;
    std::optional<Cancellation> m_fetchTask;

    QString m_inputText;
    Phase m_phase = Phase::Empty;
    QString m_errorMessage;
    std::optional<InstagramProfile> m_profile;
    QList<Reel> m_reels;
    ReelListModel *m_reelModel;
    ReelListModel *m_filteredModel;
    QString m_loadingStep;
    int m_waitSecondsLeft = 0;
    bool m_isLoadingMore = false;
    QString m_loadingMoreError;
    Clock m_clock = &QDateTime::currentDateTime;
    // Fires when the date filters' answer may next change, to apply them again.
    QTimer *m_clockCheck;
    // The step the running fetch last told, and while it waits, when the wait ends; the words
    // shown count down once a second.
    FetchStep m_step;
    QDeadlineTimer m_waitEnd;
    QTimer *m_waitTick;
    bool m_isSelectionMode = false;
    QSet<QString> m_selectedIDs;
    LayoutMode m_layout = LayoutMode::Grid;
    int m_gridColumns = 2;
    VideoQuality m_selectedQuality = VideoQuality::hd720;
    DateRangeFilter m_dateFilter;
    DateRangeFilter m_downloadDateFilter;
    std::optional<Reel> m_playingReel;
    bool m_showingQualitySheet = false;
    bool m_showingSettings = false;
    bool m_showingLogin = false;
    bool m_showingCustomDateRange = false;
    QDateTime m_customRangeStart;
    QDateTime m_customRangeEnd;
    SocialPlatform m_loginTarget = SocialPlatform::instagram;
};

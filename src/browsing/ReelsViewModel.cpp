#include "browsing/ReelsViewModel.h"

#include "core/WebIdentity.h"
#include "sources/MultiPlatformService.h"
#include "sources/RealFacebookService.h"
#include "sources/RealInstagramService.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace {

// The longest the filters go without a look at the clock. A timer counts elapsed time, not the
// wall clock: after the clock is set, the time zone changes or the machine sleeps, the filters
// catch up within this.
constexpr qint64 longestClockWaitMs = 60 * 60 * 1000;

// The first instant after `now` at which `filter` may answer differently for one of `reels`, or
// none when its answers do not change with time.
std::optional<QDateTime> nextChange(const DateRangeFilter &filter, const QList<Reel> &reels,
                                    const QDateTime &now)
{
    using Kind = DateRangeFilter::Kind;
    int days = 0;
    switch (filter.kind()) {
    case Kind::all:
    case Kind::custom:
        return std::nullopt;
    case Kind::today:
    case Kind::thisYear:
        return now.toLocalTime().date().addDays(1).startOfDay();
    case Kind::last7:
        days = 7;
        break;
    case Kind::last30:
        days = 30;
        break;
    case Kind::last90:
        days = 90;
        break;
    }
    // "Last N days" counts whole days from the reel's own time of day: a reel leaves when its
    // day N + 1 begins, at the hour it was posted, not at midnight.
    std::optional<QDateTime> first;
    for (const Reel &reel : reels) {
        const QDateTime leaves = reel.postedAt.toLocalTime().addDays(days + 1);
        if (leaves > now && (!first || leaves < *first))
            first = leaves;
    }
    return first;
}

// Assigns and reports whether the value changed, so setters notify only on change.
template <typename T>
bool assign(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

ReelsViewModel::ReelsViewModel(PlatformAuth *instagramAuth, PlatformAuth *facebookAuth,
                               QObject *parent)
    : ReelsViewModel(instagramAuth, facebookAuth, nullptr, parent)
{
    auto *instagram = new RealInstagramService(instagramAuth, WebIdentity::instagramAppID(),
                                               WebIdentity::desktopUserAgent(), this);
    auto *facebook = new RealFacebookService(facebookAuth, WebIdentity::desktopUserAgent(), this);
    m_service = new MultiPlatformService(instagramAuth, facebookAuth, instagram, facebook, this);
}

ReelsViewModel::ReelsViewModel(PlatformAuth *instagramAuth, PlatformAuth *facebookAuth,
                               ProfileServiceType *service, QObject *parent)
    : QObject(parent),
      m_instagramAuth(instagramAuth),
      m_facebookAuth(facebookAuth),
      m_service(service),
      m_reelModel(new ReelListModel(this)),
      m_filteredModel(new ReelListModel(this)),
      m_clockCheck(new QTimer(this)),
      m_waitTick(new QTimer(this))
{
    m_waitTick->setInterval(1000);
    m_waitTick->setTimerType(Qt::PreciseTimer);
    connect(m_waitTick, &QTimer::timeout, this, &ReelsViewModel::showStep);

    m_clockCheck->setSingleShot(true);
    m_clockCheck->setTimerType(Qt::PreciseTimer);
    connect(m_clockCheck, &QTimer::timeout, this, [this] {
        refilter();
        emit downloadCountChanged();
    });

    const QDateTime now = QDateTime::currentDateTime();
    m_customRangeEnd = now;
    const QDateTime monthBefore = now.addMonths(-1);
    m_customRangeStart = monthBefore.isValid() ? monthBefore : now;
}

void ReelsViewModel::setClock(Clock clock)
{
    m_clock = std::move(clock);
    refilter();
    emit downloadCountChanged();
}

// A running fetch is not cancelled: its late results find no model and are dropped.
ReelsViewModel::~ReelsViewModel() = default;

void ReelsViewModel::search()
{
    const QString text = m_inputText.trimmed();
    if (text.isEmpty())
        return;
    if (m_fetchTask)
        m_fetchTask->cancel();

    setPhase(Phase::Loading);
    setProfile(std::nullopt);
    setReels({});
    setSelectedIDs({});
    setSelectionMode(false);
    setStep({});
    setLoadingMore(true);
    setLoadingMoreError({});

    const Cancellation cancel;
    m_fetchTask = cancel;
    QPointer<ReelsViewModel> self(this);
    m_service->fetchProfile(
            text, cancel,
            [self, cancel](const InstagramProfile &profile, const QList<Reel> &reels) {
                if (!self || cancel.isCancelled())
                    return;
                self->setProfile(profile);
                self->setReels(reels);
                self->setPhase(Phase::Loaded);
            },
            [self, cancel](const FetchStep &step) {
                if (self && !cancel.isCancelled())
                    self->setStep(step);
            },
            [self, cancel](const Outcome<InstagramServiceError> &outcome) {
                if (!self || cancel.isCancelled() || outcome.wasCancelled())
                    return;
                self->setStep({});
                self->setLoadingMore(false);
                if (!outcome.failed())
                    return;
                // Reels already shown stay, with the reason no more came; a fetch that showed
                // none sends the search screen back with its message.
                const QString message = outcome.error().errorDescription();
                if (self->m_phase == Phase::Loaded && !self->m_reels.isEmpty())
                    self->setLoadingMoreError(message);
                else
                    self->setPhase(Phase::Error, message);
            });
}

void ReelsViewModel::reset()
{
    if (m_fetchTask)
        m_fetchTask->cancel();
    setInputText({});
    setProfile(std::nullopt);
    setReels({});
    setSelectedIDs({});
    setSelectionMode(false);
    setStep({});
    setLoadingMore(false);
    setLoadingMoreError({});
    setPhase(Phase::Empty);
}

void ReelsViewModel::stopWaiting()
{
    if (!m_step.isWaiting() || !m_fetchTask)
        return;
    m_fetchTask->cancel();
    setStep({});
    setLoadingMore(false);
    // Nothing arrived before the wait: back to the search, without an error.
    if (m_phase == Phase::Loading)
        setPhase(Phase::Empty);
}

void ReelsViewModel::toggleSelection(const QString &id)
{
    QSet<QString> ids = m_selectedIDs;
    if (!ids.remove(id))
        ids.insert(id);
    setSelectedIDs(ids);
}

void ReelsViewModel::toggleSelectionMode()
{
    setSelectionMode(!m_isSelectionMode);
}

void ReelsViewModel::clearSelection()
{
    setSelectedIDs({});
}

void ReelsViewModel::selectAll()
{
    QSet<QString> ids;
    ids.reserve(m_reels.size());
    for (const auto &reel : m_reels)
        ids.insert(reel.id);
    setSelectedIDs(ids);
}

void ReelsViewModel::toggleSelectAll()
{
    if (m_selectedIDs.size() == m_reels.size())
        clearSelection();
    else
        selectAll();
}

QVariantList ReelsViewModel::reelsToDownloadList() const
{
    QVariantList list;
    for (const Reel &reel : reelsToDownload())
        list.append(QVariant::fromValue(reel));
    return list;
}

QList<Reel> ReelsViewModel::filteredReels() const
{
    QList<Reel> shown;
    for (const auto &reel : m_reels) {
        if (m_dateFilter.includes(reel.postedAt, m_clock()))
            shown.append(reel);
    }
    return shown;
}

QList<Reel> ReelsViewModel::reelsToDownload() const
{
    QList<Reel> chosen;
    for (const auto &reel : m_reels) {
        const bool taken = m_selectedIDs.isEmpty()
                ? m_downloadDateFilter.includes(reel.postedAt, m_clock())
                : m_selectedIDs.contains(reel.id);
        if (taken)
            chosen.append(reel);
    }
    return chosen;
}

int ReelsViewModel::downloadCount() const
{
    return int(reelsToDownload().size());
}

QString ReelsViewModel::primaryActionLabel() const
{
    if (m_selectedIDs.isEmpty())
        return tr("Download All");
    return tr("Download %1").arg(m_selectedIDs.size());
}

QStringList ReelsViewModel::selectedIDList() const
{
    QStringList ids = m_selectedIDs.values();
    ids.sort();
    return ids;
}

void ReelsViewModel::setInputText(const QString &text)
{
    if (assign(m_inputText, text))
        emit inputTextChanged();
}

void ReelsViewModel::setPhase(Phase phase, const QString &message)
{
    if (m_phase == phase && m_errorMessage == message)
        return;
    m_phase = phase;
    m_errorMessage = message;
    emit phaseChanged();
}

void ReelsViewModel::setProfile(const std::optional<InstagramProfile> &profile)
{
    if (assign(m_profile, profile))
        emit profileChanged();
}

void ReelsViewModel::setReels(const QList<Reel> &reels)
{
    if (!assign(m_reels, reels))
        return;
    m_reelModel->setReels(m_reels);
    refilter();
    emit reelsChanged();
    emit downloadCountChanged();
}

void ReelsViewModel::refilter()
{
    m_filteredModel->setReels(filteredReels());
    scheduleClockCheck();
}

// One timer, armed for the next moment either filter may answer differently: local midnight for
// "Today" and "This year", the moment a reel leaves a "Last N days" window.
void ReelsViewModel::scheduleClockCheck()
{
    std::optional<QDateTime> next;
    if (!m_reels.isEmpty()) {
        const QDateTime now = m_clock();
        next = nextChange(m_dateFilter, m_reels, now);
        if (!(m_downloadDateFilter == m_dateFilter)) {
            const auto change = nextChange(m_downloadDateFilter, m_reels, now);
            if (change && (!next || *change < *next))
                next = change;
        }
        if (next) {
            m_clockCheck->start(int(std::clamp<qint64>(now.msecsTo(*next), 1, longestClockWaitMs)));
            return;
        }
    }
    m_clockCheck->stop();
}

void ReelsViewModel::setStep(const FetchStep &step)
{
    m_step = step;
    if (step.isWaiting()) {
        m_waitEnd = QDeadlineTimer(step.waitMs, Qt::PreciseTimer);
        m_waitTick->start();
    } else {
        m_waitTick->stop();
    }
    showStep();
}

void ReelsViewModel::showStep()
{
    if (!m_step.isWaiting()) {
        setWaitSecondsLeft(0);
        setLoadingStep(m_step.text);
        return;
    }
    // Whole seconds, rounded up; the source ends the wait, so it shows at least one.
    const qint64 ms = m_waitEnd.remainingTime();
    if (ms <= 0)
        m_waitTick->stop();
    const int seconds = int(std::max<qint64>(1, (ms + 999) / 1000));
    setWaitSecondsLeft(seconds);
    setLoadingStep(m_step.withSecondsLeft(seconds));
}

void ReelsViewModel::setWaitSecondsLeft(int seconds)
{
    if (assign(m_waitSecondsLeft, seconds))
        emit waitSecondsLeftChanged();
}

void ReelsViewModel::setLoadingStep(const QString &step)
{
    if (assign(m_loadingStep, step))
        emit loadingStepChanged();
}

void ReelsViewModel::setLoadingMore(bool on)
{
    if (assign(m_isLoadingMore, on))
        emit isLoadingMoreChanged();
}

void ReelsViewModel::setLoadingMoreError(const QString &message)
{
    if (assign(m_loadingMoreError, message))
        emit loadingMoreErrorChanged();
}

void ReelsViewModel::setSelectionMode(bool on)
{
    if (!assign(m_isSelectionMode, on))
        return;
    emit isSelectionModeChanged();
    if (!on)
        setSelectedIDs({});
}

void ReelsViewModel::setSelectedIDs(const QSet<QString> &ids)
{
    if (!assign(m_selectedIDs, ids))
        return;
    m_reelModel->setSelectedIDs(m_selectedIDs);
    m_filteredModel->setSelectedIDs(m_selectedIDs);
    emit selectedIDsChanged();
    emit downloadCountChanged();
}

void ReelsViewModel::setLayout(LayoutMode layout)
{
    if (assign(m_layout, layout))
        emit layoutChanged();
}

void ReelsViewModel::setGridColumns(int columns)
{
    if (assign(m_gridColumns, columns))
        emit gridColumnsChanged();
}

void ReelsViewModel::setSelectedQuality(VideoQuality quality)
{
    if (assign(m_selectedQuality, quality))
        emit selectedQualityChanged();
}

QString ReelsViewModel::selectedQualityName() const
{
    return rawValue(m_selectedQuality);
}

void ReelsViewModel::setSelectedQualityName(const QString &raw)
{
    if (const auto quality = videoQualityFromRaw(raw))
        setSelectedQuality(*quality);
}

void ReelsViewModel::setDateFilter(const DateRangeFilter &filter)
{
    if (!assign(m_dateFilter, filter))
        return;
    refilter();
    emit dateFilterChanged();
}

void ReelsViewModel::setDownloadDateFilter(const DateRangeFilter &filter)
{
    if (!assign(m_downloadDateFilter, filter))
        return;
    scheduleClockCheck();
    emit downloadDateFilterChanged();
    emit downloadCountChanged();
}

void ReelsViewModel::setDateFilterKind(DateRangeFilter::Kind kind)
{
    if (kind == DateRangeFilter::Kind::custom)
        applyCustomRange(false);
    else
        setDateFilter(DateRangeFilter(kind));
}

void ReelsViewModel::setDownloadDateFilterKind(DateRangeFilter::Kind kind)
{
    if (kind == DateRangeFilter::Kind::custom)
        applyCustomRange(true);
    else
        setDownloadDateFilter(DateRangeFilter(kind));
}

void ReelsViewModel::applyCustomRange(bool forDownload)
{
    const auto range = DateRangeFilter::custom(m_customRangeStart, m_customRangeEnd);
    if (forDownload)
        setDownloadDateFilter(range);
    else
        setDateFilter(range);
}

void ReelsViewModel::setPlayingReel(const std::optional<Reel> &reel)
{
    if (assign(m_playingReel, reel))
        emit playingReelChanged();
}

void ReelsViewModel::play(const QString &id)
{
    for (const auto &reel : m_reels) {
        if (reel.id == id) {
            setPlayingReel(reel);
            return;
        }
    }
}

void ReelsViewModel::setShowingQualitySheet(bool on)
{
    if (assign(m_showingQualitySheet, on))
        emit showingQualitySheetChanged();
}

void ReelsViewModel::setShowingSettings(bool on)
{
    if (assign(m_showingSettings, on))
        emit showingSettingsChanged();
}

void ReelsViewModel::setShowingLogin(bool on)
{
    if (assign(m_showingLogin, on))
        emit showingLoginChanged();
}

void ReelsViewModel::setShowingCustomDateRange(bool on)
{
    if (assign(m_showingCustomDateRange, on))
        emit showingCustomDateRangeChanged();
}

void ReelsViewModel::setCustomRangeStart(const QDateTime &start)
{
    if (assign(m_customRangeStart, start))
        emit customRangeStartChanged();
}

void ReelsViewModel::setCustomRangeEnd(const QDateTime &end)
{
    if (assign(m_customRangeEnd, end))
        emit customRangeEndChanged();
}

void ReelsViewModel::setLoginTarget(SocialPlatform platform)
{
    if (assign(m_loginTarget, platform))
        emit loginTargetChanged();
}

QString ReelsViewModel::loginTargetName() const
{
    return rawValue(m_loginTarget);
}

void ReelsViewModel::setLoginTargetName(const QString &raw)
{
    if (const auto platform = socialPlatformFromRaw(raw))
        setLoginTarget(*platform);
}

void ReelsViewModel::openLogin(const QString &platform)
{
    setLoginTargetName(platform);
    setShowingLogin(true);
}

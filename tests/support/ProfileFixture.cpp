#include "ProfileFixture.h"

#include "MediaSimulator.h"
#include "ScriptedSource.h"
#include "TestServer.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr int distinctPictures = 64;

// The fetch the view model started last, which the fixture answers.
ScriptedSource::Fetch *current(ScriptedSource &source)
{
    return source.fetches.isEmpty() ? nullptr : &source.fetches.last();
}

// A small picture of its own for each reel: a diagonal gradient with a hue from the index.
QByteArray picture(int index, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    const int hue = (index * 47) % 360;
    gradient.setColorAt(0, QColor::fromHsv(hue, 160, 210));
    gradient.setColorAt(1, QColor::fromHsv((hue + 60) % 360, 200, 90));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QColor(255, 255, 255, 200));
    QFont font = painter.font();
    font.setPixelSize(size.width() / 4);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, QString::number(index + 1));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

ProfileFixture::ProfileFixture(QObject *parent)
    : QObject(parent),
      m_server(std::make_unique<TestServer>()),
      m_media(std::make_unique<MediaSimulator>(*m_server)),
      m_source(std::make_unique<ScriptedSource>()),
      m_instagramAuth(new PlatformAuth(SocialPlatform::instagram, nullptr, this)),
      m_facebookAuth(new PlatformAuth(SocialPlatform::facebook, nullptr, this)),
      m_destination(new DownloadDestination(this)),
      m_settings(new AppSettings(this)),
      m_viewModel(new ReelsViewModel(m_instagramAuth, m_facebookAuth, m_source.get(), this)),
      m_downloadManager(new DownloadManager(m_destination, m_settings, this))
{
    m_destination->adoptFolder(QUrl::fromLocalFile(m_folder.path()));
    m_server->routePrefix(QStringLiteral("/thumb/"), [this](const TestServer::Request &request) {
        // A few dozen pictures serve every reel, so that a benchmark of thousands of reels does
        // not count the server's own memory.
        const int index = request.url.path().section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0).toInt()
                % distinctPictures;
        if (!m_pictures.contains(index))
            m_pictures.insert(index, picture(index, QSize(180, 320)));
        TestServer::Response response;
        response.contentType = "image/png";
        response.body = m_pictures.value(index);
        return response;
    });
    m_server->route(QStringLiteral("/avatar.png"), [](const TestServer::Request &) {
        TestServer::Response response;
        response.contentType = "image/png";
        response.body = picture(7, QSize(120, 120));
        return response;
    });
    TestServer::Response never;
    never.stall = true;
    m_server->routePrefix(QStringLiteral("/stalled-thumb/"), [never](const TestServer::Request &) {
        return never;
    });
}

// The view model goes first: it holds the source.
ProfileFixture::~ProfileFixture()
{
    delete m_downloadManager;
    delete m_viewModel;
}

Reel ProfileFixture::makeReel(int index) const
{
    Reel reel;
    reel.id = QStringLiteral("reel-%1").arg(index);
    const QString thumbnails = m_options.value(QStringLiteral("thumbnails"), QStringLiteral("served")).toString();
    if (thumbnails == QLatin1String("served"))
        reel.thumbnailURL = m_server->url(QStringLiteral("/thumb/%1.png").arg(index));
    else if (thumbnails == QLatin1String("stalled"))
        reel.thumbnailURL = m_server->url(QStringLiteral("/stalled-thumb/%1.png").arg(index));
    else
        reel.thumbnailURL = m_server->url(QStringLiteral("/missing/%1.png").arg(index));
    const bool stalled = m_options.value(QStringLiteral("stalled")).toList().contains(index);
    reel.variants.insert(VideoQuality::hd720,
                         m_media->url(stalled ? QStringLiteral("stalled.mp4") : QStringLiteral("video.mp4"),
                                      64 * 1024, QStringLiteral("n=%1").arg(index)));
    reel.durationSeconds = 8 + (index * 37) % 170;
    reel.viewCount = qint64(index + 1) * 1543 + (index % 3) * 998001;
    reel.likeCount = (qint64(index + 1) * 97) % 25000;
    const QVariantList ages = m_options.value(QStringLiteral("daysAgo")).toList();
    const int days = index < ages.size() ? ages.at(index).toInt() : index;
    reel.postedAt = QDateTime::currentDateTime().addDays(-days).addSecs(-60);
    return reel;
}

void ProfileFixture::load(int count, const QVariantMap &options)
{
    m_options = options;
    m_reels.clear();
    m_viewModel->setInputText(QStringLiteral("@fixture"));
    m_viewModel->search();
    for (int i = 0; i < count; ++i)
        m_reels.append(makeReel(i));
    deliver();
}

void ProfileFixture::loadMore(int count)
{
    const int from = int(m_reels.size());
    for (int i = from; i < from + count; ++i)
        m_reels.append(makeReel(i));
    deliver();
}

void ProfileFixture::tellStep(const QString &text, int waitMs)
{
    if (auto *fetch = current(*m_source); fetch && fetch->step)
        fetch->step(FetchStep(text, waitMs));
}

void ProfileFixture::finish()
{
    if (auto *fetch = current(*m_source); fetch && fetch->done)
        std::exchange(fetch->done, {})(Outcome<InstagramServiceError>::success());
}

void ProfileFixture::fail(const QString &message)
{
    if (auto *fetch = current(*m_source); fetch && fetch->done)
        std::exchange(fetch->done, {})(InstagramServiceError::network(message));
}

QVariant ProfileFixture::reel(int index) const
{
    return index >= 0 && index < m_reels.size() ? QVariant::fromValue(m_reels.at(index)) : QVariant();
}

void ProfileFixture::deliver()
{
    auto *fetch = current(*m_source);
    if (!fetch || !fetch->update)
        return;
    InstagramProfile profile;
    profile.username = m_options.value(QStringLiteral("username"), QStringLiteral("fixture.reels")).toString();
    profile.displayName = m_options.value(QStringLiteral("displayName"), QStringLiteral("Fixture Reels")).toString();
    profile.followerCount = m_options.value(QStringLiteral("followers"), 12345).toLongLong();
    profile.isVerified = m_options.value(QStringLiteral("verified"), true).toBool();
    profile.reelCount = m_reels.size();
    profile.avatarURL = m_server->url(QStringLiteral("/avatar.png"));
    fetch->update(profile, m_reels);
}

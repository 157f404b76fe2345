#include "browsing/UiCatalog.h"

#include "core/SocialPlatform.h"
#include "updates/UpdateService.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QMetaEnum>
#include <QQmlEngine>
#include <QWindow>

namespace {

// Symbol names, as the screens name them, drawn with the Material Icons font's code points.
const QHash<QString, char16_t> &glyphs()
{
    static const QHash<QString, char16_t> table{
        { QStringLiteral("4k.tv"), 0xe072 },                           // 4k
        { QStringLiteral("arrow.clockwise"), 0xe5d5 },                 // refresh
        { QStringLiteral("arrow.down"), 0xe5db },                      // arrow_downward
        { QStringLiteral("arrow.down.app.fill"), 0xe8d7 },             // system_update_alt
        { QStringLiteral("arrow.down.circle.fill"), 0xf000 },          // download_for_offline
        { QStringLiteral("arrow.up.right.square.fill"), 0xe89e },      // open_in_new
        { QStringLiteral("calendar"), 0xe935 },                        // calendar_today
        { QStringLiteral("calendar.badge.clock"), 0xe916 },            // date_range
        { QStringLiteral("camera.fill"), 0xe412 },                     // photo_camera
        { QStringLiteral("checkmark"), 0xe5ca },                       // check
        { QStringLiteral("checkmark.circle.fill"), 0xe86c },           // check_circle
        { QStringLiteral("checkmark.seal.fill"), 0xef76 },             // verified
        { QStringLiteral("chevron.down"), 0xe5cf },                    // expand_more
        { QStringLiteral("chevron.left"), 0xe5cb },                    // chevron_left
        { QStringLiteral("chevron.right"), 0xe5cc },                   // chevron_right
        { QStringLiteral("chevron.up.chevron.down"), 0xe5d7 },         // unfold_more
        { QStringLiteral("clock.fill"), 0xe8b5 },                      // schedule
        { QStringLiteral("doc.text"), 0xe873 },                        // description
        { QStringLiteral("ellipsis"), 0xe5d3 },                        // more_horiz
        { QStringLiteral("exclamationmark.triangle.fill"), 0xe002 },   // warning
        { QStringLiteral("eye.fill"), 0xe8f4 },                        // visibility
        { QStringLiteral("f.cursive.circle.fill"), 0xf234 },           // facebook
        { QStringLiteral("folder"), 0xe2c8 },                          // folder_open
        { QStringLiteral("folder.badge.plus"), 0xe2cc },               // create_new_folder
        { QStringLiteral("folder.fill"), 0xe2c7 },                     // folder
        { QStringLiteral("gearshape.fill"), 0xe8b8 },                  // settings
        { QStringLiteral("heart.fill"), 0xe87d },                      // favorite
        { QStringLiteral("info.circle"), 0xe88f },                     // info_outline
        { QStringLiteral("info.circle.fill"), 0xe88e },                // info
        { QStringLiteral("link"), 0xe157 },                            // link
        { QStringLiteral("list.bullet"), 0xe241 },                     // format_list_bulleted
        { QStringLiteral("lock.shield.fill"), 0xe32a },                // security
        { QStringLiteral("person.fill.badge.plus"), 0xe7fe },          // person_add
        { QStringLiteral("photo"), 0xe410 },                           // photo
        { QStringLiteral("play.fill"), 0xe037 },                       // play_arrow
        { QStringLiteral("play.rectangle.on.rectangle.fill"), 0xe04a },// video_library
        { QStringLiteral("rectangle.compress.vertical"), 0xe94d },     // compress
        { QStringLiteral("rectangle.split.3x1.fill"), 0xe8f3 },        // view_week
        { QStringLiteral("sparkles"), 0xe65f },                        // auto_awesome
        { QStringLiteral("square.grid.2x2.fill"), 0xe9b0 },            // grid_view
        { QStringLiteral("square.stack.3d.down.right.fill"), 0xe53b }, // layers
        { QStringLiteral("stop.fill"), 0xe047 },                       // stop
        { QStringLiteral("tray.and.arrow.down.fill"), 0xe168 },        // move_to_inbox
        { QStringLiteral("tv"), 0xe333 },                              // tv
        { QStringLiteral("waveform"), 0xe1b8 },                        // graphic_eq
        { QStringLiteral("xmark"), 0xe5cd },                           // close
        { QStringLiteral("xmark.circle.fill"), 0xe5c9 },               // cancel
    };
    return table;
}

} // namespace

UiCatalog::UiCatalog(QObject *parent)
    : QObject(parent)
{
}

QString UiCatalog::glyph(const QString &symbolName)
{
    const auto found = glyphs().constFind(symbolName);
    return found == glyphs().cend() ? QString() : QString(QChar(*found));
}

QStringList UiCatalog::symbolNames()
{
    QStringList names = glyphs().keys();
    names.sort();
    return names;
}

QString UiCatalog::platformSymbol(const QString &platform)
{
    const auto known = socialPlatformFromRaw(platform);
    return known ? symbolName(*known) : QString();
}

QUrl UiCatalog::loginURL(const QString &platform)
{
    const auto known = socialPlatformFromRaw(platform);
    return known ? ::loginURL(*known) : QUrl();
}

QString UiCatalog::clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

QString UiCatalog::updateKind(const UpdateState &state)
{
    return QString::fromLatin1(
            QMetaEnum::fromType<UpdateState::Kind>().valueToKey(int(state.kind())));
}

bool UiCatalog::canOpenExternally(const QUrl &url)
{
    return UpdateService::readableDownloadURL(url.toString()).has_value();
}

QWindow *UiCatalog::frontModalWindow()
{
    QWindow *front = QGuiApplication::modalWindow();
    // Handed to QML, a window without an owner would become the script engine's to collect.
    if (front)
        QQmlEngine::setObjectOwnership(front, QQmlEngine::CppOwnership);
    return front;
}

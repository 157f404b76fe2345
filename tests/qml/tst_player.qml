import QtQuick
import QtTest
import QtMultimedia
import ClipDock

// The reel preview: it plays while shown and falls silent the moment it closes; the window opens
// it for the view model's playing reel, and its download button hands over to the options.
Item {
    id: top
    width: 400
    height: 720

    TestCase {
        id: testCase
        name: "ReelPlayer"
        when: windowShown

        Component {
            id: playerComponent
            ReelPlayer { width: 400; height: 720 }
        }

        Component {
            id: mainComponent
            Main { }
        }

        // Playback is asked for at once and forever; the media server never answers, so the player
        // stays in that state until it is closed.
        function test_playsWhileActiveAndStopsAtOnce() {
            const reel = harness.silentReel("p1", 1200000, 0, 65)
            const player = createTemporaryObject(playerComponent, top, { reel: reel, active: true })
            const media = findChild(player, "mediaPlayer")
            compare(media.source, reel.defaultVideoURL)
            compare(media.loops, MediaPlayer.Infinite)
            compare(media.playbackState, MediaPlayer.PlayingState)
            compare(["viewsStat", "likesStat", "durationStat"].map(name => findChild(player, name).text),
                    ["1.2M", "0", "1:05"])

            player.active = false
            compare(media.playbackState, MediaPlayer.StoppedState, "silent in the same turn")
            compare(media.source, "")

            player.active = true
            compare(media.source, reel.defaultVideoURL, "reopening starts over")
            compare(media.playbackState, MediaPlayer.PlayingState)

            const other = harness.silentReel("p2", 5, 7, 3)
            player.reel = other
            compare(media.source, other.defaultVideoURL, "another reel replaces the first")
            compare(media.playbackState, MediaPlayer.PlayingState)
        }

        SignalSpy {
            id: downloadSpy
            signalName: "download"
        }

        // Media that cannot be loaded or decoded leaves the still in the frame and says so, with the
        // download still offered; media that only keeps it waiting says nothing.
        function test_unplayableKeepsTheStill_data() {
            return [
                { tag: "not found", file: "missing.mp4", unplayable: true },
                { tag: "not a video", file: "page.html", unplayable: true },
                { tag: "never answers", file: "", unplayable: false },
            ]
        }

        function test_unplayableKeepsTheStill(data) {
            const fixture = harness.newProfileFixture()
            fixture.load(1)
            const picture = fixture.reel(0).thumbnailURL
            const reel = data.file ? harness.mediaReel("u-" + data.file, data.file, 5, 6, 7, picture)
                                   : harness.silentReel("u-silent", 5, 6, 7, picture)
            const player = createTemporaryObject(playerComponent, top, { reel: reel, active: true })
            const media = findChild(player, "mediaPlayer")
            const still = findChild(player, "stillImage")
            const note = findChild(player, "unplayableNote")
            tryCompare(still, "visible", true, 5000)
            if (!data.unplayable) {
                wait(1000)
                verify(!note.visible)
                return
            }
            tryVerify(() => media.error !== MediaPlayer.NoError
                            || media.mediaStatus === MediaPlayer.InvalidMedia, 10000)
            wait(200)
            verify(still.visible, "the still stays")
            verify(note.visible)
            compare(findChild(player, "unplayableText").text, "This reel can't be played here.")
            const button = findChild(player, "downloadButton")
            downloadSpy.target = player
            downloadSpy.clear()
            mouseClick(button)
            compare(downloadSpy.count, 1)

            player.reel = harness.silentReel("u-next", 5, 6, 7, picture)
            verify(!note.visible, "another reel starts afresh")
        }

        function openWindow() {
            const root = harness.newRoot()
            const window = createTemporaryObject(mainComponent, testCase, { root: root })
            root.viewModel.inputText = "@natgeo"
            root.viewModel.search()
            tryCompare(root.viewModel, "phase", ReelsViewModel.Loaded, 5000)
            const sheet = findChild(window, "playerSheet")
            const player = findChild(sheet.contentItem, "reelPlayer")
            return { vm: root.viewModel, sheet: sheet, player: player,
                     media: findChild(player, "mediaPlayer") }
        }

        // Closing by the button or by the window manager ends the preview and its sound;
        // Download ends it too and opens the download options instead.
        function test_sheetFollowsPlayingReel_data() {
            return [
                { tag: "close button", how: "closeButton", options: false },
                { tag: "window closed", how: "", options: false },
                { tag: "download", how: "downloadButton", options: true },
            ]
        }

        function test_sheetFollowsPlayingReel(data) {
            const w = openWindow()
            verify(!w.sheet.visible)
            const reel = w.vm.reelModel.get(1)
            w.vm.play(reel.id)
            verify(w.sheet.visible)
            compare(w.media.source, reel.defaultVideoURL)
            compare(findChild(w.player, "viewsStat").text, ProfilePresentation.count(reel.viewCount))

            if (data.how === "") {
                w.sheet.close()
            } else {
                const button = findChild(w.player, data.how)
                waitForRendering(button)
                mouseClick(button)
            }
            verify(!w.vm.hasPlayingReel)
            verify(!w.sheet.visible)
            compare(w.media.playbackState, MediaPlayer.StoppedState)
            compare(w.media.source, "")
            compare(w.vm.showingQualitySheet, data.options)
            compare(w.vm.selectedCount, 0, "the played reel is not selected for download")
        }
    }
}

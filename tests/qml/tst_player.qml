import QtQuick
import QtTest
import QtMultimedia
import ClipDock
import "../support"

// The reel preview: it plays while shown and falls silent the moment it closes; the window opens
// it for the view model's playing reel, and its download button hands over to the options.
ScreenTestCase {
    id: testCase
    name: "ReelPlayer"
    width: 400
    height: 720

    SignalSpy {
        id: downloadSpy
        signalName: "download"
    }

    // Playback is asked for at once and forever; the media server never answers, so the player
    // stays in that state until it is closed.
    function test_playsWhileActiveAndStopsAtOnce() {
        const reel = harness.silentReel("p1", 1200000, 0, 65)
        const p = player(reel)
        const state = () => [p.media.source, p.media.playbackState]
        compare(state(), [reel.defaultVideoURL, MediaPlayer.PlayingState])
        compare(p.media.loops, MediaPlayer.Infinite)
        compare(["viewsStat", "likesStat", "durationStat"].map(name => p.item(name).text), ["1.2M", "0", "1:05"])

        p.player.active = false
        compare(state(), ["", MediaPlayer.StoppedState], "silent in the same turn")
        p.player.active = true
        compare(state(), [reel.defaultVideoURL, MediaPlayer.PlayingState], "reopening starts over")
        const other = harness.silentReel("p2", 5, 7, 3)
        p.player.reel = other
        compare(state(), [other.defaultVideoURL, MediaPlayer.PlayingState], "another reel replaces the first")
    }

    // Media that cannot be loaded or decoded leaves the still in the frame and says so, with the
    // download still offered; media that only keeps it waiting says nothing.
    function test_unplayableKeepsTheStill_data() {
        return rows("tag file", [["not found", "missing.mp4"], ["not a video", "page.html"], ["never answers", ""]])
    }

    function test_unplayableKeepsTheStill(data) {
        const fixture = harness.newProfileFixture()
        fixture.load(1)
        const picture = fixture.reel(0).thumbnailURL
        const p = player(data.file ? harness.mediaReel("u-" + data.file, data.file, 5, 6, 7, picture)
                                 : harness.silentReel("u-silent", 5, 6, 7, picture))
        const [still, note] = [p.item("stillImage"), p.item("unplayableNote")]
        tryCompare(still, "visible", true, 5000)
        if (!data.file) {
            wait(1000)
            verify(!note.visible)
            return
        }
        tryVerify(() => p.media.error !== MediaPlayer.NoError
                        || p.media.mediaStatus === MediaPlayer.InvalidMedia, 10000)
        wait(200)
        verify(still.visible, "the still stays")
        verify(note.visible)
        compare(p.item("unplayableText").text, "This reel can't be played here.")
        downloadSpy.target = p.player
        downloadSpy.clear()
        mouseClick(p.item("downloadButton"))
        compare(downloadSpy.count, 1)

        p.player.reel = harness.silentReel("u-next", 5, 6, 7, picture)
        verify(!note.visible, "another reel starts afresh")
    }

    // Closing by the button or by the window manager ends the preview and its sound;
    // Download ends it too and opens the download options instead.
    function test_sheetFollowsPlayingReel_data() {
        return rows("tag how", [["close button", "closeButton"], ["window closed", ""],
                                ["download", "downloadButton"]])
    }

    function test_sheetFollowsPlayingReel(data) {
        const w = openWindow(searched("@natgeo"))
        const sheet = w.sheet("playerSheet")
        const player = findChild(sheet.contentItem, "reelPlayer")
        const media = findChild(player, "mediaPlayer")
        const reel = w.vm.reelModel.get(1)
        w.vm.play(reel.id)
        verify(sheet.visible)
        compare(media.source, reel.defaultVideoURL)
        data.how ? click(findChild(player, data.how)) : sheet.close()
        verify(!w.vm.hasPlayingReel && !sheet.visible)
        compare([media.playbackState, media.source], [MediaPlayer.StoppedState, ""])
        compare(w.vm.showingQualitySheet, data.how === "downloadButton")
        compare(w.vm.selectedCount, 0, "the played reel is not selected for download")
    }
}

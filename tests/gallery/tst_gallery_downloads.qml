import QtQuick
import QtTest
import ClipDock

// Renders the download sheet with rows in every state, and the reel player, and saves each as a
// PNG. Transfers come from the local media server; pictures from a loopback profile fixture.
Item {
    id: top
    width: 520
    height: 720

    TestCase {
        id: gallery
        name: "DownloadsGallery"
        when: windowShown

        Component {
            id: sheetComponent
            DownloadSheet { width: 520; height: 640 }
        }

        Component {
            id: playerComponent
            ReelPlayer { width: 400; height: 720 }
        }

        // Lets images arrive and bars settle before the picture is taken.
        function shoot(item, name) {
            wait(700)
            grabImage(item).save(harness.galleryDir + "/" + name + ".png")
        }

        function pictures() {
            const fixture = harness.newProfileFixture()
            fixture.load(6)
            return index => fixture.reel(index).thumbnailURL
        }

        function test_downloads_data() {
            return [
                { tag: "empty", finished: [], running: [] },
                { tag: "finished", finished: ["video.mp4", "missing.mp4"], running: [] },
                // With one transfer at a time, the first stalls at a quarter and the next waits.
                { tag: "mixed", finished: ["video.mp4", "missing.mp4"],
                  running: ["stalled.mp4", "stalled.mp4"] },
                // The chosen folder was replaced by a file: opening it says why it cannot.
                { tag: "folder-problem", finished: ["video.mp4"], running: [], folderProblem: true },
                // Saved by an earlier run, asked for again with "Skip reels already saved" on.
                { tag: "already-saved", finished: [], running: ["stalled.mp4"],
                  savedBefore: ["video.mp4", "video.mp4"] },
                // All three actions in the sheet's smallest width.
                { tag: "mixed-narrow", finished: ["video.mp4", "missing.mp4"],
                  running: ["stalled.mp4", "stalled.mp4"], width: 420 },
            ]
        }

        function test_downloads(data) {
            const picture = pictures()
            const root = harness.newRoot()
            root.settings.maxConcurrentDownloads = 1
            const manager = root.downloadManager
            let n = 0
            const reels = files => files.map(file => {
                n += 1
                return harness.mediaReel("g" + data.tag + n, file, 0, 0, 20 + 17 * n, picture(n))
            })
            root.settings.skipSavedReels = false
            if (data.savedBefore) {
                const before = reels(data.savedBefore)
                manager.enqueue(before, "720p")
                tryCompare(manager, "activeCount", 0, 10000)
                manager.clearFinished()
                root.settings.skipSavedReels = true
                manager.enqueue(before, "720p")
            }
            manager.enqueue(reels(data.finished), "720p")
            tryCompare(manager, "activeCount", 0, 10000)
            manager.enqueue(reels(data.running), "720p")
            if (data.running.length > 0)
                tryVerify(() => manager.overallPercent > 0, 10000)
            const sheet = createTemporaryObject(sheetComponent, top,
                                                { manager: manager, destination: root.destination,
                                                  width: data.width || 520 })
            if (data.folderProblem) {
                const folder = harness.newFolder("gallery-" + data.tag)
                root.destination.adoptFolder(folder)
                harness.removeFolder(folder, true)
                mouseClick(findChild(sheet, "openFolderButton"))
            }
            shoot(sheet, "downloads-" + data.tag)
            manager.stopAll()
            root.settings.skipSavedReels = false
        }

        // Loading, and a reel whose media cannot be played.
        function test_player_data() {
            return [ { tag: "loading", name: "player", file: "" },
                     { tag: "unplayable", name: "player-unplayable", file: "missing.mp4" } ]
        }

        function test_player(data) {
            const picture = pictures()
            const reel = data.file ? harness.mediaReel("gp-" + data.tag, data.file, 1200000, 15400, 47,
                                                       picture(0))
                                   : harness.silentReel("gp", 1200000, 15400, 47, picture(0))
            const player = createTemporaryObject(playerComponent, top, { reel: reel, active: true })
            if (data.file)
                tryCompare(player, "unplayable", true, 10000)
            shoot(player, data.name)
        }
    }
}

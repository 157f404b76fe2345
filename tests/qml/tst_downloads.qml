import QtQuick
import QtTest
import ClipDock
import "../support"

// The download sheet over a real download manager whose transfers come from the local media
// server: what it says about the queue, which actions it offers, and what they do.
ScreenTestCase {
    id: testCase
    name: "DownloadSheet"

    function openQueue(limit) {
        const w = openWindow()
        w.root.settings.maxConcurrentDownloads = limit || 3
        w.root.settings.skipSavedReels = false
        w.queue = w.sheet("downloadSheet")
        w.find = name => findChild(w.queue.contentItem, name)
        w.row = index => w.find("downloadList").itemAtIndex(index)
        return w
    }

    // The list lays its rows out on the next frame after they arrive.
    function waitForRows(w, count) {
        tryVerify(() => Array.from({ length: count }, (_, i) => w.row(i)).every(row => row))
    }

    // What a row shows: its badge, which actions it offers and the message under it.
    function rowLooks(row) {
        const message = findChild(row, "messageText")
        return { badge: findChild(row, "badgeText").text, message: message.visible ? message.text : "",
                 actions: ["cancelButton", "openButton", "revealButton", "retryButton"]
                         .filter(name => findChild(row, name).visible) }
    }

    function headerButtons(w) {
        return ["stopAllButton", "retryFailedButton", "clearFinishedButton"].filter(name => w.find(name).visible)
    }

    // Rows are "badge|actions|message". The first transfer of a file that stalls stops at a
    // quarter of it; "saved" reels were saved by an earlier run and count as done at once.
    function test_sheetShowsTheQueue_data() {
        const saved = "Saved|openButton revealButton|", failed = "Failed|retryButton|HTTP 404"
        const running = "25%|cancelButton|", queued = "Queued|cancelButton|"
        return rows("tag limit files settled status percent buttons rows saved", [
            ["empty", 3, [], m => true, "0 of 0 downloaded", "0%", "", []],
            ["one running, one waiting", 1, ["stalled.mp4", "stalled.mp4"], m => m.overallPercent === 12,
             "2 in progress · 0 of 2 done", "12%", "stopAllButton", [running, queued]],
            ["saved and failed", 3, ["video.mp4", "missing.mp4"], m => m.activeCount === 0,
             "1 done · 1 failed", "50%", "retryFailedButton clearFinishedButton", [saved, failed]],
            ["saved, failed and running", 3, ["video.mp4", "missing.mp4", "stalled.mp4"],
             m => m.completedCount === 1 && m.failedCount === 1 && m.overallPercent === 41,
             "1 in progress · 1 of 3 done", "41%", "stopAllButton retryFailedButton clearFinishedButton",
             [saved, failed, running]],
            ["already saved and running", 3, ["video.mp4", "stalled.mp4"], m => m.overallPercent === 62,
             "1 in progress · 1 of 2 done", "62%", "stopAllButton clearFinishedButton",
             ["Already saved|openButton revealButton|", running], 1]])
    }

    function test_sheetShowsTheQueue(data) {
        const w = openQueue(data.limit)
        const reels = data.files.map((file, i) => harness.mediaReel(data.tag + i, file))
        if (data.saved)
            saveEarlier(w.root, reels.slice(0, data.saved))
        w.manager.enqueue(reels, "720p")
        verify(w.queue.visible, "every enqueue opens the sheet, an empty one too")
        tryVerify(() => data.settled(w.manager), 10000)
        waitForRows(w, data.rows.length)

        tryCompare(w.find("statusLine"), "text", data.status)
        tryCompare(w.find("overallPercent"), "text", data.percent)
        compare(headerButtons(w).join(" "), data.buttons)
        // The header's actions keep one row inside the sheet, clear of the status line, at the
        // sheet's default width and its smallest.
        for (const width of [w.queue.width, w.queue.minimumWidth]) {
            w.queue.width = width
            waitForRendering(w.queue.contentItem)
            const buttons = headerButtons(w).map(name => w.find(name))
            for (const b of buttons) {
                compare(b.mapToItem(null, 0, 0).y, buttons[0].mapToItem(null, 0, 0).y, "one row at " + width)
                verify(within(b, w.queue.contentItem), "inside at " + width)
                verify(apart(b, w.find("statusLine")), "clear of the status line at " + width)
            }
        }
        compare(w.find("downloadList").count, data.rows.length)
        data.rows.forEach((expected, i) => {
            const [badge, actions, message] = expected.split("|")
            // A row's progress is announced at most ten times a second, the overall one at once.
            tryCompare(findChild(w.row(i), "badgeText"), "text", badge, 5000, "row " + i)
            const looks = rowLooks(w.row(i))
            compare(looks.actions.join(" "), actions, "row " + i)
            // A failed row says why, word for word as the transfer put it.
            verify(looks.message.slice(0, message.length) === message, looks.message)
            compare(looks.message === "", message === "")
        })
        w.manager.stopAll()
    }

    // The header's actions act on the whole queue, a row's on its own item.
    function test_actions() {
        const w = openQueue(1)
        w.manager.enqueue([harness.mediaReel("act1", "gated.mp4"), harness.mediaReel("act2", "gated.mp4")], "720p")
        tryCompare(w.manager, "activeCount", 2)
        waitForRows(w, 2)

        click(w.find("stopAllButton"))
        compare(rowLooks(w.row(0)), { badge: "Failed", actions: ["retryButton"], message: "Stopped" })
        compare(rowLooks(w.row(1)).message, "Stopped")
        compare(headerButtons(w), ["retryFailedButton", "clearFinishedButton"])

        click(w.find("retryFailedButton"))
        compare([w.manager.activeCount, rowLooks(w.row(1)).badge], [2, "Queued"])
        click(findChild(w.row(1), "cancelButton"))
        compare(rowLooks(w.row(1)), { badge: "Failed", actions: ["retryButton"], message: "Cancelled" })
        click(findChild(w.row(1), "retryButton"))
        compare(rowLooks(w.row(1)).badge, "Queued")

        harness.openMediaGate()
        tryCompare(w.manager, "completedCount", 2, 10000)
        compare(w.find("overallPercent").text, "100%")
        compare(headerButtons(w), ["clearFinishedButton"])
        click(w.find("clearFinishedButton"))
        compare(w.manager.items.count, 0)
        verify(!w.manager.isPresented && !w.queue.visible, "clearing everything closes the sheet")
    }

    // A confirmed download ends as a file in the chosen folder, which the row opens and shows.
    function test_savedFileReachesTheChosenFolder() {
        const w = openQueue()
        const folder = harness.newFolder("chosen")
        verify(w.root.destination.adoptFolder(folder))
        harness.forgetOpenedUrls()
        w.manager.enqueue([harness.mediaReel("e2e", "video.mp4")], "720p")
        tryCompare(w.manager, "completedCount", 1, 10000)
        waitForRows(w, 1)

        const file = folder + "/reel-e2e-720p.mp4"
        compare(harness.fileSize(file), harness.mediaSize())
        const row = w.row(0)
        click(findChild(row, "openButton"))
        compare(harness.openedUrls, [file])
        // No file manager listens here, so showing the file opens its folder.
        click(findChild(row, "revealButton"))
        tryCompare(harness, "openedUrls", [file, folder.toString()], 5000)
        click(w.find("openFolderButton"))
        compare(harness.openedUrls, [file, folder.toString(), folder.toString()])

        // Closing the sheet keeps the queue and its files.
        w.queue.close()
        compare([w.manager.isPresented, w.manager.items.count], [false, 1])
    }

    // A chosen folder that has gone is made again and opened; one that cannot be made says why
    // in the sheet, until a try that works.
    function test_openFolder_data() {
        return rows("tag file note", [["missing", false, ""],
                                      ["a file in its place", true, "is a file, not a folder."]])
    }

    function test_openFolder(data) {
        const w = openQueue()
        const folder = harness.newFolder("taken away " + data.tag)
        verify(w.root.destination.adoptFolder(folder))
        harness.removeFolder(folder, data.file)
        harness.forgetOpenedUrls()
        w.manager.isPresented = true
        const note = w.find("folderNote")
        click(w.find("openFolderButton"))
        compare(harness.openedUrls, data.file ? [] : [folder.toString()])
        compare([harness.isFolder(folder), note.visible], [!data.file, data.file])
        verify(w.find("folderNoteText").text.endsWith(data.note), w.find("folderNoteText").text)
        if (!data.file)
            return
        harness.removeFolder(folder)
        click(w.find("openFolderButton"))
        compare(harness.openedUrls, [folder.toString()])
        verify(!note.visible)
    }
}

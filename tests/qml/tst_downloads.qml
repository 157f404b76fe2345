import QtQuick
import QtTest
import ClipDock

// The download sheet over a real download manager whose transfers come from the local media
// server: what it says about the queue, which actions it offers, and what they do.
TestCase {
    id: testCase
    name: "DownloadSheet"
    when: windowShown

    Component {
        id: mainComponent
        Main { }
    }

    function openWindow(limit) {
        const root = harness.newRoot()
        root.settings.maxConcurrentDownloads = limit === undefined ? 3 : limit
        root.settings.skipSavedReels = false
        const window = createTemporaryObject(mainComponent, testCase, { root: root })
        const sheet = findChild(window, "downloadSheet")
        return {
            root: root, manager: root.downloadManager, sheet: sheet,
            item: name => findChild(sheet.contentItem, name),
            row: index => findChild(sheet.contentItem, "downloadList").itemAtIndex(index),
        }
    }

    // Clicks once the sheet has laid out what the last change showed or hid.
    function click(item) {
        verify(item.visible)
        waitForRendering(item)
        mouseClick(item)
    }

    // The list lays its rows out on the next frame after they arrive.
    function waitForRows(w, count) {
        tryVerify(() => {
            for (let i = 0; i < count; ++i) {
                if (!w.row(i))
                    return false
            }
            return true
        })
    }

    // What a row shows: its badge and which actions it offers.
    function rowLooks(row) {
        const actions = ["cancelButton", "openButton", "revealButton", "retryButton"]
                .filter(name => findChild(row, name).visible)
        return { badge: findChild(row, "badgeText").text, actions: actions,
                 message: findChild(row, "messageText").visible ? findChild(row, "messageText").text : "" }
    }

    function headerButtons(w) {
        return ["stopAllButton", "retryFailedButton", "clearFinishedButton"]
                .filter(name => w.item(name).visible)
    }

    // The header's actions keep one row inside the sheet, clear of the status line, at the
    // sheet's default width and its smallest.
    function verifyHeaderFits(w) {
        const box = item => {
            const p = item.mapToItem(null, 0, 0)
            return { left: p.x, top: p.y, right: p.x + item.width, bottom: p.y + item.height }
        }
        const apart = (a, b) => a.right <= b.left + 0.5 || b.right <= a.left + 0.5
                                || a.bottom <= b.top + 0.5 || b.bottom <= a.top + 0.5
        for (const width of [w.sheet.width, w.sheet.minimumWidth]) {
            w.sheet.width = width
            waitForRendering(w.sheet.contentItem)
            const buttons = headerButtons(w).map(name => box(w.item(name)))
            const status = box(w.item("statusLine"))
            for (const b of buttons) {
                compare(b.top, buttons[0].top, "one row at " + width)
                verify(b.left >= 0 && b.right <= width, "inside at " + width)
                verify(apart(b, status), "clear of the status line at " + width)
            }
        }
    }

    function test_sheetShowsTheQueue_data() {
        return [
            { tag: "empty", limit: 3, files: [], settled: m => true,
              status: "0 of 0 downloaded", percent: "0%", buttons: [], rows: [] },
            // The first transfer stops at a quarter of its file: 25 % of one item of two.
            { tag: "one running, one waiting", limit: 1, files: ["stalled.mp4", "stalled.mp4"],
              settled: m => m.overallPercent === 12,
              status: "2 in progress · 0 of 2 done", percent: "12%", buttons: ["stopAllButton"],
              rows: [{ badge: "25%", actions: ["cancelButton"], message: "" },
                     { badge: "Queued", actions: ["cancelButton"], message: "" }] },
            { tag: "saved and failed", limit: 3, files: ["video.mp4", "missing.mp4"],
              settled: m => m.activeCount === 0,
              status: "1 done · 1 failed", percent: "50%",
              buttons: ["retryFailedButton", "clearFinishedButton"],
              rows: [{ badge: "Saved", actions: ["openButton", "revealButton"], message: "" },
                     { badge: "Failed", actions: ["retryButton"], message: "HTTP 404" }] },
            { tag: "saved, failed and running", limit: 3,
              files: ["video.mp4", "missing.mp4", "stalled.mp4"],
              settled: m => m.completedCount === 1 && m.failedCount === 1 && m.overallPercent === 41,
              status: "1 in progress · 1 of 3 done", percent: "41%",
              buttons: ["stopAllButton", "retryFailedButton", "clearFinishedButton"],
              rows: [{ badge: "Saved", actions: ["openButton", "revealButton"], message: "" },
                     { badge: "Failed", actions: ["retryButton"], message: "HTTP 404" },
                     { badge: "25%", actions: ["cancelButton"], message: "" }] },
            // The first reel was saved by an earlier run: it counts as done at once.
            { tag: "already saved and running", limit: 3, saved: 1,
              files: ["video.mp4", "stalled.mp4"],
              settled: m => m.overallPercent === 62,
              status: "1 in progress · 1 of 2 done", percent: "62%",
              buttons: ["stopAllButton", "clearFinishedButton"],
              rows: [{ badge: "Already saved", actions: ["openButton", "revealButton"], message: "" },
                     { badge: "25%", actions: ["cancelButton"], message: "" }] },
        ]
    }

    function test_sheetShowsTheQueue(data) {
        const w = openWindow(data.limit)
        const reels = data.files.map((file, i) => harness.mediaReel(data.tag + i, file))
        if (data.saved) {
            w.manager.enqueue(reels.slice(0, data.saved), "720p")
            tryCompare(w.manager, "completedCount", data.saved, 10000)
            w.manager.clearFinished()
            w.root.settings.skipSavedReels = true
        }
        verify(!w.sheet.visible)
        w.manager.enqueue(reels, "720p")
        verify(w.sheet.visible, "every enqueue opens the sheet, an empty one too")
        tryVerify(() => data.settled(w.manager), 10000)
        waitForRows(w, data.rows.length)

        tryCompare(w.item("statusLine"), "text", data.status)
        tryCompare(w.item("overallPercent"), "text", data.percent)
        compare(headerButtons(w), data.buttons)
        verifyHeaderFits(w)
        compare(w.item("downloadList").count, data.rows.length)
        for (let i = 0; i < data.rows.length; ++i) {
            const expected = data.rows[i]
            // A row's progress is announced at most ten times a second, the overall one at once.
            tryCompare(findChild(w.row(i), "badgeText"), "text", expected.badge, 5000, "row " + i)
            const looks = rowLooks(w.row(i))
            compare(looks.actions, expected.actions, "row " + i)
            // A failed row says why, word for word as the transfer put it.
            verify(looks.message.startsWith(expected.message), looks.message)
            compare(looks.message === "", expected.message === "")
        }
        w.manager.stopAll()
        w.root.settings.skipSavedReels = false
    }

    // The header's actions act on the whole queue, a row's on its own item.
    function test_actions() {
        const w = openWindow(1)
        w.manager.enqueue([harness.mediaReel("act1", "gated.mp4"), harness.mediaReel("act2", "gated.mp4")],
                          "720p")
        tryCompare(w.manager, "activeCount", 2)
        waitForRows(w, 2)

        click(w.item("stopAllButton"))
        compare(rowLooks(w.row(0)), { badge: "Failed", actions: ["retryButton"], message: "Stopped" })
        compare(rowLooks(w.row(1)).message, "Stopped")
        compare(headerButtons(w), ["retryFailedButton", "clearFinishedButton"])

        click(w.item("retryFailedButton"))
        compare(w.manager.activeCount, 2)
        compare(rowLooks(w.row(1)).badge, "Queued")

        click(findChild(w.row(1), "cancelButton"))
        compare(rowLooks(w.row(1)), { badge: "Failed", actions: ["retryButton"], message: "Cancelled" })
        click(findChild(w.row(1), "retryButton"))
        compare(rowLooks(w.row(1)).badge, "Queued")

        harness.openMediaGate()
        tryCompare(w.manager, "completedCount", 2, 10000)
        compare(w.item("overallPercent").text, "100%")
        compare(headerButtons(w), ["clearFinishedButton"])

        click(w.item("clearFinishedButton"))
        compare(w.manager.items.count, 0)
        verify(!w.manager.isPresented, "clearing everything closes the sheet")
        verify(!w.sheet.visible)
    }

    // A confirmed download ends as a file in the chosen folder, which the row opens and shows.
    function test_savedFileReachesTheChosenFolder() {
        const w = openWindow()
        const folder = harness.newFolder("chosen")
        verify(w.root.destination.adoptFolder(folder))
        harness.forgetOpenedUrls()
        w.manager.enqueue([harness.mediaReel("e2e", "video.mp4")], "720p")
        tryCompare(w.manager, "completedCount", 1, 10000)
        waitForRows(w, 1)

        const file = folder + "/reel-e2e-720p.mp4"
        compare(harness.fileSize(file), harness.mediaSize())
        const row = w.row(0)
        compare(rowLooks(row).badge, "Saved")
        compare(findChild(row, "revealButton").text, FileActions.revealLabel)

        click(findChild(row, "openButton"))
        compare(harness.openedUrls, [file])
        // No file manager listens here, so showing the file opens its folder.
        click(findChild(row, "revealButton"))
        tryCompare(harness, "openedUrls", [file, folder.toString()], 5000)
        click(w.item("openFolderButton"))
        compare(harness.openedUrls, [file, folder.toString(), folder.toString()])

        // Closing the sheet keeps the queue and its files.
        w.sheet.close()
        verify(!w.manager.isPresented)
        compare(w.manager.items.count, 1)
    }

    // A chosen folder that has gone is made again and opened; one that cannot be made says why
    // in the sheet, until a try that works.
    function test_openFolder_data() {
        return [
            { tag: "missing", file: false, opened: true, note: "" },
            { tag: "a file in its place", file: true, opened: false, note: "is a file, not a folder." },
        ]
    }

    function test_openFolder(data) {
        const w = openWindow()
        const folder = harness.newFolder("taken away " + data.tag)
        verify(w.root.destination.adoptFolder(folder))
        harness.removeFolder(folder, data.file)
        harness.forgetOpenedUrls()
        w.manager.isPresented = true
        const note = w.item("folderNote")
        verify(!note.visible)
        click(w.item("openFolderButton"))
        compare(harness.openedUrls, data.opened ? [folder.toString()] : [])
        compare(harness.isFolder(folder), data.opened)
        compare(note.visible, !data.opened)
        verify(w.item("folderNoteText").text.endsWith(data.note), w.item("folderNoteText").text)
        if (data.opened)
            return
        harness.removeFolder(folder)
        click(w.item("openFolderButton"))
        compare(harness.openedUrls, [folder.toString()])
        verify(!note.visible)
        w.manager.isPresented = false
    }
}

import QtQuick
import QtTest
import ClipDock
import "../support"

// One person's way through the window, by its controls only: a handle typed and submitted, two
// reels of the demo profile chosen by long press and click, a quality picked and the download
// confirmed, ending as files in the chosen folder.
ScreenTestCase {
    id: testCase
    name: "Journey"

    function test_searchChooseAndDownload() {
        const w = openWindow()
        const vm = w.vm
        const folder = harness.newFolder("journey")
        verify(w.root.destination.adoptFolder(folder))

        // Search: the field has focus at start; Return submits.
        tryVerify(() => findChild(w.item("searchView"), "linkField").activeFocus)
        type("nasa")
        keyClick(Qt.Key_Return)
        tryCompare(vm, "phase", ReelsViewModel.Loaded, 5000)
        tryCompare(vm, "isLoadingMore", false, 5000)

        const profile = w.item("profileView")
        tryCompare(profile, "x", 0, 3000)
        const view = name => findChild(profile, name)
        tryVerify(() => view("reelGrid") && view("reelGrid").count === vm.reelCount)
        const card = index => {
            view("reelGrid").positionViewAtIndex(index, GridView.Contain)
            return view("reelGrid").itemAtIndex(index)
        }

        // Choose: a long press starts selection with that reel; a click adds another.
        longPress(card(1))
        click(card(2))
        compare(vm.selectedCount, 2)
        const chosen = vm.selectedIDs

        // Download at 480p.
        click(view("mainDownloadButton"))
        const options = view("qualitySheet")
        tryCompare(options, "visible", true)
        click(findChild(options.contentItem, "quality 480p"))
        click(findChild(options.contentItem, "downloadButton"))
        compare(w.manager.itemCount, 2)
        const queue = w.sheet("downloadSheet")
        tryCompare(queue, "visible", true)
        compare(queue.transientParent, w.window, "the options closed before the queue opened")
        tryCompare(w.manager, "completedCount", 2, 10000)
        compare(w.manager.failedCount, 0)
        for (const id of chosen)
            compare(harness.fileSize(folder + "/reel-" + id + "-480p.mp4"), harness.sampleMediaSize())
    }
}

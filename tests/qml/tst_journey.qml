import QtQuick
import QtTest
import ClipDock

// One person's way through the window, by its controls only: a handle typed and submitted, the
// demo profile browsed in both layouts, a reel previewed, two reels chosen by long press and
// click, a quality picked and the download confirmed, ending as files in the chosen folder.
TestCase {
    id: testCase
    name: "Journey"
    when: windowShown

    Component {
        id: mainComponent
        Main { }
    }

    function click(item) {
        verify(item, "control present")
        waitForRendering(item)
        mouseClick(item)
    }

    function longPress(item) {
        mousePress(item)
        wait(400)
        mouseRelease(item)
    }

    function test_searchBrowseAndDownload() {
        const root = harness.newRoot()
        const window = createTemporaryObject(mainComponent, testCase, { root: root })
        const vm = root.viewModel
        const folder = harness.newFolder("journey")
        verify(root.destination.adoptFolder(folder))

        // Search: the field has focus at start; Return submits.
        const search = findChild(window.contentItem, "searchView")
        const field = findChild(search, "linkField")
        tryVerify(() => field.activeFocus)
        keyClick("n")
        keyClick("a")
        keyClick("s")
        keyClick("a")
        compare(vm.inputText, "nasa")
        keyClick(Qt.Key_Return)
        compare(vm.phase, ReelsViewModel.Loading)
        tryCompare(findChild(search, "mainButtonLabel"), "text", "Fetching reels…")
        tryCompare(vm, "phase", ReelsViewModel.Loaded, 5000)
        tryCompare(vm, "isLoadingMore", false, 5000)

        // Browse: grid, then list, then grid again.
        const profile = findChild(window.contentItem, "profileView")
        tryCompare(profile, "x", 0, 3000)
        const grid = () => findChild(profile, "reelGrid")
        tryVerify(() => grid() && grid().count === vm.reelCount)
        click(findChild(profile, "listButton"))
        compare(vm.layout, ReelsViewModel.List)
        tryVerify(() => findChild(profile, "reelList") && findChild(profile, "reelList").count === vm.reelCount)
        click(findChild(profile, "gridButton"))
        compare(vm.layout, ReelsViewModel.Grid)
        tryVerify(() => grid() && grid().count === vm.reelCount)

        // Preview: a tap plays the reel; its Download closes the player and offers the options.
        const card = index => {
            grid().positionViewAtIndex(index, GridView.Contain)
            return grid().itemAtIndex(index)
        }
        click(card(0))
        verify(vm.hasPlayingReel)
        const player = findChild(window, "playerSheet")
        tryCompare(player, "visible", true)
        click(findChild(player.contentItem, "downloadButton"))
        verify(!vm.hasPlayingReel)
        verify(vm.showingQualitySheet)
        const options = findChild(profile, "qualitySheet")
        tryCompare(options, "visible", true)
        click(findChild(options.contentItem, "cancelButton"))
        verify(!vm.showingQualitySheet)

        // Choose: a long press starts selection with that reel; a click adds another.
        longPress(card(1))
        verify(vm.isSelectionMode)
        click(card(2))
        compare(vm.selectedCount, 2)
        const chosen = vm.selectedIDs
        compare(findChild(profile, "mainDownloadLabel").text, vm.primaryActionLabel)

        // Download at 480p.
        click(findChild(profile, "mainDownloadButton"))
        tryCompare(options, "visible", true)
        click(findChild(options.contentItem, "quality 480p"))
        compare(vm.selectedQuality, "480p")
        click(findChild(options.contentItem, "downloadButton"))
        verify(!vm.showingQualitySheet)
        verify(!vm.isSelectionMode, "confirming leaves selection mode")

        const manager = root.downloadManager
        compare(manager.itemCount, 2)
        const queue = findChild(window, "downloadSheet")
        tryCompare(queue, "visible", true)
        compare(queue.transientParent, window, "the options closed before the queue opened")
        tryCompare(manager, "completedCount", 2, 10000)
        compare(manager.failedCount, 0)
        for (const id of chosen)
            compare(harness.fileSize(folder + "/reel-" + id + "-480p.mp4"), harness.sampleMediaSize())
    }
}

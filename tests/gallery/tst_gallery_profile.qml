import QtQuick
import QtTest
import ClipDock

// Renders the profile screen and its download options in their representative states and saves
// each as a PNG. The profile, its pictures and its media come from a loopback fixture.
Item {
    id: top
    width: 460
    height: 820

    TestCase {
        id: gallery
        name: "ProfileGallery"
        when: windowShown

        Component {
            id: profileComponent
            ProfileView { width: 460; height: 820 }
        }

        // 30 reels, one posted every five days; reels 0 and 1 saved, reel 2 downloading.
        function open(options) {
            const opts = options || {}
            const f = harness.newProfileFixture()
            const ages = []
            for (let i = 0; i < 30; ++i)
                ages.push(i * 5)
            f.load(opts.count || 30, Object.assign({ daysAgo: ages, stalled: [2], followers: 1540000,
                                                     displayName: "Northern Lights Daily",
                                                     username: "northern.lights" }, opts))
            if (opts.failure)
                f.fail(opts.failure)
            else if (!opts.loading)
                f.finish()
            const screen = createTemporaryObject(profileComponent, top, {
                viewModel: f.viewModel, downloadManager: f.downloadManager, destination: f.destination,
                width: opts.width || 460, height: opts.height || 820 })
            if (opts.downloads !== false) {
                f.downloadManager.enqueue([f.reel(0), f.reel(1), f.reel(2)], "720p")
                f.downloadManager.isPresented = false
                tryVerify(() => ProfilePresentation.downloadKind(f.downloadManager.stateFor("reel-1")) === "completed", 5000)
                tryVerify(() => ProfilePresentation.downloadKind(f.downloadManager.stateFor("reel-2")) === "downloading", 5000)
            }
            waitForRendering(screen)
            return { fixture: f, vm: f.viewModel, screen: screen,
                     sheet: name => findChild(screen, name) }
        }

        function shoot(item, name, settleMs) {
            wait(settleMs === undefined ? 900 : settleMs)
            grabImage(item).save(harness.galleryDir + "/" + name + ".png")
        }

        function test_grid_data() {
            return [ { tag: "2", columns: 2 }, { tag: "4", columns: 4 }, { tag: "10", columns: 10 },
                     { tag: "10-smallest", columns: 10, width: 420, height: 720 } ]
        }

        function test_grid(data) {
            const w = open({ width: data.width, height: data.height })
            w.vm.gridColumns = data.columns
            shoot(w.screen, "profile-grid-" + data.tag)
        }

        // Signed out: the demo source's made-up profile, marked as such.
        function test_demo() {
            const root = harness.newRoot()
            root.viewModel.inputText = "@northern.lights"
            root.viewModel.search()
            tryCompare(root.viewModel, "phase", ReelsViewModel.Loaded, 5000)
            tryCompare(root.viewModel, "isLoadingMore", false, 5000)
            const screen = createTemporaryObject(profileComponent, top, {
                viewModel: root.viewModel, downloadManager: root.downloadManager,
                destination: root.destination })
            waitForRendering(screen)
            shoot(screen, "profile-demo")
        }

        function test_list() {
            const w = open()
            w.vm.layout = ReelsViewModel.List
            shoot(w.screen, "profile-list")
        }

        function test_selection_data() {
            return [ { tag: "grid", layout: ReelsViewModel.Grid }, { tag: "list", layout: ReelsViewModel.List } ]
        }

        function test_selection(data) {
            const w = open()
            w.vm.layout = data.layout
            w.vm.isSelectionMode = true
            w.vm.toggleSelection("reel-1")
            w.vm.toggleSelection("reel-4")
            shoot(w.screen, "profile-selection-" + data.tag)
        }

        function test_dateFilter() {
            const w = open()
            w.vm.setDateFilterKind(3) // last 30 days: 7 of 30
            shoot(w.screen, "profile-filter-30-days")
        }

        // More reels on the way: the pill beside the count, the controls on the same line. At the
        // default and the smallest window size.
        function test_loadingMore_data() {
            return [ { tag: "default", name: "", width: 460, height: 820 },
                     { tag: "smallest", name: "-smallest", width: 420, height: 720 } ]
        }

        function test_loadingMore(data) {
            const w = open({ loading: true, count: 12, thumbnails: "stalled", downloads: false,
                             width: data.width, height: data.height })
            shoot(w.screen, "profile-loading-more" + data.name)
        }

        // A later page failed: the reels stay, the note sits where "Loading more…" was. At the
        // default and the smallest window size.
        function test_loadingMoreFailed_data() {
            return [ { tag: "default", width: 460, height: 820, layout: ReelsViewModel.Grid },
                     { tag: "smallest", width: 420, height: 720, layout: ReelsViewModel.Grid },
                     { tag: "smallest-list", width: 420, height: 720, layout: ReelsViewModel.List } ]
        }

        function test_loadingMoreFailed(data) {
            const w = open({ count: 24, failure: "Too many requests — try again in a moment.",
                             width: data.width, height: data.height })
            w.vm.layout = data.layout
            shoot(w.screen, "profile-more-failed-" + data.tag)
        }

        // The platform asked for a pause: the reels stay, the wait counts down below the
        // controls with a way to stop it. At the default and the smallest window size.
        function test_waiting_data() {
            return [ { tag: "default", width: 460, height: 820 },
                     { tag: "smallest", width: 420, height: 720 } ]
        }

        function test_waiting(data) {
            const w = open({ loading: true, count: 24, downloads: false, width: data.width,
                             height: data.height })
            w.fixture.tellStep("Instagram asked to slow down", 28500)
            shoot(w.screen, "profile-waiting-" + data.tag)
        }

        function test_menus() {
            const w = open({ downloads: false })
            const menu = findChild(w.screen, "dateMenu")
            mouseClick(findChild(w.screen, "dateMenuButton"))
            tryCompare(menu, "opened", true)
            shoot(w.screen, "profile-date-menu", 300)
            menu.close()
            const columns = findChild(w.screen, "columnsMenu")
            mouseClick(findChild(w.screen, "columnsMenuButton"))
            tryCompare(columns, "opened", true)
            shoot(w.screen, "profile-columns-menu", 300)
            columns.close()
        }

        // "empty": nothing was posted today, so the filter leaves nothing to download; also at
        // the sheet's smallest width.
        function test_options_data() {
            const olderThanToday = Array.from({ length: 30 }, (_, i) => 1 + i * 5)
            return [
                { tag: "filtered", selected: [], filter: 3 },
                { tag: "selection", selected: ["reel-3", "reel-8"], filter: 0 },
                { tag: "empty", selected: [], filter: 1, daysAgo: olderThanToday },
                { tag: "empty-smallest", selected: [], filter: 1, daysAgo: olderThanToday,
                  smallest: true },
            ]
        }

        function test_options(data) {
            const w = open(data.daysAgo ? { downloads: false, daysAgo: data.daysAgo }
                                        : { downloads: false })
            w.vm.setDateFilterKind(data.filter)
            for (const id of data.selected)
                w.vm.toggleSelection(id)
            w.vm.selectedQuality = "1080p"
            mouseClick(findChild(w.screen, "mainDownloadButton"))
            const sheet = w.sheet("qualitySheet")
            tryCompare(sheet, "visible", true)
            if (data.smallest)
                sheet.width = sheet.minimumWidth
            shoot(sheet.contentItem, "options-" + data.tag)
            w.vm.showingQualitySheet = false
        }

        function test_customRange_data() {
            return [ { tag: "valid", start: 20, end: 5 }, { tag: "warning", start: 3, end: 9 } ]
        }

        function test_customRange(data) {
            const w = open({ downloads: false })
            w.vm.customRangeStart = new Date(Date.now() - data.start * 86400000)
            w.vm.customRangeEnd = new Date(Date.now() - data.end * 86400000)
            w.vm.showingCustomDateRange = true
            const sheet = w.sheet("customRangeSheet")
            tryCompare(sheet, "visible", true)
            shoot(sheet.contentItem, "custom-range-" + data.tag)
            if (data.tag === "valid") {
                const field = findChild(sheet.contentItem, "dayField")
                mouseClick(field)
                shoot(sheet.contentItem, "custom-range-calendar", 400)
            }
            w.vm.showingCustomDateRange = false
        }
    }
}

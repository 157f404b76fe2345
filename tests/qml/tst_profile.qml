import QtQuick
import QtTest
import ClipDock

Item {
    id: top
    width: 460
    height: 820

    TestCase {
        id: testCase
        name: "ProfileScreen"
        when: windowShown

        Component {
            id: profileComponent
            ProfileView { width: 460; height: 820 }
        }

        // Reels posted 1, 3, 10, 40 and 100 days ago unless a test says otherwise.
        function makeScreen(count, options) {
            const opts = options || {}
            if (opts.daysAgo === undefined)
                opts.daysAgo = [1, 3, 10, 40, 100]
            const f = harness.newProfileFixture()
            f.load(count === undefined ? 5 : count, opts)
            const screen = createTemporaryObject(profileComponent, top, {
                viewModel: f.viewModel, downloadManager: f.downloadManager,
                destination: f.destination, width: opts.width || 460 })
            const s = { fixture: f, vm: f.viewModel, manager: f.downloadManager, screen: screen,
                        item: name => findChild(screen, name) }
            s.cell = function (index) {
                const view = s.item(s.vm.layout === ReelsViewModel.Grid ? "reelGrid" : "reelList")
                tryVerify(() => view.itemAtIndex(index) !== null)
                return findChild(view.itemAtIndex(index),
                                 s.vm.layout === ReelsViewModel.Grid ? "reelCard" : "reelRow")
            }
            s.sheet = name => findChild(screen, name).contentItem
            waitForRendering(screen)
            return s
        }

        // Whether the item's box lies inside the other's, both in one window.
        function within(item, box) {
            const a = item.mapToItem(null, 0, 0)
            const b = box.mapToItem(null, 0, 0)
            return a.x >= b.x - 0.5 && a.y >= b.y - 0.5 && a.x + item.width <= b.x + box.width + 0.5
                    && a.y + item.height <= b.y + box.height + 0.5
        }

        // A text is drawn inside its own box: shrunk or cut short rather than spilling out.
        function verifyDrawnWithin(text, box) {
            verify(within(text, box), text.objectName + " \"" + text.text + "\" stays inside")
            verify(text.contentWidth <= text.width + 0.5, text.objectName + " fits its box")
        }

        function choose(menu, button, title) {
            mouseClick(button)
            tryCompare(menu, "opened", true)
            for (let i = 0; i < menu.count; ++i) {
                const entry = menu.itemAt(i)
                if (entry && entry.text === title) {
                    mouseClick(entry)
                    tryCompare(menu, "visible", false)
                    return entry
                }
            }
            fail("no entry " + title)
        }

        // The count follows the filter; the menu ticks the current preset.
        function test_dateMenu_data() {
            return [
                { tag: "last 7", title: "Last 7 days", label: "7 days", count: "2 of 5 reels" },
                { tag: "today", title: "Today", label: "Today", count: "0 of 5 reels" },
                { tag: "all", title: "All time", label: "All time", count: "5 reels" },
            ]
        }

        function test_dateMenu(data) {
            const s = makeScreen()
            s.vm.setDateFilterKind(4) // last 90, so that "All time" is a change too
            const entry = choose(s.item("dateMenu"), s.item("dateMenuButton"), data.title)
            compare(s.vm.dateFilter.shortLabel, data.label)
            compare(s.item("dateMenuLabel").text, data.label)
            compare(s.item("reelCountText").text, data.count)
            compare(s.item("reelGrid").count, s.vm.filteredModel.count)
            verify(entry.current, "the chosen preset carries the checkmark")

            choose(s.item("dateMenu"), s.item("dateMenuButton"), "Custom range…")
            verify(s.vm.showingCustomDateRange)
            compare(s.vm.dateFilter.shortLabel, data.label, "the custom entry only opens the sheet")
            s.vm.showingCustomDateRange = false
        }

        // Columns: at least two are shown, the label keeps what is stored. A card's figures stay
        // inside it, also at ten in the smallest window.
        function test_columns_data() {
            return [
                { tag: "2", stored: 2, columns: 2, gap: 12, compact: false },
                { tag: "10", stored: 10, columns: 10, gap: 8, compact: true },
                { tag: "10, smallest window", stored: 10, columns: 10, gap: 8, compact: true, width: 420 },
                { tag: "0 stored", stored: 0, columns: 2, gap: 12, compact: false },
            ]
        }

        function test_columns(data) {
            const s = makeScreen(24, { width: data.width })
            if (data.stored >= 2 && data.stored !== s.vm.gridColumns)
                choose(s.item("columnsMenu"), s.item("columnsMenuButton"), data.stored + " per row")
            else
                s.vm.gridColumns = data.stored
            compare(s.vm.gridColumns, data.stored)
            const grid = s.item("reelGrid")
            waitForRendering(grid)
            compare(grid.columns, data.columns)
            compare(grid.gap, data.gap)
            compare(s.item("columnsMenuLabel").text, String(data.stored))
            const first = s.cell(0)
            const second = s.cell(1)
            compare(first.compact, data.compact)
            compare(findChild(first, "savedText").visible, false)
            // Cards side by side, 20 from the left edge, one gap apart, the last 20 from the right.
            compare(first.mapToItem(s.screen, 0, 0).x, 20)
            fuzzyCompare(second.mapToItem(s.screen, 0, 0).x - first.mapToItem(s.screen, 0, 0).x - first.width,
                         data.gap, 0.01)
            fuzzyCompare(data.columns * first.width + (data.columns - 1) * data.gap,
                         s.screen.width - 40, 0.01)
            for (const name of ["viewCountText", "durationText"])
                verifyDrawnWithin(findChild(first, name), first)
        }

        // "Select all" takes every loaded reel, also those the filter hides.
        function test_selectAll() {
            const s = makeScreen()
            s.vm.setDateFilterKind(2) // last 7: two of five shown
            verify(!s.item("selectAllButton").visible)
            mouseClick(s.item("selectButton"))
            verify(s.vm.isSelectionMode)
            compare(s.item("selectButtonLabel").text, "Done")
            compare(s.item("selectAllLabel").text, "Select all")
            mouseClick(s.item("selectAllButton"))
            compare(s.vm.selectedCount, 5)
            compare(s.item("selectedCountText").text, "5 selected")
            compare(s.item("selectAllLabel").text, "Deselect all")
            compare(s.item("mainDownloadLabel").text, "Download 5")
            mouseClick(s.item("selectAllButton"))
            compare(s.vm.selectedCount, 0)
            verify(s.vm.isSelectionMode)
            s.vm.toggleSelection("reel-0")
            mouseClick(s.item("selectButton"))
            verify(!s.vm.isSelectionMode)
            compare(s.vm.selectedCount, 0, "leaving selection mode clears the selection")
            compare(s.item("mainDownloadLabel").text, "Download All")
        }

        // Taps and long presses on cards and rows.
        function test_gestures_data() {
            return [
                { tag: "grid tap plays", layout: ReelsViewModel.Grid, selecting: false, preselected: false,
                  gesture: "tap", mode: false, selected: false, playing: true },
                { tag: "grid tap selects", layout: ReelsViewModel.Grid, selecting: true, preselected: false,
                  gesture: "tap", mode: true, selected: true, playing: false },
                { tag: "grid tap deselects", layout: ReelsViewModel.Grid, selecting: true, preselected: true,
                  gesture: "tap", mode: true, selected: false, playing: false },
                { tag: "grid long press enters selection", layout: ReelsViewModel.Grid, selecting: false,
                  preselected: false, gesture: "long", mode: true, selected: true, playing: false },
                { tag: "row tap does nothing", layout: ReelsViewModel.List, selecting: false,
                  preselected: false, gesture: "tap", mode: false, selected: false, playing: false },
                { tag: "row tap selects", layout: ReelsViewModel.List, selecting: true,
                  preselected: false, gesture: "tap", mode: true, selected: true, playing: false },
                { tag: "row thumbnail plays", layout: ReelsViewModel.List, selecting: false,
                  preselected: false, gesture: "thumbnail", mode: false, selected: false, playing: true },
                { tag: "row thumbnail selects while selecting", layout: ReelsViewModel.List, selecting: true,
                  preselected: false, gesture: "thumbnail", mode: true, selected: true, playing: false },
                { tag: "row long press enters selection", layout: ReelsViewModel.List, selecting: false,
                  preselected: false, gesture: "long", mode: true, selected: true, playing: false },
            ]
        }

        function test_gestures(data) {
            const s = makeScreen()
            s.vm.layout = data.layout
            s.vm.isSelectionMode = data.selecting
            if (data.preselected)
                s.vm.toggleSelection("reel-1")
            const target = s.cell(1)
            // Rows are tapped beside their thumbnail, cards anywhere.
            const point = data.layout === ReelsViewModel.List ? { x: target.width / 2, y: 20 }
                                                              : { x: target.width / 2, y: target.height / 2 }
            if (data.gesture === "tap")
                mouseClick(target, point.x, point.y)
            else if (data.gesture === "thumbnail")
                mouseClick(findChild(target, "rowThumbnail"))
            else {
                mousePress(target, point.x, point.y)
                wait(400)
                mouseRelease(target, point.x, point.y)
            }
            compare(s.vm.isSelectionMode, data.mode)
            compare(s.vm.isSelected("reel-1"), data.selected)
            compare(s.vm.hasPlayingReel, data.playing)
            if (data.playing)
                compare(s.vm.playingReel.id, "reel-1")
            compare(target.selected, data.selected)
        }

        function test_layoutToggle() {
            const s = makeScreen()
            mouseClick(s.item("listButton"))
            compare(s.vm.layout, ReelsViewModel.List)
            verify(!s.item("columnsMenuButton").visible, "columns are a grid's option")
            compare(findChild(s.cell(2), "reelNumberText").text, "Reel #3")
            mouseClick(s.item("listButton"))
            compare(s.vm.layout, ReelsViewModel.List)
            mouseClick(s.item("gridButton"))
            compare(s.vm.layout, ReelsViewModel.Grid)
            verify(s.item("columnsMenuButton").visible)
        }

        // Pages arriving keep the cells and the scroll position; the pill shows while they may,
        // beside the count and the controls on one line. When loading ends nothing moves; a page
        // that fails keeps the reels and says why, whole, on a line below the controls; a new
        // search clears it.
        function test_pagesArrive_data() {
            return [ { tag: "grid", layout: ReelsViewModel.Grid, view: "reelGrid", failure: "" },
                     { tag: "list", layout: ReelsViewModel.List, view: "reelList", failure: "" },
                     { tag: "grid, smallest window", layout: ReelsViewModel.Grid, view: "reelGrid",
                       failure: "", width: 420 },
                     { tag: "grid, the next page fails", layout: ReelsViewModel.Grid, view: "reelGrid",
                       failure: "Too many requests — try again in a moment." },
                     { tag: "list, a long failure", layout: ReelsViewModel.List, view: "reelList",
                       failure: "HTTP 500: " + "The server could not answer this request. ".repeat(4) },
                     { tag: "list, smallest window, the next page fails", layout: ReelsViewModel.List,
                       view: "reelList", failure: "Too many requests — try again in a moment.",
                       width: 420 } ]
        }

        function test_pagesArrive(data) {
            const s = makeScreen(24, { daysAgo: [], width: data.width })
            s.vm.layout = data.layout
            const view = s.item(data.view)
            tryCompare(s.item("loadingMorePill"), "visible", true)
            view.contentY = view.contentY + 900
            waitForRendering(view)
            const y = view.contentY
            const cell = view.itemAtIndex(6)
            verify(cell !== null)
            s.fixture.loadMore(12)
            compare(view.count, 36)
            compare(view.contentY, y)
            verify(view.itemAtIndex(6) === cell, "the cell is kept")
            compare(s.item("reelCountText").text, "36 reels")

            view.contentY = view.originY
            waitForRendering(view)
            const first = view.itemAtIndex(0)
            const place = item => { const p = item.mapToItem(s.screen, 0, 0); return [p.x, p.y] }
            const where = name => place(s.item(name))
            const pill = s.item("loadingMorePill")
            const middle = item => item.mapToItem(s.screen, 0, item.height / 2).y
            fuzzyCompare(middle(s.item("dateMenuButton")), middle(s.item("reelCountText")), 1, "one line")
            verify(place(pill)[0] + pill.width <= where("dateMenuButton")[0], "clear of the controls")
            const before = [where("reelCountText"), where("dateMenuButton"), place(first)]
            if (data.failure === "")
                s.fixture.finish()
            else
                s.fixture.fail(data.failure)
            tryCompare(pill, "visible", false)
            const note = s.item("loadingMoreNote")
            compare(note.visible, data.failure !== "")
            compare([where("reelCountText"), where("dateMenuButton")], before.slice(0, 2))
            if (data.failure === "") {
                compare(place(first), before[2])
                return
            }
            tryCompare(note, "opacity", 1)
            compare(s.vm.phase, ReelsViewModel.Loaded)
            compare(view.count, 36)
            const text = s.item("loadingMoreNoteText")
            compare(text.text, data.failure)
            verify(!text.truncated, "the whole reason shows")
            // Below the controls, within the header, and the reels below it.
            const header = s.item("sectionHeader")
            const box = place(note)
            verify(box[1] >= where("dateMenuButton")[1] + s.item("dateMenuButton").height)
            verify(box[0] >= place(header)[0] && box[0] + note.width <= place(header)[0] + header.width + 0.5)
            verify(place(view.itemAtIndex(0))[1] >= box[1] + note.height, "the reels make room")

            s.fixture.load(3)
            tryCompare(note, "visible", false)
        }

        // The pause the platform asked for: counted down on a line below the controls, whole,
        // with the reels below it; "Stop" ends loading and keeps the reels, without an error.
        function test_waitForThePlatform_data() {
            return [ { tag: "grid", layout: ReelsViewModel.Grid, view: "reelGrid" },
                     { tag: "list, smallest window", layout: ReelsViewModel.List, view: "reelList",
                       width: 420 } ]
        }

        function test_waitForThePlatform(data) {
            const s = makeScreen(24, { daysAgo: [], width: data.width })
            s.vm.layout = data.layout
            const view = s.item(data.view)
            const note = s.item("waitNote")
            verify(!note.visible)
            s.fixture.tellStep("Instagram asked to slow down", 30000)
            tryCompare(note, "opacity", 1)
            const text = s.item("waitNoteText")
            compare(text.text, "Instagram asked to slow down — continuing in 30 s")
            tryCompare(text, "text", "Instagram asked to slow down — continuing in 29 s", 3000)
            verify(!text.truncated, "the whole wait shows")
            const top = item => item.mapToItem(s.screen, 0, 0).y
            const button = s.item("dateMenuButton")
            verify(top(note) >= top(button) + button.height, "below the controls")
            verify(within(s.item("stopWaitingButton"), note))
            waitForRendering(view)
            verify(top(view.itemAtIndex(0)) >= top(note) + note.height, "the reels make room")

            mouseClick(s.item("stopWaitingButton"))
            compare(s.vm.waitSecondsLeft, 0)
            verify(!s.vm.isLoadingMore)
            compare(s.vm.phase, ReelsViewModel.Loaded)
            compare(s.vm.loadingMoreError, "")
            tryCompare(note, "visible", false)
            tryCompare(s.item("loadingMorePill"), "visible", false)
            verify(!s.item("loadingMoreNote").visible)
            compare(view.count, 24)
        }

        // A row's own button downloads that reel; the badge counts what is running.
        function test_rowDownloadAndBadge() {
            const s = makeScreen(5, { stalled: [2] })
            s.vm.layout = ReelsViewModel.List
            s.vm.selectedQuality = "720p"
            verify(!s.item("downloadsBadge").visible)
            const row = s.cell(2)
            compare(findChild(row, "rowDownloadIcon").symbol, "arrow.down")
            mouseClick(findChild(row, "rowDownloadButton"))
            compare(s.manager.itemCount, 1)
            verify(s.manager.stateFor("reel-2") !== undefined)
            compare(s.manager.stateFor("reel-1"), undefined)
            tryCompare(s.item("downloadsBadgeText"), "text", "1")
            verify(s.item("downloadsBadge").visible)
            tryCompare(findChild(row, "rowDownloadIcon"), "symbol", "ellipsis", 5000)
            tryCompare(findChild(row, "progressBar"), "visible", true)
            s.manager.isPresented = false
            mouseClick(s.item("downloadsButton"))
            verify(s.manager.isPresented)
            s.manager.stopAll()
            s.manager.isPresented = false
        }

        function test_settingsAndBack() {
            const s = makeScreen()
            let backs = 0
            s.screen.back.connect(() => ++backs)
            mouseClick(s.item("settingsButton"))
            verify(s.vm.showingSettings)
            s.vm.showingSettings = false
            mouseClick(s.item("destinationPill"))
            verify(s.vm.showingSettings)
            s.vm.showingSettings = false
            mouseClick(s.item("backButton"))
            compare(backs, 1)
            compare(s.item("handleTitle").text, "@fixture.reels")
        }

        // A made-up profile says so beside its name and offers the sign-in that shows the real
        // one; a fetched profile shows neither.
        function test_demoProfile_data() {
            return [
                { tag: "instagram demo", link: "@natgeo", platform: "instagram", title: "Instagram" },
                { tag: "facebook demo", link: "facebook.com/natgeo", platform: "facebook", title: "Facebook" },
                { tag: "fetched", link: "" },
            ]
        }

        function test_demoProfile(data) {
            let s = null
            if (data.link === "") {
                s = makeScreen()
            } else {
                const root = harness.newRoot()
                root.viewModel.inputText = data.link
                root.viewModel.search()
                tryCompare(root.viewModel, "hasProfile", true, 5000)
                const screen = createTemporaryObject(profileComponent, top, {
                    viewModel: root.viewModel, downloadManager: root.downloadManager,
                    destination: root.destination })
                waitForRendering(screen)
                s = { vm: root.viewModel, item: name => findChild(screen, name) }
            }
            const demo = data.link !== ""
            compare(s.item("demoBadge").visible, demo)
            compare(s.item("demoNote").visible, demo)
            if (!demo)
                return
            compare(s.item("demoNoteText").text,
                    "Demo profile: sign in to " + data.title + " to see the real one.")
            mouseClick(s.item("demoSignInButton"))
            verify(s.vm.showingLogin)
            compare(s.vm.loginTarget, data.platform)
            s.vm.showingLogin = false
        }
        function openOptions(s) {
            mouseClick(s.item("mainDownloadButton"))
            verify(s.vm.showingQualitySheet)
            const sheet = findChild(s.screen, "qualitySheet")
            tryVerify(() => findChild(sheet, "optionsSubtitle") !== null)
            waitForRendering(sheet.contentItem)
            // Items are found by the window's visual tree, menus among its objects.
            return name => findChild(sheet.contentItem, name) || findChild(sheet, name)
        }

        // The subtitle, the date card and the button follow the batch; confirming enqueues it.
        function test_optionsSheet_data() {
            return [
                { tag: "browsing filter copied", selected: [], filter: 3,
                  subtitle: "3 reels match 30 days", button: "Download 3", card: true },
                { tag: "nothing in range", selected: [], filter: 1, subtitle: "0 reels match Today",
                  button: "Nothing to download", card: true },
                { tag: "selection ignores the filter", selected: ["reel-3", "reel-4"], filter: 2,
                  subtitle: "2 reels selected", button: "Download 2", card: true },
            ]
        }

        function test_optionsSheet(data) {
            const s = makeScreen()
            s.vm.setDateFilterKind(data.filter)
            if (data.selected.length > 0)
                s.vm.isSelectionMode = true
            for (const id of data.selected)
                s.vm.toggleSelection(id)
            const item = openOptions(s)
            compare(item("optionsSubtitle").text, data.subtitle)
            compare(item("downloadButtonLabel").text, data.button)
            // The label and its symbol fit the button, at the default and the smallest width.
            const sheet = findChild(s.screen, "qualitySheet")
            for (const width of [sheet.width, sheet.minimumWidth]) {
                sheet.width = width
                waitForRendering(sheet.contentItem)
                verifyDrawnWithin(item("downloadButtonLabel"), item("downloadButton"))
                verify(within(item("downloadButtonLabel").parent, item("downloadButton")), width)
            }
            compare(item("dateRangeCard").visible, data.selected.length === 0)
            compare(s.vm.downloadDateFilter.shortLabel, s.vm.dateFilter.shortLabel)
            for (const quality of ["1080p", "720p", "480p", "Audio only"])
                verify(item("quality " + quality) !== null, quality)
            mouseClick(item("quality 480p"))
            compare(s.vm.selectedQuality, "480p")

            const count = s.vm.downloadCount
            const button = item("downloadButton")
            compare(button.enabled, count > 0)
            compare(button.opacity, count > 0 ? 1 : 0.5)
            mouseClick(button)
            if (count === 0) {
                verify(s.vm.showingQualitySheet, "a disabled button does nothing")
                mouseClick(item("cancelButton"))
                verify(!s.vm.showingQualitySheet)
                compare(s.manager.itemCount, 0)
                return
            }
            compare(s.manager.itemCount, count)
            verify(!s.vm.showingQualitySheet)
            verify(!s.vm.isSelectionMode, "a confirmed download leaves selection mode")
            compare(s.vm.selectedCount, 0)
            s.manager.stopAll()
            s.manager.isPresented = false
        }

        // The options' date card edits the download filter only, its custom range too.
        function test_optionsDateCard() {
            const s = makeScreen()
            const item = openOptions(s)
            const menu = item("optionsDateMenu")
            choose(menu, item("optionsDateButton"), "Last 7 days")
            compare(item("optionsDateLabel").text, "7 days")
            compare(item("optionsSubtitle").text, "2 reels match 7 days")
            compare(s.vm.dateFilter.shortLabel, "All time")

            s.vm.customRangeStart = new Date(Date.now() - 12 * 86400000)
            s.vm.customRangeEnd = new Date(Date.now() - 2 * 86400000)
            choose(menu, item("optionsDateButton"), "Custom range…")
            const rangeSheet = item("optionsRangeSheet")
            tryCompare(rangeSheet, "visible", true)
            tryVerify(() => findChild(rangeSheet.contentItem, "applyButton") !== null)
            mouseClick(findChild(rangeSheet.contentItem, "applyButton"))
            tryCompare(rangeSheet, "visible", false)
            compare(ProfilePresentation.filterKey(s.vm.downloadDateFilter), "custom")
            compare(ProfilePresentation.filterKey(s.vm.dateFilter), "all")
            compare(item("optionsSubtitle").text, "2 reels match " + s.vm.downloadDateFilter.shortLabel)
            mouseClick(item("cancelButton"))
            verify(!s.vm.showingQualitySheet)
        }

        // A first day after the last warns and holds "Apply" back; the same day is a range.
        function test_customRange_data() {
            const day = 86400000
            const now = Date.now()
            return [
                { tag: "in order", start: now - 10 * day, end: now - 2 * day, valid: true, shown: 2 },
                { tag: "one day", start: now - 3 * day, end: now - 3 * day, valid: true, shown: 1 },
                { tag: "reversed", start: now - 2 * day, end: now - 10 * day, valid: false },
            ]
        }

        function test_customRange(data) {
            const s = makeScreen()
            s.vm.customRangeStart = new Date(data.start)
            s.vm.customRangeEnd = new Date(data.end)
            choose(s.item("dateMenu"), s.item("dateMenuButton"), "Custom range…")
            const sheet = findChild(s.screen, "customRangeSheet")
            tryVerify(() => findChild(sheet.contentItem, "applyButton") !== null)
            const item = name => findChild(sheet.contentItem, name)
            compare(item("rangeWarning").visible, !data.valid)
            compare(item("applyButton").enabled, data.valid)
            compare(findChild(item("fromPicker"), "dayText").text,
                    ProfilePresentation.dayText(s.vm.customRangeStart))
            mouseClick(item("applyButton"))
            compare(s.vm.showingCustomDateRange, !data.valid)
            if (data.valid) {
                compare(ProfilePresentation.filterKey(s.vm.dateFilter), "custom")
                compare(s.vm.filteredModel.count, data.shown)
                return
            }
            // Moving the first day back clears the warning.
            s.vm.customRangeStart = new Date(data.end)
            verify(!item("rangeWarning").visible)
            verify(item("applyButton").enabled)
            mouseClick(item("rangeCancelButton"))
            verify(!s.vm.showingCustomDateRange)
            compare(ProfilePresentation.filterKey(s.vm.dateFilter), "all")
        }
    }
}

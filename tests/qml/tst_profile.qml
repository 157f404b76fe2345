import QtQuick
import QtTest
import ClipDock
import "../support"

ScreenTestCase {
    id: testCase
    name: "ProfileScreen"
    width: 460
    height: 820

    // Reels posted 1, 3, 10, 40 and 100 days ago unless a test says otherwise.
    function makeScreen(count, options) {
        const opts = Object.assign({ daysAgo: [1, 3, 10, 40, 100] }, options)
        const s = fixtureScreen(count === undefined ? 5 : count, opts)
        s.cell = function (index) {
            const grid = s.vm.layout === ReelsViewModel.Grid
            const view = s.item(grid ? "reelGrid" : "reelList")
            tryVerify(() => view.itemAtIndex(index) !== null)
            return findChild(view.itemAtIndex(index), grid ? "reelCard" : "reelRow")
        }
        return s
    }

    // A text is drawn inside its own box: shrunk or cut short rather than spilling out.
    function verifyDrawnWithin(text, box) {
        verify(within(text, box), text.objectName + " \"" + text.text + "\" stays inside")
        verify(text.contentWidth <= text.width + 0.5, text.objectName + " fits its box")
    }

    function choose(menu, button, title) {
        mouseClick(button)
        tryCompare(menu, "opened", true)
        const entry = Array.from({ length: menu.count }, (_, i) => menu.itemAt(i)).find(e => e && e.text === title)
        verify(entry, "an entry " + title)
        mouseClick(entry)
        tryCompare(menu, "visible", false)
        return entry
    }

    // The count follows the filter; the menu ticks the current preset.
    function test_dateMenu_data() {
        return rows("tag label count", [["Last 7 days", "7 days", "2 of 5 reels"],
                                        ["Today", "Today", "0 of 5 reels"], ["All time", "All time", "5 reels"]])
    }

    function test_dateMenu(data) {
        const s = makeScreen()
        s.vm.setDateFilterKind(4) // last 90, so that "All time" is a change too
        const entry = choose(s.item("dateMenu"), s.item("dateMenuButton"), data.tag)
        compare([s.vm.dateFilter.shortLabel, s.item("dateMenuLabel").text, s.item("reelCountText").text],
                [data.label, data.label, data.count])
        compare(s.item("reelGrid").count, s.vm.filteredModel.count)
        verify(entry.current, "the chosen preset carries the checkmark")
    }

    // Columns: at least two are shown, the label keeps what is stored. A card's figures stay
    // inside it, also at ten in the smallest window.
    function test_columns_data() {
        return rows("tag stored columns gap compact width", [
            ["2", 2, 2, 12, false], ["10", 10, 10, 8, true], ["10, smallest window", 10, 10, 8, true, 420],
            ["0 stored", 0, 2, 12, false]])
    }

    function test_columns(data) {
        const s = makeScreen(24, { width: data.width })
        if (data.stored >= 2 && data.stored !== s.vm.gridColumns)
            choose(s.item("columnsMenu"), s.item("columnsMenuButton"), data.stored + " per row")
        else
            s.vm.gridColumns = data.stored
        const grid = s.item("reelGrid")
        waitForRendering(grid)
        compare([grid.columns, grid.gap, s.item("columnsMenuLabel").text],
                [data.columns, data.gap, String(data.stored)])
        const first = s.cell(0)
        const x = item => item.mapToItem(s.screen, 0, 0).x
        compare([first.compact, findChild(first, "savedText").visible], [data.compact, false])
        // Cards side by side, 20 from the left edge, one gap apart, the last 20 from the right.
        compare(x(first), 20)
        fuzzyCompare(x(s.cell(1)) - x(first) - first.width, data.gap, 0.01)
        fuzzyCompare(data.columns * first.width + (data.columns - 1) * data.gap, s.screen.width - 40, 0.01)
        for (const name of ["viewCountText", "durationText"])
            verifyDrawnWithin(findChild(first, name), first)
    }

    // "Select all" takes every loaded reel, also those the filter hides.
    function test_selectAll() {
        const s = makeScreen()
        s.vm.setDateFilterKind(2) // last 7: two of five shown
        verify(!s.item("selectAllButton").visible)
        mouseClick(s.item("selectButton"))
        compare([s.vm.isSelectionMode, s.item("selectButtonLabel").text, s.item("selectAllLabel").text],
                [true, "Done", "Select all"])
        mouseClick(s.item("selectAllButton"))
        compare([s.vm.selectedCount, s.item("selectedCountText").text, s.item("selectAllLabel").text,
                 s.item("mainDownloadLabel").text], [5, "5 selected", "Deselect all", "Download 5"])
        mouseClick(s.item("selectAllButton"))
        compare([s.vm.selectedCount, s.vm.isSelectionMode], [0, true])
        s.vm.toggleSelection("reel-0")
        mouseClick(s.item("selectButton"))
        compare([s.vm.isSelectionMode, s.vm.selectedCount, s.item("mainDownloadLabel").text],
                [false, 0, "Download All"], "leaving selection mode clears the selection")
    }

    // Taps and long presses on cards and rows: what they select and what they play. The layout
    // buttons choose a layout (the one shown, too); columns are a grid's option.
    function test_gestures_data() {
        const G = ReelsViewModel.Grid, L = ReelsViewModel.List
        return rows("tag layout selecting preselected gesture mode selected playing", [
            ["grid tap plays", G, false, false, "tap", false, false, true],
            ["grid tap selects", G, true, false, "tap", true, true, false],
            ["grid tap deselects", G, true, true, "tap", true, false, false],
            ["grid long press enters selection", G, false, false, "long", true, true, false],
            ["row tap does nothing", L, false, false, "tap", false, false, false],
            ["row tap selects", L, true, false, "tap", true, true, false],
            ["row thumbnail plays", L, false, false, "thumbnail", false, false, true],
            ["row thumbnail selects while selecting", L, true, false, "thumbnail", true, true, false],
            ["row long press enters selection", L, false, false, "long", true, true, false]])
    }

    function test_gestures(data) {
        const s = makeScreen()
        const grid = data.layout === ReelsViewModel.Grid
        mouseClick(s.item(grid ? "gridButton" : "listButton"))
        compare([s.vm.layout, s.item("columnsMenuButton").visible], [data.layout, grid])
        s.vm.isSelectionMode = data.selecting
        if (data.preselected)
            s.vm.toggleSelection("reel-1")
        const target = s.cell(1)
        // Rows are tapped beside their thumbnail, cards anywhere.
        const y = grid ? target.height / 2 : 20
        if (data.gesture === "tap")
            mouseClick(target, target.width / 2, y)
        else if (data.gesture === "thumbnail")
            mouseClick(findChild(target, "rowThumbnail"))
        else
            longPress(target, target.width / 2, y)
        compare([s.vm.isSelectionMode, s.vm.isSelected("reel-1"), target.selected,
                 s.vm.hasPlayingReel ? s.vm.playingReel.id : "none"],
                [data.mode, data.selected, data.selected, data.playing ? "reel-1" : "none"])
    }

    // Pages arriving keep the cells and scroll position; the pill shows beside the count and the
    // controls, and nothing moves when loading ends. A failed page keeps the reels and says why
    // below the controls until a new search; a pause is counted down there, and "Stop" ends it.
    function test_pagesArrive_data() {
        const G = ReelsViewModel.Grid, L = ReelsViewModel.List
        const limit = "Too many requests — try again in a moment."
        return rows("tag layout end width", [
            ["grid", G, "finish"], ["list", L, "finish"], ["grid, smallest window", G, "finish", 420],
            ["grid, the next page fails", G, limit],
            ["list, a long failure", L, "HTTP 500: " + "The server could not answer this request. ".repeat(4)],
            ["list, smallest window, the next page fails", L, limit, 420],
            ["grid, a pause", G, "pause"], ["list, smallest window, a pause", L, "pause", 420]])
    }

    function test_pagesArrive(data) {
        const s = makeScreen(24, { daysAgo: [], width: data.width })
        s.vm.layout = data.layout
        const view = s.item(data.layout === ReelsViewModel.Grid ? "reelGrid" : "reelList")
        const pill = s.item("loadingMorePill")
        tryCompare(pill, "visible", true)
        view.contentY = view.contentY + 900
        waitForRendering(view)
        const [y, cell] = [view.contentY, view.itemAtIndex(6)]
        verify(cell !== null)
        s.fixture.loadMore(12)
        compare([view.count, view.contentY, s.item("reelCountText").text], [36, y, "36 reels"])
        verify(view.itemAtIndex(6) === cell, "the cell is kept")

        view.contentY = view.originY
        waitForRendering(view)
        const place = item => { const p = item.mapToItem(s.screen, 0, 0); return [p.x, p.y] }
        const middle = item => item.mapToItem(s.screen, 0, item.height / 2).y
        const [count, controls, first] = [s.item("reelCountText"), s.item("dateMenuButton"), view.itemAtIndex(0)]
        fuzzyCompare(middle(controls), middle(count), 1, "one line")
        verify(place(pill)[0] + pill.width <= place(controls)[0], "clear of the controls")
        const before = [place(count), place(controls), place(first)]
        const pause = data.end === "pause"
        const note = s.item(pause ? "waitNote" : "loadingMoreNote")
        verify(!note.visible)
        if (pause) {
            s.fixture.tellStep("Instagram asked to slow down", 30000)
        } else {
            data.end === "finish" ? s.fixture.finish() : s.fixture.fail(data.end)
            tryCompare(pill, "visible", false)
            compare(note.visible, data.end !== "finish")
            compare([place(count), place(controls)], before.slice(0, 2))
        }
        if (data.end === "finish")
            return compare(place(first), before[2])
        tryCompare(note, "opacity", 1)
        const text = s.item(pause ? "waitNoteText" : "loadingMoreNoteText")
        compare(text.text, pause ? "Instagram asked to slow down — continuing in 30 s" : data.end)
        verify(!text.truncated, "the whole text shows")
        verify(place(note)[1] >= place(controls)[1] + controls.height, "below the controls")
        verify(within(note, s.item("sectionHeader")), "within the header")
        waitForRendering(view)
        verify(place(view.itemAtIndex(0))[1] >= place(note)[1] + note.height, "the reels make room")
        if (pause) {
            tryCompare(text, "text", "Instagram asked to slow down — continuing in 29 s", 3000)
            verify(within(s.item("stopWaitingButton"), note))
            mouseClick(s.item("stopWaitingButton"))
            compare([s.vm.waitSecondsLeft, s.vm.isLoadingMore, s.vm.loadingMoreError], [0, false, ""])
            tryCompare(pill, "visible", false)
        }
        compare([s.vm.phase, view.count], [ReelsViewModel.Loaded, 36])
        if (!pause)
            s.fixture.load(3)
        tryCompare(note, "visible", false)
    }

    // A row's own button downloads that reel; the badge counts what is running.
    function test_rowDownloadAndBadge() {
        const s = makeScreen(5, { stalled: [2] })
        s.vm.layout = ReelsViewModel.List
        s.vm.selectedQuality = "720p"
        verify(!s.item("downloadsBadge").visible)
        const row = s.cell(2)
        compare([findChild(row, "reelNumberText").text, findChild(row, "rowDownloadIcon").symbol],
                ["Reel #3", "arrow.down"])
        mouseClick(findChild(row, "rowDownloadButton"))
        compare([s.manager.itemCount, s.manager.stateFor("reel-2") !== undefined], [1, true])
        tryCompare(s.item("downloadsBadgeText"), "text", "1")
        verify(s.item("downloadsBadge").visible)
        tryCompare(findChild(row, "rowDownloadIcon"), "symbol", "ellipsis", 5000)
        tryCompare(findChild(row, "progressBar"), "visible", true)
        s.manager.isPresented = false
        mouseClick(s.item("downloadsButton"))
        verify(s.manager.isPresented)
        s.manager.stopAll()
    }

    // The header names the profile and opens the settings. A made-up profile says so beside its
    // name and offers the sign-in that shows the real one; a fetched profile shows neither.
    function test_header_data() {
        return rows("tag link title handle", [["instagram", "@natgeo", "Instagram", "@natgeo"],
                                              ["facebook", "facebook.com/natgeo", "Facebook", "@natgeo"],
                                              ["fetched", "", "", "@fixture.reels"]])
    }

    function test_header(data) {
        const demo = data.link !== ""
        const root = demo ? searched(data.link) : null
        const s = demo ? { vm: root.viewModel, screen: profileScreen(root) } : makeScreen()
        const item = name => findChild(s.screen, name)
        compare([item("handleTitle").text, item("demoBadge").visible, item("demoNote").visible],
                [data.handle, demo, demo])
        for (const name of ["settingsButton", "destinationPill"]) {
            mouseClick(item(name))
            verify(s.vm.showingSettings, name)
            s.vm.showingSettings = false
        }
        if (!demo)
            return
        compare(item("demoNoteText").text, "Demo profile: sign in to " + data.title + " to see the real one.")
        mouseClick(item("demoSignInButton"))
        compare([s.vm.showingLogin, s.vm.loginTarget], [true, data.tag])
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
        return rows("tag selected filter subtitle button", [
            ["browsing filter copied", [], 3, "3 reels match 30 days", "Download 3"],
            ["nothing in range", [], 1, "0 reels match Today", "Nothing to download"],
            ["selection ignores the filter", ["reel-3", "reel-4"], 2, "2 reels selected", "Download 2"]])
    }

    function test_optionsSheet(data) {
        const s = makeScreen()
        s.vm.setDateFilterKind(data.filter)
        s.vm.isSelectionMode = data.selected.length > 0
        for (const id of data.selected)
            s.vm.toggleSelection(id)
        const item = openOptions(s)
        compare([item("optionsSubtitle").text, item("downloadButtonLabel").text], [data.subtitle, data.button])
        // The label and its symbol fit the button, at the default and the smallest width.
        const sheet = findChild(s.screen, "qualitySheet")
        for (const width of [sheet.width, sheet.minimumWidth]) {
            sheet.width = width
            waitForRendering(sheet.contentItem)
            verifyDrawnWithin(item("downloadButtonLabel"), item("downloadButton"))
            verify(within(item("downloadButtonLabel").parent, item("downloadButton")), width)
        }
        compare(item("dateRangeCard").visible, data.selected.length === 0)
        mouseClick(item("quality 480p"))
        compare(s.vm.selectedQuality, "480p")

        const count = s.vm.downloadCount
        const button = item("downloadButton")
        compare([button.enabled, button.opacity], [count > 0, count > 0 ? 1 : 0.5])
        mouseClick(button)
        // A disabled button does nothing; a confirmed download leaves selection mode.
        compare([s.manager.itemCount, s.vm.showingQualitySheet], [count, count === 0])
        if (count > 0)
            compare([s.vm.isSelectionMode, s.vm.selectedCount], [false, 0])
        s.manager.stopAll()
    }

    // A first day after the last warns and holds "Apply" back; the same day is a range. The
    // options' date card edits the download filter only, a preset and a custom range alike.
    function test_customRange_data() {
        return rows("tag start end shown", [["in order", 10, 2, 2], ["one day", 3, 3, 1], ["reversed", 2, 10],
                                            ["options", 12, 2, 2]])
    }

    function test_customRange(data) {
        const s = makeScreen()
        const valid = data.shown !== undefined
        const now = Date.now()
        s.vm.customRangeStart = new Date(now - data.start * 86400000)
        s.vm.customRangeEnd = new Date(now - data.end * 86400000)
        const options = data.tag === "options" ? openOptions(s) : null
        const find = options || s.item
        const [menu, button] = options ? ["optionsDateMenu", "optionsDateButton"]
                                       : ["dateMenu", "dateMenuButton"]
        if (options) {
            choose(find(menu), find(button), "Last 7 days")
            compare([find("optionsDateLabel").text, find("optionsSubtitle").text, s.vm.dateFilter.shortLabel],
                    ["7 days", "2 reels match 7 days", "All time"])
        }
        choose(find(menu), find(button), "Custom range…")
        const sheet = find(options ? "optionsRangeSheet" : "customRangeSheet")
        tryVerify(() => findChild(sheet.contentItem, "applyButton") !== null)
        const item = name => findChild(sheet.contentItem, name)
        compare([item("rangeWarning").visible, item("applyButton").enabled], [!valid, valid])
        compare(findChild(item("fromPicker"), "dayText").text, ProfilePresentation.dayText(s.vm.customRangeStart))
        mouseClick(item("applyButton"))
        if (options) {
            tryCompare(sheet, "visible", false)
            compare([s.vm.downloadDateFilter, s.vm.dateFilter].map(f => ProfilePresentation.filterKey(f)),
                    ["custom", "all"])
            compare(find("optionsSubtitle").text, "2 reels match " + s.vm.downloadDateFilter.shortLabel)
            mouseClick(find("cancelButton"))
            return verify(!s.vm.showingQualitySheet)
        }
        compare(s.vm.showingCustomDateRange, !valid)
        if (valid)
            return compare([ProfilePresentation.filterKey(s.vm.dateFilter), s.vm.filteredModel.count],
                           ["custom", data.shown])
        // Moving the first day back clears the warning.
        s.vm.customRangeStart = s.vm.customRangeEnd
        compare([item("rangeWarning").visible, item("applyButton").enabled], [false, true])
        mouseClick(item("rangeCancelButton"))
        verify(!s.vm.showingCustomDateRange)
        compare(ProfilePresentation.filterKey(s.vm.dateFilter), "all")
    }
}

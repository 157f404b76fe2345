import QtQuick
import QtTest
import ClipDock
import "../support"

// Renders every screen in its representative states and saves each as a PNG, so the screens can
// be looked at without a display. Pages, manifests, pictures and media come from loopback.
ScreenTestCase {
    id: gallery
    name: "Gallery"
    width: 520
    height: 820

    Component {
        id: sheetComponent
        DownloadSheet { width: 520; height: 640 }
    }

    // The window and its sheets. Each row sets a new window up and names the sheet to shoot, if
    // not the window; every row ends signed out.
    function test_window_data() {
        // Searches once the typed link has settled in the field.
        const search = (link, settled) => w => {
            w.vm.inputText = link
            wait(700)
            w.vm.search()
            if (settled)
                tryVerify(() => settled(w.vm), 5000)
        }
        const signIn = (...platforms) => w => {
            for (const platform of platforms) {
                harness.signInBrowser(platform)
                tryCompare(w.root[platform + "Auth"], "isSignedIn", true, 5000)
            }
        }
        const login = platform => w => {
            w.vm.openLogin(platform)
            const web = findChild(w.sheet("loginSheet"), "loginWebView")
            tryVerify(() => !web.loading && web.title.startsWith("Log in"), 20000)
        }
        const update = notes => w => {
            harness.serveManifest("2.1.0", notes)
            w.root.start()
            tryCompare(w.root, "showingUpdateSheet", true, 5000)
        }
        // The settings after a check of the manifest `serve` sets up, which `settle` waits for.
        const settings = (serve, settle) => w => {
            if (serve) {
                serve()
                w.root.updateService.check(false)
                if (settle)
                    tryVerify(() => UiCatalog.updateKind(w.root.updateService.state) !== "checking", 5000)
            }
            w.vm.showingSettings = true
        }
        // The app's own folder chooser, where the desktop has none; then a name it refuses.
        const chooser = refused => w => {
            const folder = harness.newFolder("Gallery Reels")
            for (const name of ["Archive 2023", "Travel", "Cooking clips", "Behind the scenes"])
                harness.newFolder("Gallery Reels/" + name)
            w.root.destination.adoptFolder(folder)
            w.vm.showingSettings = true
            const page = w.sheet("settingsSheet").contentItem
            tryVerify(() => findChild(page, "chooseFolderButton") !== null)
            waitForRendering(page)
            mouseClick(findChild(page, "chooseFolderButton"))
            const sheet = w.sheet("folderSheet").contentItem
            tryVerify(() => sheet.Window.window.visible && findChild(sheet, "folderRow_Travel") !== null, 5000)
            if (refused) {
                wait(700)
                findChild(sheet, "newFolderField").text = "Travel"
                mouseClick(findChild(sheet, "createFolderButton"))
            }
            return sheet
        }
        return rows("tag sheet setup settle", [
            ["search-empty", "", w => {}], ["search-typed", "", w => { w.vm.inputText = "instagram.com/natgeo" }],
            ["search-loading", "", search("instagram.com/natgeo"), 250], // the demo source answers after 600 ms
            ["search-error", "", search("???", vm => vm.phase === ReelsViewModel.Error)],
            ["search-instagram-signed-in", "", signIn("instagram")],
            ["search-both-signed-in", "", signIn("instagram", "facebook")],
            ["search-loading-facebook", "", w => { // the page takes seconds to settle
                signIn("instagram", "facebook")(w)
                search("facebook.com/natgeo", vm => vm.loadingStep === "Reading the reels page…")(w)
            }, 250],
            ["reels-loaded", "", search("@natgeo", vm => vm.phase === ReelsViewModel.Loaded && !vm.isLoadingMore)],
            ["login-instagram", "loginSheet", login("instagram")],
            ["login-facebook", "loginSheet", login("facebook")],
            ["update-notes", "updateSheet", update("What's new in 2.1.0\n\n• Downloads resume after a dropped "
                + "connection.\n• The grid keeps its place while new reels arrive.\n• Faster Facebook pages.")],
            ["update-no-notes", "updateSheet", update(undefined)],
            ["settings-idle", "settingsSheet", settings()],
            ["settings-checking", "settingsSheet", settings(() => harness.stallManifest())],
            ["settings-up-to-date", "settingsSheet", settings(() => harness.serveManifest("2.0.3"), true)],
            ["settings-available", "settingsSheet", settings(() => harness.serveManifest("2.1.0"), true)],
            ["settings-failed", "settingsSheet", settings(() => harness.failManifest(503), true)],
            ["folder-chooser", "", chooser(false)], ["folder-chooser-refused", "", chooser(true)]])
    }

    function test_window(data) {
        const w = openWindow()
        waitForRendering(w.window.contentItem)
        const shown = data.setup(w) || (data.sheet ? w.sheet(data.sheet).contentItem : w.window.contentItem)
        shoot(shown, data.tag, data.settle)
        w.vm.reset()
        w.root.instagramAuth.signOut()
        w.root.facebookAuth.signOut()
    }

    // Pictures for reels from a loopback profile fixture.
    function pictures() {
        const fixture = harness.newProfileFixture()
        fixture.load(6)
        return index => fixture.reel(index).thumbnailURL
    }

    // The download sheet with rows in every state, one transfer at a time: `running` files start
    // once the `finished` have ended, the first stalls at a quarter. `saved` were saved earlier
    // and asked for again; `folderProblem` has the folder replaced by a file, then opened.
    function test_downloads_data() {
        const [ok, missing, stalled] = ["video.mp4", "missing.mp4", "stalled.mp4"]
        return rows("tag finished running saved width folderProblem", [
            ["empty", [], []], ["finished", [ok, missing], []], ["mixed", [ok, missing], [stalled, stalled]],
            ["folder-problem", [ok], [], null, 520, true], ["already-saved", [], [stalled], [ok, ok]],
            ["mixed-narrow", [ok, missing], [stalled, stalled], null, 420]])
    }

    function test_downloads(data) {
        const picture = pictures()
        const root = harness.newRoot()
        root.settings.maxConcurrentDownloads = 1
        root.settings.skipSavedReels = false
        const manager = root.downloadManager
        let n = 0
        const reels = files => files.map(file => harness.mediaReel("g" + data.tag + ++n, file, 0, 0, 20 + 17 * n,
                                                                   picture(n)))
        if (data.saved)
            manager.enqueue(saveEarlier(root, reels(data.saved)), "720p")
        manager.enqueue(reels(data.finished), "720p")
        tryCompare(manager, "activeCount", 0, 10000)
        manager.enqueue(reels(data.running), "720p")
        if (data.running.length > 0)
            tryVerify(() => manager.overallPercent > 0, 10000)
        const sheet = createTemporaryObject(sheetComponent, stage, {
            manager: manager, destination: root.destination, width: data.width || 520 })
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

    // The player loading, and with a reel whose media cannot be played.
    function test_player_data() {
        return rows("tag file", [["player", ""], ["player-unplayable", "missing.mp4"]])
    }

    function test_player(data) {
        const picture = pictures()(0)
        const reel = data.file ? harness.mediaReel("gp-unplayable", data.file, 1200000, 15400, 47, picture)
                               : harness.silentReel("gp", 1200000, 15400, 47, picture)
        const shown = player(reel).player
        if (data.file)
            tryCompare(shown, "unplayable", true, 10000)
        shoot(shown, data.tag)
    }

    // A profile of `count` reels (30 unless told), one posted every five days, delivered whole
    // unless `loading` or a `failure`, waiting `pause` ms if told; unless `downloads` is false,
    // reels 0 and 1 saved and reel 2 downloading.
    function profile(options) {
        const opts = Object.assign({ count: 30, daysAgo: Array.from({ length: 30 }, (_, i) => i * 5),
                                     stalled: [2], followers: 1540000, displayName: "Northern Lights Daily",
                                     username: "northern.lights" }, options)
        const w = fixtureScreen(opts.count, opts)
        const [f, manager] = [w.fixture, w.manager]
        if (opts.failure)
            f.fail(opts.failure)
        else if (!opts.loading)
            f.finish()
        if (opts.pause)
            f.tellStep("Instagram asked to slow down", opts.pause)
        if (opts.downloads !== false) {
            manager.enqueue([f.reel(0), f.reel(1), f.reel(2)], "720p")
            manager.isPresented = false
            const kind = id => ProfilePresentation.downloadKind(manager.stateFor(id))
            tryVerify(() => kind("reel-1") === "completed", 5000)
            tryVerify(() => kind("reel-2") === "downloading", 5000)
            waitForRendering(w.screen)
        }
        return w
    }

    // The profile screen and its sheets. Each row names the profile, what is set on the view
    // model, the date filter, the reels selected, and what opens the sheet or menu to shoot.
    function test_profile_data() {
        const [G, L] = [ReelsViewModel.Grid, ReelsViewModel.List]
        const both = (...parts) => Object.assign({}, ...parts)
        const small = { width: 420, height: 720 }
        const quiet = { downloads: false }
        const more = { loading: true, count: 12, thumbnails: "stalled", downloads: false }
        const failed = { count: 24, failure: "Too many requests — try again in a moment." }
        const waiting = { loading: true, count: 24, downloads: false, pause: 28500 }
        // Nothing was posted today, so the filter leaves nothing to download.
        const olderThanToday = { downloads: false, daysAgo: Array.from({ length: 30 }, (_, i) => 1 + i * 5) }
        const hd = { selectedQuality: "1080p" }
        const range = (start, end) => ({ customRangeStart: new Date(Date.now() - start * 86400000),
                                         customRangeEnd: new Date(Date.now() - end * 86400000),
                                         showingCustomDateRange: true })
        const sheet = (name, then) => w => {
            const shown = w.item(name)
            tryCompare(shown, "visible", true)
            if (then)
                then(shown)
            return shown.contentItem
        }
        const menu = name => w => {
            mouseClick(w.item(name + "Button"))
            tryCompare(w.item(name), "opened", true)
        }
        const options = smallest => w => {
            mouseClick(w.item("mainDownloadButton"))
            return sheet("qualitySheet", shown => { if (smallest) shown.width = shown.minimumWidth })(w)
        }
        const calendar = sheet("customRangeSheet", shown => {
            wait(900)
            mouseClick(findChild(shown.contentItem, "dayField"))
        })
        return rows("tag options vm filter selected then settle", [
            ["profile-grid-2", {}, { gridColumns: 2 }], ["profile-grid-4", {}, { gridColumns: 4 }],
            ["profile-grid-10", {}, { gridColumns: 10 }], ["profile-grid-10-smallest", small, { gridColumns: 10 }],
            ["profile-list", {}, { layout: L }],
            ["profile-selection-grid", {}, { layout: G, isSelectionMode: true }, null, ["reel-1", "reel-4"]],
            ["profile-selection-list", {}, { layout: L, isSelectionMode: true }, null, ["reel-1", "reel-4"]],
            ["profile-filter-30-days", {}, {}, 3], // last 30 days: 7 of 30
            ["profile-loading-more", more], ["profile-loading-more-smallest", both(more, small)],
            ["profile-more-failed-default", failed], ["profile-more-failed-smallest", both(failed, small)],
            ["profile-more-failed-smallest-list", both(failed, small), { layout: L }],
            ["profile-waiting-default", waiting], ["profile-waiting-smallest", both(waiting, small)],
            ["profile-date-menu", quiet, {}, null, [], menu("dateMenu"), 300],
            ["profile-columns-menu", quiet, {}, null, [], menu("columnsMenu"), 300],
            ["options-filtered", quiet, hd, 3, [], options()],
            ["options-selection", quiet, hd, 0, ["reel-3", "reel-8"], options()],
            ["options-empty", olderThanToday, hd, 1, [], options()],
            ["options-empty-smallest", olderThanToday, hd, 1, [], options(true)],
            ["custom-range-valid", quiet, range(20, 5), null, [], sheet("customRangeSheet")],
            ["custom-range-warning", quiet, range(3, 9), null, [], sheet("customRangeSheet")],
            ["custom-range-calendar", quiet, range(20, 5), null, [], calendar, 400],
            // Signed out: the demo source's made-up profile, marked as such, once its pages are in.
            ["profile-demo", { demo: "@northern.lights" }, {}, null, [],
             w => tryCompare(w.vm, "isLoadingMore", false, 5000)]])
    }

    function test_profile(data) {
        const demo = data.options.demo && searched(data.options.demo)
        const w = demo ? { vm: demo.viewModel, screen: profileScreen(demo) } : profile(data.options)
        for (const key in data.vm)
            w.vm[key] = data.vm[key]
        if (data.filter != null)
            w.vm.setDateFilterKind(data.filter)
        for (const id of data.selected || [])
            w.vm.toggleSelection(id)
        shoot((data.then && data.then(w)) || w.screen, data.tag, data.settle || 900)
    }
}

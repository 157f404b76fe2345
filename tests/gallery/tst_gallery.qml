import QtQuick
import QtTest
import ClipDock

// Renders every screen of the app window in its representative states and saves each as a PNG,
// so the screens can be looked at without a display. Pages and manifests come from loopback.
TestCase {
    id: gallery
    name: "Gallery"
    when: windowShown

    Component {
        id: mainComponent
        Main { }
    }

    function open() {
        const root = harness.newRoot()
        const window = createTemporaryObject(mainComponent, gallery, { root: root })
        waitForRendering(window.contentItem)
        return { root: root, vm: root.viewModel, content: window.contentItem,
                 sheet: name => findChild(window, name).contentItem }
    }

    // Lets springs and fades settle before the picture is taken.
    function shoot(item, name, settleMs) {
        wait(settleMs === undefined ? 700 : settleMs)
        grabImage(item).save(harness.galleryDir + "/" + name + ".png")
    }

    function test_search() {
        const w = open()
        shoot(w.content, "search-empty")
        w.vm.inputText = "instagram.com/natgeo"
        shoot(w.content, "search-typed")
        w.vm.search()
        shoot(w.content, "search-loading", 250) // the demo source answers after 600 ms
        w.vm.inputText = "???"
        w.vm.search()
        tryCompare(w.vm, "phase", ReelsViewModel.Error)
        shoot(w.content, "search-error")
        w.vm.reset()

        harness.signInBrowser("instagram")
        tryCompare(w.root.instagramAuth, "isSignedIn", true, 5000)
        shoot(w.content, "search-instagram-signed-in")
        harness.signInBrowser("facebook")
        tryCompare(w.root.facebookAuth, "isSignedIn", true, 5000)
        shoot(w.content, "search-both-signed-in")
        w.vm.inputText = "facebook.com/natgeo"
        w.vm.search()
        tryCompare(w.vm, "loadingStep", "Reading the reels page…", 5000)
        shoot(w.content, "search-loading-facebook", 250) // the page takes seconds to settle
        w.vm.reset()
        w.root.instagramAuth.signOut()
        w.root.facebookAuth.signOut()
    }

    function test_reels() {
        const w = open()
        w.vm.inputText = "@natgeo"
        w.vm.search()
        tryCompare(w.vm, "phase", ReelsViewModel.Loaded, 5000)
        tryCompare(w.vm, "isLoadingMore", false, 5000)
        shoot(w.content, "reels-loaded")
    }

    function test_login_data() {
        return [ { tag: "instagram" }, { tag: "facebook" } ]
    }

    function test_login(data) {
        const w = open()
        w.vm.openLogin(data.tag)
        const web = findChild(w.sheet("loginSheet"), "loginWebView")
        tryVerify(() => !web.loading && web.title.startsWith("Log in"), 20000)
        shoot(w.sheet("loginSheet"), "login-" + data.tag)
    }

    function test_update_data() {
        return [
            { tag: "notes", notes: "What's new in 2.1.0\n\n• Downloads resume after a dropped connection.\n"
                                   + "• The grid keeps its place while new reels arrive.\n• Faster Facebook pages." },
            { tag: "no-notes", notes: undefined },
        ]
    }

    function test_update(data) {
        harness.serveManifest("2.1.0", data.notes)
        const w = open()
        w.root.start()
        tryCompare(w.root, "showingUpdateSheet", true, 5000)
        shoot(w.sheet("updateSheet"), "update-" + data.tag)
    }

    function test_settings_data() {
        return [
            { tag: "idle", serve: null },
            { tag: "checking", serve: () => harness.stallManifest() },
            { tag: "up-to-date", serve: () => harness.serveManifest("2.0.3") },
            { tag: "available", serve: () => harness.serveManifest("2.1.0") },
            { tag: "failed", serve: () => harness.failManifest(503) },
        ]
    }

    function test_settings(data) {
        const w = open()
        if (data.serve) {
            data.serve()
            w.root.updateService.check(false)
            if (data.tag !== "checking")
                tryVerify(() => UiCatalog.updateKind(w.root.updateService.state) !== "checking", 5000)
        }
        w.vm.showingSettings = true
        shoot(w.sheet("settingsSheet"), "settings-" + data.tag)
    }

    // The app's own folder chooser, where the desktop has none; then a name it refuses.
    function test_folderChooser() {
        const w = open()
        const folder = harness.newFolder("Gallery Reels")
        for (const name of ["Archive 2023", "Travel", "Cooking clips", "Behind the scenes"])
            harness.newFolder("Gallery Reels/" + name)
        w.root.destination.adoptFolder(folder)
        w.vm.showingSettings = true
        const settings = w.sheet("settingsSheet")
        tryVerify(() => findChild(settings, "chooseFolderButton") !== null)
        waitForRendering(settings)
        mouseClick(findChild(settings, "chooseFolderButton"))
        const sheet = findChild(settings.Window.window, "folderSheet")
        tryCompare(sheet, "visible", true)
        tryVerify(() => findChild(sheet.contentItem, "folderRow_Travel") !== null, 5000)
        shoot(sheet.contentItem, "folder-chooser")
        findChild(sheet.contentItem, "newFolderField").text = "Travel"
        mouseClick(findChild(sheet.contentItem, "createFolderButton"))
        shoot(sheet.contentItem, "folder-chooser-refused")
        mouseClick(findChild(sheet.contentItem, "cancelFolderButton"))
        tryCompare(sheet, "visible", false)
    }
}

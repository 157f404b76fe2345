import QtQuick
import QtTest
import ClipDock

TestCase {
    id: testCase
    name: "RootView"
    when: windowShown

    Component {
        id: mainComponent
        Main { }
    }

    function openWindow() {
        const root = harness.newRoot()
        const window = createTemporaryObject(mainComponent, testCase, { root: root })
        return { root: root, vm: root.viewModel, window: window,
                 item: name => findChild(window.contentItem, name),
                 sheet: name => findChild(window, name) }
    }

    // Every item naming a symbol in this tree finds it in the icon table.
    function verifySymbolsKnown(item) {
        if (item.symbol !== undefined && item.symbol !== "")
            verify(UiCatalog.glyph(item.symbol) !== "", "unknown symbol " + item.symbol)
        for (let i = 0; i < item.children.length; ++i)
            verifySymbolsKnown(item.children[i])
    }

    function test_phaseSwap() {
        const w = openWindow()
        const search = w.item("searchView")
        const profile = w.item("profileView")
        w.vm.inputText = "???"
        w.vm.search()
        tryCompare(w.vm, "phase", ReelsViewModel.Error)
        verify(search.visible && !profile.visible, "a failed fetch keeps the search screen")

        w.vm.inputText = "@natgeo"
        w.vm.search()
        tryCompare(w.vm, "phase", ReelsViewModel.Loaded, 5000)
        tryCompare(profile, "x", 0, 3000)
        tryCompare(search, "visible", false)
        verify(profile.enabled && !search.enabled)
        tryVerify(() => findChild(profile, "reelGrid").count > 0)
        verifySymbolsKnown(w.window.contentItem)

        mouseClick(findChild(profile, "backButton"))
        compare(w.vm.phase, ReelsViewModel.Empty)
        compare(w.vm.inputText, "")
        tryCompare(profile, "visible", false, 3000)
        verify(search.visible)
        tryVerify(() => findChild(search, "linkField").activeFocus)
    }

    // Each sheet shows while its flag holds, and closing it by the window manager or with
    // Escape clears the flag.
    function test_sheetsFollowFlags_data() {
        const rows = []
        for (const sheet of ["loginSheet", "settingsSheet", "updateSheet"]) {
            rows.push({ tag: sheet + ", closed", sheet: sheet, escape: false })
            rows.push({ tag: sheet + ", Escape", sheet: sheet, escape: true })
        }
        return rows
    }

    function test_sheetsFollowFlags(data) {
        const w = openWindow()
        const flag = {
            loginSheet: { target: w.vm, property: "showingLogin" },
            settingsSheet: { target: w.vm, property: "showingSettings" },
            updateSheet: { target: w.root, property: "showingUpdateSheet" },
        }[data.sheet]
        const sheet = w.sheet(data.sheet)
        verify(!sheet.visible)
        flag.target[flag.property] = true
        verify(sheet.visible)
        verifySymbolsKnown(sheet.contentItem)
        if (data.escape) {
            tryVerify(() => sheet.active, 2000, "the sheet takes the keyboard")
            keyClick(Qt.Key_Escape)
        } else {
            sheet.close()
        }
        compare(flag.target[flag.property], false)
        verify(!sheet.visible)
    }

    // The login sheet follows the platform asked for when it opens.
    function test_loginFollowsTarget() {
        const w = openWindow()
        const sheet = w.sheet("loginSheet")
        for (const platform of ["instagram", "facebook", "instagram"]) {
            w.vm.openLogin(platform)
            const web = findChild(sheet.contentItem, "loginWebView")
            compare(web.url, UiCatalog.loginURL(platform))
            mouseClick(findChild(sheet.contentItem, "closeButton"))
            verify(!w.vm.showingLogin)
        }
    }

    // A sign-in that completes while its sheet is being closed must not close the next sheet.
    function test_closedLoginDropsItsCompletion() {
        harness.signInBrowser("instagram")
        const w = openWindow()
        tryCompare(w.root.instagramAuth, "isSignedIn", true, 5000)
        w.vm.openLogin("instagram")
        const sheet = w.sheet("loginSheet")
        tryCompare(findChild(sheet.contentItem, "statusText"), "text", "Signed in — closing…", 20000)
        if (!w.vm.showingLogin)
            skip("the pause before closing had passed before the test could close the sheet")
        mouseClick(findChild(sheet.contentItem, "closeButton"))
        w.vm.openLogin("facebook")
        wait(800)
        verify(w.vm.showingLogin, "the Facebook sheet stays open")
        compare(w.vm.loginTarget, "facebook")
        w.root.instagramAuth.signOut()
    }

    // Found at start-up, the update opens its sheet, over the settings when they are open; its
    // buttons and Escape close it, and only the download button opens the address.
    function test_updateSheet_data() {
        return [
            { tag: "download", button: "downloadButton", opened: ["https://updates.invalid/clipdock-9.1.0"] },
            { tag: "later", button: "laterButton", opened: [] },
            { tag: "escape", button: "", opened: [] },
            { tag: "over the settings, escape", button: "", opened: [], over: "settingsSheet" },
        ]
    }

    function test_updateSheet(data) {
        harness.serveManifest("9.1.0", "Faster downloads.")
        harness.forgetOpenedUrls()
        const w = openWindow()
        const sheet = w.sheet("updateSheet")
        const below = data.over ? w.sheet(data.over) : w.window
        if (data.over) {
            w.vm.showingSettings = true
            tryVerify(() => below.active, 2000)
        }
        w.root.start()
        tryCompare(sheet, "visible", true, 5000)
        compare(sheet.transientParent, below, "the window manager keeps it above the one below")
        compare(findChild(sheet.contentItem, "versionText").text, "Version 9.1.0 is ready to install.")
        if (data.button) {
            mouseClick(findChild(sheet.contentItem, data.button))
        } else {
            tryVerify(() => sheet.active, 2000)
            keyClick(Qt.Key_Escape)
        }
        verify(!w.root.showingUpdateSheet)
        verify(!sheet.visible)
        compare(harness.openedUrls, data.opened)
        compare(below.visible, true)
    }
}

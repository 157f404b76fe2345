import QtQuick
import QtTest
import ClipDock

ScreenTestCase {
    id: testCase
    name: "RootView"

    // Every item naming a symbol in this tree finds it in the icon table.
    function verifySymbolsKnown(item) {
        if (item.symbol !== undefined && item.symbol !== "")
            verify(UiCatalog.glyph(item.symbol) !== "", "unknown symbol " + item.symbol)
        for (let i = 0; i < item.children.length; ++i)
            verifySymbolsKnown(item.children[i])
    }

    function test_phaseSwap() {
        const w = openWindow()
        const [search, profile] = [w.item("searchView"), w.item("profileView")]
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
        compare([w.vm.phase, w.vm.inputText], [ReelsViewModel.Empty, ""])
        tryCompare(profile, "visible", false, 3000)
        verify(search.visible)
        tryVerify(() => findChild(search, "linkField").activeFocus)
    }

    // Each sheet shows while its flag holds, and closing it by the window manager or with
    // Escape clears the flag.
    function test_sheetsFollowFlags_data() {
        return [].concat(...["loginSheet", "settingsSheet", "updateSheet"].map(
                    sheet => [false, true].map(escape => ({ tag: sheet + (escape ? ", Escape" : ", closed"),
                                                            sheet: sheet, escape: escape }))))
    }

    function test_sheetsFollowFlags(data) {
        const w = openWindow()
        const [target, flag] = { loginSheet: [w.vm, "showingLogin"], settingsSheet: [w.vm, "showingSettings"],
                                 updateSheet: [w.root, "showingUpdateSheet"] }[data.sheet]
        const sheet = w.sheet(data.sheet)
        verify(!sheet.visible)
        target[flag] = true
        verify(sheet.visible)
        verifySymbolsKnown(sheet.contentItem)
        if (data.escape) {
            tryVerify(() => sheet.active, 2000, "the sheet takes the keyboard")
            keyClick(Qt.Key_Escape)
        } else {
            sheet.close()
        }
        compare(target[flag], false)
        verify(!sheet.visible)
    }

    // The login sheet follows the platform asked for when it opens.
    function test_loginFollowsTarget() {
        const w = openWindow()
        const sheet = w.sheet("loginSheet")
        for (const platform of ["instagram", "facebook", "instagram"]) {
            w.vm.openLogin(platform)
            compare(findChild(sheet.contentItem, "loginWebView").url, UiCatalog.loginURL(platform))
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
        return rows("tag button opened over", [
            ["download", "downloadButton", ["https://updates.invalid/clipdock-9.1.0"]],
            ["later", "laterButton", []], ["escape", "", []], ["over the settings, escape", "", [], "settingsSheet"]])
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
        verify(!w.root.showingUpdateSheet && !sheet.visible)
        compare(harness.openedUrls, data.opened)
        verify(below.visible)
    }
}

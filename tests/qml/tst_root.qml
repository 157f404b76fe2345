import QtQuick
import QtTest
import ClipDock
import "../support"

ScreenTestCase {
    id: testCase
    name: "RootView"

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

        mouseClick(findChild(profile, "backButton"))
        compare([w.vm.phase, w.vm.inputText], [ReelsViewModel.Empty, ""])
        tryCompare(profile, "visible", false, 3000)
        verify(search.visible)
        tryVerify(() => findChild(search, "linkField").activeFocus)
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
        compare([w.vm.showingLogin, w.vm.loginTarget], [true, "facebook"], "the Facebook sheet stays open")
        w.root.instagramAuth.signOut()
    }

    // Found at start-up, the update opens its sheet, over the settings when they are open, with
    // its notes as they are or a card that says there are none; its buttons and Escape close it,
    // and only the download button opens the address.
    function test_updateSheet_data() {
        return rows("tag button opened notes over", [
            ["download", "downloadButton", ["https://updates.invalid/clipdock-9.1.0"],
             "Line one\n<b>not bold</b>"],
            ["later, empty notes", "laterButton", [], ""], ["escape, no notes", "", []],
            ["over the settings, escape", "", [], "Faster downloads.", "settingsSheet"]])
    }

    function test_updateSheet(data) {
        harness.serveManifest("9.1.0", data.notes)
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
        const item = name => findChild(sheet.contentItem, name)
        compare([item("versionText").text, item("installedText").text],
                ["Version 9.1.0 is ready to install.", "Currently installed: 2.0.3"])
        compare([item("notesCard").visible, item("noNotesCard").visible], [!!data.notes, !data.notes])
        if (data.notes)
            compare(item("notesText").text, data.notes)
        if (data.button) {
            mouseClick(item(data.button))
        } else {
            tryVerify(() => sheet.active, 2000)
            keyClick(Qt.Key_Escape)
        }
        verify(!w.root.showingUpdateSheet && !sheet.visible)
        compare(harness.openedUrls, data.opened)
        verify(below.visible)
    }
}

import QtQuick
import QtTest
import ClipDock
import "../support"

ScreenTestCase {
    id: testCase
    name: "SearchScreen"
    width: 460
    height: 820

    // A signed-in Facebook profile is read page by page, and the button says which.
    function test_mainButton_data() {
        const E = ReelsViewModel.Empty, L = ReelsViewModel.Loading
        return rows("tag text search enabled dim label phase signIn", [
            ["empty", "", false, false, 0.5, "Find Reels", E],
            ["blanks", "   ", false, true, 1, "Find Reels", E],
            ["typed", "@natgeo", false, true, 1, "Find Reels", E],
            ["loading", "@natgeo", true, false, 1, "Fetching reels…", L],
            ["loading, facebook", "facebook.com/somepage", true, false, 1, "Reading the reels page…", L,
             "facebook"],
            ["error", "???", true, true, 1, "Find Reels", ReelsViewModel.Error]])
    }

    function test_mainButton(data) {
        const s = screen("search")
        if (data.signIn) {
            harness.signInBrowser(data.signIn)
            tryCompare(s.vm.facebookAuth, "isSignedIn", true, 5000)
        }
        s.vm.inputText = data.text
        if (data.search)
            s.vm.search()
        tryCompare(s.vm, "phase", data.phase)
        const button = s.item("mainButton")
        compare([button.enabled, button.restingOpacity], [data.enabled, data.dim])
        try {
            tryCompare(s.item("mainButtonLabel"), "text", data.label)
        } finally {
            if (data.signIn) {
                s.vm.reset()
                s.vm.facebookAuth.signOut()
            }
        }
        tryCompare(s.item("errorNote"), "visible", data.phase === ReelsViewModel.Error)
        verify(!s.item("errorNote").visible || s.item("errorText").text === s.vm.errorMessage, s.vm.errorMessage)
    }

    // Return, Enter and the main button all submit; blank text submits nothing. The button takes
    // the focus from the field.
    function test_submit_data() {
        const [L, E] = [ReelsViewModel.Loading, ReelsViewModel.Empty]
        return rows("tag text key phase", [
            ["return, handle", "@natgeo", Qt.Key_Return, L], ["return, blanks", "   ", Qt.Key_Return, E],
            ["enter, handle", "@natgeo", Qt.Key_Enter, L],
            ["button, handle", "@natgeo", 0, L], ["button, blanks", "   ", 0, E]])
    }

    function test_submit(data) {
        const s = screen("search")
        const field = s.item("linkField")
        tryVerify(() => field.activeFocus, 2000, "the field has focus when the screen shows")
        type(data.text)
        compare(s.vm.inputText, data.text)
        data.key ? keyClick(data.key) : mouseClick(s.item("mainButton"))
        compare(s.vm.phase, data.phase)
        if (!data.key && data.phase === ReelsViewModel.Loading)
            verify(!field.activeFocus, "the button takes the focus from the field")
    }

    // Pasting takes the clipboard as it is; clearing empties the field.
    function test_pasteAndClear_data() {
        return rows("tag clipboard", [["kept as it is", "  two\nlines "], ["empty clipboard", ""]])
    }

    function test_pasteAndClear(data) {
        const s = screen("search")
        harness.setClipboard(data.clipboard)
        mouseClick(s.item("pasteButton"))
        compare([s.vm.inputText, s.vm.phase], [data.clipboard, ReelsViewModel.Empty])
        const pasted = data.clipboard.length > 0
        tryCompare(s.item("clearButton"), "visible", pasted)
        tryCompare(s.item("pasteButton"), "visible", !pasted)
        if (!pasted)
            return
        mouseClick(s.item("clearButton"))
        compare([s.vm.inputText, s.vm.phase], ["", ReelsViewModel.Empty])
        tryCompare(s.item("pasteButton"), "visible", true)
    }

    // Each pill follows its own platform's state and opens its own login.
    function test_pills_data() {
        return [{ tag: "instagram", other: "facebook", title: "Instagram" },
                { tag: "facebook", other: "instagram", title: "Facebook" }]
    }

    function test_pills(data) {
        const s = screen("search")
        const pill = s.item(data.tag + "Pill")
        const auth = s.vm[data.tag + "Auth"]
        s.vm.loginTarget = data.other
        mouseClick(findChild(pill, "connectPill"))
        compare(s.vm.loginTarget, data.tag)
        verify(s.vm.showingLogin)

        harness.signInBrowser(data.tag)
        tryCompare(findChild(pill, "signedInPill"), "visible", true, 5000)
        verify(!findChild(pill, "connectPill").visible)
        verify(findChild(s.item(data.other + "Pill"), "connectPill").visible)

        mouseClick(findChild(pill, "signedInPill"))
        const item = findChild(pill, "signOutItem")
        compare(item.text, "Sign out of " + data.title)
        tryCompare(findChild(pill, "signOutMenu"), "opened", true)
        mouseClick(item)
        tryCompare(auth, "isSignedIn", false)
        verify(findChild(pill, "connectPill").visible)
    }

    // Every symbol a screen may name is drawn by the bundled font.
    function test_symbolsInFont() {
        for (const name of UiCatalog.symbolNames)
            verify(harness.iconFontHas(UiCatalog.glyph(name)), name)
        compare(UiCatalog.glyph("no.such.symbol"), "")
    }
}

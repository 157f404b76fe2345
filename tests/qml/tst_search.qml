import QtQuick
import QtTest
import ClipDock
import "../support"

ScreenTestCase {
    id: testCase
    name: "SearchScreen"
    width: 460
    height: 820

    // Return, Enter and the main button all submit, and the button takes the focus from the
    // field; blank text submits nothing. A signed-in Facebook profile is read page by page, and
    // the button says which.
    function test_mainButton_data() {
        const [E, L, R] = [ReelsViewModel.Empty, ReelsViewModel.Loading, Qt.Key_Return]
        return rows("tag text submit enabled dim label phase signIn", [
            ["empty", "", 0, false, 0.5, "Find Reels", E], ["typed", "@natgeo", 0, true, 1, "Find Reels", E],
            ["return, blanks", "   ", R, true, 1, "Find Reels", E],
            ["button, blanks", "   ", "button", true, 1, "Find Reels", E],
            ["return, handle", "@natgeo", R, false, 1, "Fetching reels…", L],
            ["enter, handle", "@natgeo", Qt.Key_Enter, false, 1, "Fetching reels…", L],
            ["button, handle", "@natgeo", "button", false, 1, "Fetching reels…", L],
            ["return, facebook", "facebook.com/somepage", R, false, 1, "Reading the reels page…", L,
             "facebook"],
            ["error", "???", R, true, 1, "Find Reels", ReelsViewModel.Error]])
    }

    function test_mainButton(data) {
        const s = screen("search")
        if (data.signIn) {
            harness.signInBrowser(data.signIn)
            tryCompare(s.vm.facebookAuth, "isSignedIn", true, 5000)
        }
        const field = s.item("linkField")
        tryVerify(() => field.activeFocus, 2000, "the field has focus when the screen shows")
        type(data.text)
        compare(s.vm.inputText, data.text)
        const button = s.item("mainButton")
        if (data.submit)
            data.submit === "button" ? mouseClick(button) : keyClick(data.submit)
        tryCompare(s.vm, "phase", data.phase)
        compare([button.enabled, button.restingOpacity], [data.enabled, data.dim])
        try {
            tryCompare(s.item("mainButtonLabel"), "text", data.label)
        } finally {
            if (data.signIn) {
                s.vm.reset()
                s.vm.facebookAuth.signOut()
            }
        }
        if (data.submit === "button" && data.phase === ReelsViewModel.Loading)
            verify(!field.activeFocus, "the button takes the focus from the field")
        tryCompare(s.item("errorNote"), "visible", data.phase === ReelsViewModel.Error)
        verify(!s.item("errorNote").visible || s.item("errorText").text === s.vm.errorMessage, s.vm.errorMessage)
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
        return rows("tag other title", [["instagram", "facebook", "Instagram"],
                                        ["facebook", "instagram", "Facebook"]])
    }

    function test_pills(data) {
        const s = screen("search")
        const pill = s.item(data.tag + "Pill")
        const auth = s.vm[data.tag + "Auth"]
        s.vm.loginTarget = data.other
        mouseClick(findChild(pill, "connectPill"))
        compare([s.vm.loginTarget, s.vm.showingLogin], [data.tag, true])

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

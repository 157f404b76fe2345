import QtQuick
import QtTest
import ClipDock

Item {
    id: top
    width: 460
    height: 820

    TestCase {
        id: testCase
        name: "SearchScreen"
        when: windowShown

        Component {
            id: searchComponent
            SearchView { width: 460; height: 820 }
        }

        function makeScreen() {
            const root = harness.newRoot()
            const screen = createTemporaryObject(searchComponent, top, { viewModel: root.viewModel })
            return { root: root, vm: root.viewModel, screen: screen,
                     item: name => findChild(screen, name) }
        }

        function test_mainButton_data() {
            return [
                { tag: "empty", text: "", search: false, enabled: false, dim: 0.5,
                  label: "Find Reels", phase: ReelsViewModel.Empty },
                { tag: "blanks", text: "   ", search: false, enabled: true, dim: 1,
                  label: "Find Reels", phase: ReelsViewModel.Empty },
                { tag: "typed", text: "@natgeo", search: false, enabled: true, dim: 1,
                  label: "Find Reels", phase: ReelsViewModel.Empty },
                { tag: "loading", text: "@natgeo", search: true, enabled: false, dim: 1,
                  label: "Fetching reels…", phase: ReelsViewModel.Loading },
                // A signed-in Facebook profile is read page by page, and the button says which.
                { tag: "loading, facebook", text: "facebook.com/somepage", signIn: "facebook", search: true,
                  enabled: false, dim: 1, label: "Reading the reels page…", phase: ReelsViewModel.Loading },
                { tag: "error", text: "???", search: true, enabled: true, dim: 1,
                  label: "Find Reels", phase: ReelsViewModel.Error },
            ]
        }

        function test_mainButton(data) {
            const s = makeScreen()
            if (data.signIn) {
                harness.signInBrowser(data.signIn)
                tryCompare(s.vm.facebookAuth, "isSignedIn", true, 5000)
            }
            s.vm.inputText = data.text
            if (data.search)
                s.vm.search()
            tryCompare(s.vm, "phase", data.phase)
            const button = s.item("mainButton")
            compare(button.enabled, data.enabled)
            compare(button.restingOpacity, data.dim)
            try {
                tryCompare(s.item("mainButtonLabel"), "text", data.label)
            } finally {
                if (data.signIn) {
                    s.vm.reset()
                    s.vm.facebookAuth.signOut()
                }
            }
            tryCompare(s.item("errorNote"), "visible", data.phase === ReelsViewModel.Error)
            if (data.phase === ReelsViewModel.Error)
                compare(s.item("errorText").text, s.vm.errorMessage)
        }

        // Return and the main button both submit; blank text submits nothing.
        function test_submit_data() {
            return [
                { tag: "return, handle", text: "@natgeo", viaReturn: true, phase: ReelsViewModel.Loading },
                { tag: "return, blanks", text: "   ", viaReturn: true, phase: ReelsViewModel.Empty },
                { tag: "button, handle", text: "@natgeo", viaReturn: false, phase: ReelsViewModel.Loading },
                { tag: "button, blanks", text: "   ", viaReturn: false, phase: ReelsViewModel.Empty },
            ]
        }

        function test_submit(data) {
            const s = makeScreen()
            const field = s.item("linkField")
            tryVerify(() => field.activeFocus, 2000, "the field has focus when the screen shows")
            for (const c of data.text)
                keyClick(c)
            compare(s.vm.inputText, data.text)
            if (data.viaReturn)
                keyClick(Qt.Key_Return)
            else
                mouseClick(s.item("mainButton"))
            compare(s.vm.phase, data.phase)
            if (!data.viaReturn && data.phase === ReelsViewModel.Loading)
                verify(!field.activeFocus, "the button takes the focus from the field")
        }

        function test_pasteAndClear_data() {
            return [
                { tag: "link", clipboard: "https://instagram.com/natgeo", expected: "https://instagram.com/natgeo" },
                { tag: "kept as it is", clipboard: "  two\nlines ", expected: "  two\nlines " },
                { tag: "empty clipboard", clipboard: "", expected: "" },
            ]
        }

        function test_pasteAndClear(data) {
            const s = makeScreen()
            harness.setClipboard(data.clipboard)
            mouseClick(s.item("pasteButton"))
            compare(s.vm.inputText, data.expected)
            compare(s.vm.phase, ReelsViewModel.Empty)
            const pasted = data.expected.length > 0
            tryCompare(s.item("clearButton"), "visible", pasted)
            tryCompare(s.item("pasteButton"), "visible", !pasted)
            if (!pasted)
                return
            mouseClick(s.item("clearButton"))
            compare(s.vm.inputText, "")
            tryCompare(s.item("pasteButton"), "visible", true)
            compare(s.vm.phase, ReelsViewModel.Empty)
        }

        // Each pill follows its own platform's state and opens its own login.
        function test_pills_data() {
            return [ { tag: "instagram", other: "facebook" }, { tag: "facebook", other: "instagram" } ]
        }

        function test_pills(data) {
            const s = makeScreen()
            const pill = s.item(data.tag + "Pill")
            const otherPill = s.item(data.other + "Pill")
            const auth = data.tag === "facebook" ? s.vm.facebookAuth : s.vm.instagramAuth

            s.vm.loginTarget = data.other
            mouseClick(findChild(pill, "connectPill"))
            compare(s.vm.loginTarget, data.tag)
            verify(s.vm.showingLogin)

            harness.signInBrowser(data.tag)
            tryCompare(findChild(pill, "signedInPill"), "visible", true, 5000)
            verify(!findChild(pill, "connectPill").visible)
            verify(findChild(otherPill, "connectPill").visible)

            mouseClick(findChild(pill, "signedInPill"))
            const item = findChild(pill, "signOutItem")
            compare(item.text, "Sign out of " + (data.tag === "facebook" ? "Facebook" : "Instagram"))
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
}

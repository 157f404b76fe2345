import QtQuick
import QtTest
import ClipDock

// The screens from the keyboard and to a screen reader: where Tab goes, what Escape, Enter and
// Ctrl+A do, and what each control is called.
Item {
    id: top
    width: 520
    height: 820

    Component { id: searchComponent; SearchView { width: 460; height: 820 } }
    Component { id: profileComponent; ProfileView { width: 460; height: 820 } }
    Component { id: optionsComponent; QualityPickerView { width: 440; height: 820; reelCount: 5 } }
    Component { id: settingsComponent; SettingsView { width: 460; height: 820; appVersion: "0.0.0" } }
    Component {
        id: rowComponent
        DownloadRow {
            width: 460; itemId: "reel-0#720p"; title: "720p · 0:08"; thumbnailURL: ""
            stateKind: "failed"; progress: 0; percent: 0; message: "HTTP 404"; fileURL: ""
            alreadySaved: false
        }
    }
    Component { id: mainComponent; Main { } }

    TestCase {
        id: testCase
        name: "Keyboard"
        when: windowShown

        // A screen on its own, over a profile of `count` reels (one unless told) where it shows one.
        function make(kind, count) {
            if (kind === "search" || kind === "settings") {
                const root = harness.newRoot()
                return { vm: root.viewModel, screen: kind === "search"
                         ? createTemporaryObject(searchComponent, top, { viewModel: root.viewModel })
                         : createTemporaryObject(settingsComponent, top, {
                               destination: root.destination, settings: root.settings,
                               updateService: root.updateService }) }
            }
            if (kind === "download row")
                return { screen: createTemporaryObject(rowComponent, top) }
            const f = harness.newProfileFixture()
            f.load(count || 1)
            return { vm: f.viewModel, screen: kind === "options"
                     ? createTemporaryObject(optionsComponent, top, { viewModel: f.viewModel })
                     : createTemporaryObject(profileComponent, top, {
                           viewModel: f.viewModel, downloadManager: f.downloadManager,
                           destination: f.destination }) }
        }

        // Every control Tab can reach in this tree has a name and a role; symbols are hidden.
        function verifyNamed(item) {
            if (item.activeFocusOnTab) {
                verify(item.Accessible.name !== "", "a name for " + item)
                verify(item.Accessible.role !== 0, "a role for " + item.Accessible.name)
            }
            if (item.font !== undefined && item.font.family === Theme.symbolFamily)
                verify(item.Accessible.ignored, "symbol " + item.symbol + " is hidden")
            for (let i = 0; i < item.children.length; ++i)
                verifyNamed(item.children[i])
        }

        // Tab visits the controls in reading order and comes round again, each showing a ring (a
        // field shows its caret); Shift+Tab goes back the same way.
        function test_tabOrder_data() {
            return [
                { tag: "search", text: "@natgeo", names: ["Connect Instagram", "Connect Facebook",
                      "Profile link or handle", "Clear", "Find Reels"] },
                { tag: "options", names: ["All time", "1080p", "720p", "480p", "Audio only",
                      "Cancel", "Download 5"] },
                { tag: "settings", names: ["Close", "Choose folder…", "1", "2", "3", "5", "8",
                      "10", "Skip reels already saved", "Check for updates"] },
            ]
        }

        function test_tabOrder(data) {
            const s = make(data.tag)
            if (data.text)
                s.vm.inputText = data.text
            waitForRendering(s.screen)
            top.forceActiveFocus()
            const focused = () => top.Window.activeFocusItem
            const seen = []
            for (let i = 0; i <= data.names.length; ++i) {
                keyClick(Qt.Key_Tab)
                seen.push(focused().Accessible.name)
                const ring = Array.from(focused().children).find(c => c.targetRadius !== undefined)
                verify(focused().Accessible.role === Accessible.EditableText || (ring && ring.visible),
                       "a ring on " + seen[i])
            }
            compare(seen, data.names.concat(data.names[0]))
            const back = []
            for (let i = 0; i < data.names.length; ++i) {
                keyClick(Qt.Key_Tab, Qt.ShiftModifier)
                back.push(focused().Accessible.name)
            }
            compare(back, data.names.slice().reverse())
        }

        // Escape closes the sheet in front and leaves the one below it.
        function test_escape_data() {
            return [
                { tag: "options", sheet: "qualitySheet", open: w => w.vm.showingQualitySheet = true },
                { tag: "date range", sheet: "customRangeSheet",
                  open: w => w.vm.showingCustomDateRange = true },
                { tag: "downloads", sheet: "downloadSheet",
                  open: w => w.root.downloadManager.isPresented = true },
                { tag: "player", sheet: "playerSheet", open: w => {
                    w.vm.inputText = "@natgeo"
                    w.vm.search()
                    tryCompare(w.vm, "phase", ReelsViewModel.Loaded, 5000)
                    w.vm.play(w.vm.reelModel.get(0).id)
                } },
                { tag: "options' date range", sheet: "optionsRangeSheet", below: "qualitySheet",
                  open: w => {
                    const menu = w.find("optionsDateMenu")
                    menu.itemAt(menu.count - 1).triggered()
                } },
                { tag: "folder chooser", sheet: "folderSheet", below: "settingsSheet",
                  open: w => w.find("folderChooser").open() },
            ]
        }

        function test_escape(data) {
            const root = harness.newRoot()
            const window = createTemporaryObject(mainComponent, testCase, { root: root })
            const w = { root: root, vm: root.viewModel }
            let below = null
            if (data.below) {
                below = findChild(window, data.below)
                data.below === "qualitySheet" ? w.vm.showingQualitySheet = true
                                              : w.vm.showingSettings = true
                tryVerify(() => below.contentItem.activeFocus, 2000)
                w.find = name => findChild(below.contentItem, name) || findChild(below, name)
            }
            data.open(w)
            const sheet = findChild(below ? below.contentItem : window, data.sheet)
                    || findChild(window, data.sheet)
            // A sheet counts as active with its owner; the keyboard is there once its items are.
            tryVerify(() => sheet.contentItem.activeFocus, 5000, "the sheet takes the keyboard")
            verifyNamed(sheet.contentItem)
            keyClick(Qt.Key_Escape)
            verify(!sheet.open && !sheet.visible)
            if (below)
                verify(below.open && below.visible, "the sheet below stays")
        }

        // Enter searches as Return does; Ctrl+A takes every reel while selecting and does nothing
        // otherwise.
        function test_keys_data() {
            return [
                { tag: "enter searches", screen: "search", key: Qt.Key_Enter },
                { tag: "ctrl+a, some selected", screen: "profile", key: Qt.Key_A, selecting: true,
                  selected: 1, count: 5, expected: 5 },
                { tag: "ctrl+a, all selected", screen: "profile", key: Qt.Key_A, selecting: true,
                  selected: 5, count: 5, expected: 5 },
                { tag: "ctrl+a, not selecting", screen: "profile", key: Qt.Key_A, selecting: false,
                  selected: 0, count: 5, expected: 0 },
            ]
        }

        function test_keys(data) {
            const s = make(data.screen, data.count)
            if (data.screen === "search") {
                tryVerify(() => findChild(s.screen, "linkField").activeFocus, 2000)
                for (const c of "@natgeo")
                    keyClick(c)
                keyClick(data.key)
                compare(s.vm.phase, ReelsViewModel.Loading)
                s.vm.reset()
                return
            }
            s.vm.isSelectionMode = data.selecting
            for (let i = 0; i < data.selected; ++i)
                s.vm.toggleSelection("reel-" + i)
            // The window's shortcuts answer only while it has the keyboard.
            top.Window.window.requestActivate()
            tryVerify(() => top.Window.window.contentItem.activeFocus)
            keyClick(data.key, Qt.ControlModifier)
            compare(s.vm.selectedCount, data.expected)
            compare(s.vm.isSelectionMode, data.selecting)
        }

        // What a screen reader hears of a sample of each kind of control; "." is the screen
        // itself and "menu/i" the menu's entry i.
        function test_screenReaders_data() {
            return [
                { tag: "search", expect: {
                    linkField: ["Profile link or handle", Accessible.EditableText],
                    pasteButton: ["Paste", Accessible.Button],
                    connectPill: ["Connect Instagram", Accessible.Button] } },
                { tag: "profile", expect: {
                    backButton: ["Back", Accessible.Button],
                    listButton: ["List", Accessible.Button],
                    dateMenuButton: ["All time", Accessible.ButtonMenu],
                    "dateMenu/1": ["Today", Accessible.MenuItem],
                    reelCard: ["Reel, 0:08, 1.5K views", Accessible.ListItem],
                    downloadsButton: ["Downloads", Accessible.Button] } },
                { tag: "profile list", list: true, expect: {
                    reelRow: ["Reel #1", Accessible.ListItem],
                    rowDownloadButton: ["Download", Accessible.Button] } },
                { tag: "options", expect: {
                    "quality Audio only": ["Audio only", Accessible.RadioButton] } },
                { tag: "settings", expect: {
                    choice5: ["5", Accessible.RadioButton],
                    skipSavedSwitch: ["Skip reels already saved", Accessible.CheckBox] } },
                { tag: "download row", expect: {
                    ".": ["720p · 0:08", Accessible.ListItem],
                    retryButton: ["Retry", Accessible.Button] } },
            ]
        }

        function test_screenReaders(data) {
            const s = make(data.tag.split(" list")[0])
            if (data.list)
                s.vm.layout = ReelsViewModel.List
            waitForRendering(s.screen)
            verifyNamed(s.screen)
            for (const key in data.expect) {
                const [menu, index] = key.split("/")
                const item = key === "." ? s.screen
                           : index ? findChild(s.screen, menu).itemAt(Number(index))
                           : findChild(s.screen, key)
                verify(item !== null, key)
                compare([item.Accessible.name, item.Accessible.role], data.expect[key], key)
            }
        }
    }
}

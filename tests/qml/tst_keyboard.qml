import QtQuick
import QtTest
import ClipDock
import "../support"

// The screens from the keyboard and to a screen reader: where Tab goes, what Escape and Ctrl+A
// do, and what each control is called.
ScreenTestCase {
    id: testCase
    name: "Keyboard"
    width: 520
    height: 820

    Component {
        id: optionsComponent
        QualityPickerView { width: 440; height: 820; reelCount: 5 }
    }
    Component {
        id: rowComponent
        DownloadRow {
            width: 460; itemId: "reel-0#720p"; title: "720p · 0:08"; thumbnailURL: ""
            stateKind: "failed"; progress: 0; percent: 0; message: "HTTP 404"; fileURL: ""
            alreadySaved: false
        }
    }

    // A screen on its own, over a profile of `count` reels (one unless told) where it shows one.
    function make(kind, count) {
        if (kind === "search" || kind === "settings")
            return screen(kind)
        if (kind === "download row")
            return { screen: createTemporaryObject(rowComponent, stage) }
        const f = harness.newProfileFixture()
        f.load(count || 1)
        return { vm: f.viewModel, screen: kind !== "options" ? profileScreen(f)
                 : createTemporaryObject(optionsComponent, stage, { viewModel: f.viewModel }) }
    }

    // Every control Tab can reach in this tree has a name and a role; symbols are known to the
    // icon table and hidden. A web page names its own controls.
    function verifyNamed(item) {
        if (item.objectName === "loginWebView")
            return
        if (item.symbol)
            verify(UiCatalog.glyph(item.symbol) !== "", "unknown symbol " + item.symbol)
        if (item.activeFocusOnTab) {
            verify(item.Accessible.name !== "", "a name for " + item)
            verify(item.Accessible.role !== 0, "a role for " + item.Accessible.name)
        }
        if (item.font !== undefined && item.font.family === Theme.symbolFamily)
            verify(item.Accessible.ignored, "symbol " + item.symbol + " is hidden")
        for (let i = 0; i < item.children.length; ++i)
            verifyNamed(item.children[i])
    }

    // A sheet shows while the flag it is bound to holds. Escape, or a close by the window manager,
    // closes the sheet in front, clears its flag and leaves the sheet below it.
    function test_escape_data() {
        const range = w => w.find("optionsDateMenu").itemAt(w.find("optionsDateMenu").count - 1).triggered()
        return rows("tag sheet flag open below", [
            ["options", "qualitySheet", "vm.showingQualitySheet"],
            ["date range", "customRangeSheet", "vm.showingCustomDateRange"],
            ["downloads", "downloadSheet", "manager.isPresented"],
            ["login", "loginSheet", "vm.showingLogin"], ["login, closed", "loginSheet", "vm.showingLogin"],
            ["settings", "settingsSheet", "vm.showingSettings"],
            ["settings, closed", "settingsSheet", "vm.showingSettings"],
            ["update", "updateSheet", "root.showingUpdateSheet"],
            ["update, closed", "updateSheet", "root.showingUpdateSheet"],
            ["player", "playerSheet", "vm.hasPlayingReel",
             w => w.vm.play(searched("@natgeo", w.root).viewModel.reelModel.get(0).id)],
            ["options' date range", "optionsRangeSheet", "", range, "qualitySheet"],
            ["folder chooser", "folderSheet", "", w => w.find("folderChooser").open(), "settingsSheet"]])
    }

    function test_escape(data) {
        const w = openWindow()
        const [owner, flag] = data.flag.split(".")
        let below = null
        if (data.below) {
            below = w.sheet(data.below)
            data.below === "qualitySheet" ? w.vm.showingQualitySheet = true : w.vm.showingSettings = true
            tryVerify(() => below.contentItem.activeFocus, 2000)
            w.find = name => findChild(below.contentItem, name) || findChild(below, name)
        }
        verify(!flag || !w.sheet(data.sheet).visible, "hidden until asked for")
        data.open ? data.open(w) : w[owner][flag] = true
        const sheet = findChild(below ? below.contentItem : w.window, data.sheet) || w.sheet(data.sheet)
        // A sheet counts as active with its owner; the keyboard is there once its items are.
        tryVerify(() => sheet.contentItem.activeFocus, 5000, "the sheet takes the keyboard")
        verifyNamed(sheet.contentItem)
        data.tag.endsWith("closed") ? sheet.close() : keyClick(Qt.Key_Escape)
        verify(!sheet.open && !sheet.visible)
        verify(!flag || !w[owner][flag], "the flag is cleared")
        if (below)
            verify(below.open && below.visible, "the sheet below stays")
    }

    // Ctrl+A takes every reel of five while selecting and does nothing otherwise.
    function test_selectAllKey_data() {
        return rows("tag selecting selected expected", [
            ["some selected", true, 1, 5], ["all selected", true, 5, 5], ["not selecting", false, 0, 0]])
    }

    function test_selectAllKey(data) {
        const s = make("profile", 5)
        s.vm.isSelectionMode = data.selecting
        for (let i = 0; i < data.selected; ++i)
            s.vm.toggleSelection("reel-" + i)
        // The window's shortcuts answer only while it has the keyboard.
        testCase.Window.window.requestActivate()
        tryVerify(() => testCase.Window.window.contentItem.activeFocus)
        keyClick(Qt.Key_A, Qt.ControlModifier)
        compare([s.vm.selectedCount, s.vm.isSelectionMode], [data.expected, data.selecting])
    }

    // Per screen: what a screen reader hears of a sample of each kind of control ("." is the
    // screen itself and "menu/i" the menu's entry i); where `tabs` names them, Tab visits the
    // controls in reading order and comes round again, each showing a ring (a field shows its
    // caret), and Shift+Tab goes back the same way.
    function test_screens_data() {
        return [
            { tag: "search", text: "@natgeo", tabs: ["Connect Instagram", "Connect Facebook",
                  "Profile link or handle", "Clear", "Find Reels"], expect: {
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
            { tag: "options", tabs: ["All time", "1080p", "720p", "480p", "Audio only", "Cancel",
                  "Download 5"], expect: { "quality Audio only": ["Audio only", Accessible.RadioButton] } },
            { tag: "settings", tabs: ["Close", "Choose folder…", "1", "2", "3", "5", "8", "10",
                  "Skip reels already saved", "Check for updates"], expect: {
                choice5: ["5", Accessible.RadioButton],
                skipSavedSwitch: ["Skip reels already saved", Accessible.CheckBox] } },
            { tag: "download row", expect: {
                ".": ["720p · 0:08", Accessible.ListItem],
                retryButton: ["Retry", Accessible.Button] } },
        ]
    }

    function test_screens(data) {
        const s = make(data.tag.split(" list")[0])
        if (data.list)
            s.vm.layout = ReelsViewModel.List
        if (data.text)
            s.vm.inputText = data.text
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
        if (!data.tabs)
            return
        testCase.forceActiveFocus()
        const focused = () => testCase.Window.activeFocusItem
        const seen = []
        for (let i = 0; i <= data.tabs.length; ++i) {
            keyClick(Qt.Key_Tab)
            seen.push(focused().Accessible.name)
            const ring = Array.from(focused().children).find(c => c.targetRadius !== undefined)
            verify(focused().Accessible.role === Accessible.EditableText || (ring && ring.visible),
                   "a ring on " + seen[i])
        }
        compare(seen, data.tabs.concat(data.tabs[0]))
        const back = []
        for (let i = 0; i < data.tabs.length; ++i) {
            keyClick(Qt.Key_Tab, Qt.ShiftModifier)
            back.push(focused().Accessible.name)
        }
        compare(back, data.tabs.slice().reverse())
    }
}

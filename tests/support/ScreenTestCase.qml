import QtQuick
import QtTest
import ClipDock

// What the screens' tests and the gallery share: windows and screens over fresh objects, clicks
// that wait for layout, checks of where things are drawn, and compact data tables.
TestCase {
    id: base
    when: windowShown

    // Where screens are shown: the window's content, since a test case itself is never drawn.
    readonly property Item stage: parent

    Component {
        id: mainComponent
        Main { }
    }
    Component {
        id: profileComponent
        ProfileView { width: 460; height: 820 }
    }
    Component {
        id: searchComponent
        SearchView { width: 460; height: 820 }
    }
    Component {
        id: settingsComponent
        SettingsView { width: 460; height: 700; appVersion: "0.0.0" }
    }
    Component {
        id: playerComponent
        ReelPlayer { width: 400; height: 720 }
    }

    // The app's window over `root`, a new set of objects unless given; `item` finds in the
    // window's visual tree, `sheet` among its objects.
    function openWindow(root) {
        root = root || harness.newRoot()
        const window = createTemporaryObject(mainComponent, base, { root: root })
        return { root: root, vm: root.viewModel, manager: root.downloadManager, window: window,
                 item: name => findChild(window.contentItem, name), sheet: name => findChild(window, name) }
    }

    // The search or the settings screen on its own, over a new set of objects.
    function screen(kind) {
        const root = harness.newRoot()
        const view = createTemporaryObject(kind === "search" ? searchComponent : settingsComponent, stage,
                                           kind === "search" ? { viewModel: root.viewModel } : {
                                               destination: root.destination, settings: root.settings,
                                               updateService: root.updateService })
        return { root: root, vm: root.viewModel, screen: view, item: name => findChild(view, name) }
    }

    // The reel player on its own, playing `reel`.
    function player(reel) {
        const view = createTemporaryObject(playerComponent, stage, { reel: reel, active: true })
        return { player: view, media: findChild(view, "mediaPlayer"), item: name => findChild(view, name) }
    }

    // A set of objects (new unless given) that has loaded the (demo) profile at `link`.
    function searched(link, root) {
        root = root || harness.newRoot()
        root.viewModel.inputText = link
        root.viewModel.search()
        tryCompare(root.viewModel, "phase", ReelsViewModel.Loaded, 5000)
        return root
    }

    // The profile screen over a profile fixture or a set of objects.
    function profileScreen(source, properties) {
        const screen = createTemporaryObject(profileComponent, stage, Object.assign({
            viewModel: source.viewModel, downloadManager: source.downloadManager,
            destination: source.destination }, properties))
        waitForRendering(screen)
        return screen
    }

    // The profile screen over a new profile fixture that has loaded `count` reels with `options`
    // (the fixture's, and the screen's width and height); `item` finds in the screen.
    function fixtureScreen(count, options) {
        const f = harness.newProfileFixture()
        f.load(count, options)
        const screen = profileScreen(f, { width: options.width || 460, height: options.height || 820 })
        return { fixture: f, vm: f.viewModel, manager: f.downloadManager, screen: screen,
                 item: name => findChild(screen, name) }
    }

    // Saves `reels` through the root's queue as an earlier run would have, then turns "Skip reels
    // already saved" on, so that asking for them again finds them saved; returns the reels.
    function saveEarlier(root, reels) {
        root.downloadManager.enqueue(reels, "720p")
        tryCompare(root.downloadManager, "completedCount", reels.length, 10000)
        root.downloadManager.clearFinished()
        root.settings.skipSavedReels = true
        return reels
    }

    // Rows from arrays under one line of names: rows("tag a", [["x", 1]]) is [{ tag: "x", a: 1 }].
    function rows(names, values) {
        const keys = names.split(" ")
        return values.map(v => keys.reduce((row, key, i) => { row[key] = v[i]; return row }, {}))
    }

    // Clicks once the control is shown and laid out.
    function click(item) {
        verify(item && item.visible, "control shown")
        waitForRendering(item)
        mouseClick(item)
    }

    // Types the text into the item with the keyboard's focus.
    function type(text) {
        for (const c of text)
            keyClick(c)
    }

    function longPress(item, x, y) {
        mousePress(item, x, y)
        wait(400)
        mouseRelease(item, x, y)
    }

    // Whether the item's box lies inside the other's, both in one window.
    function within(item, box) {
        const a = item.mapToItem(null, 0, 0)
        const b = box.mapToItem(null, 0, 0)
        return a.x >= b.x - 0.5 && a.y >= b.y - 0.5 && a.x + item.width <= b.x + box.width + 0.5
                && a.y + item.height <= b.y + box.height + 0.5
    }

    // Whether two items' boxes, both in one window, do not overlap.
    function apart(a, b) {
        const [p, q] = [a.mapToItem(null, 0, 0), b.mapToItem(null, 0, 0)]
        return p.x + a.width <= q.x + 0.5 || q.x + b.width <= p.x + 0.5
                || p.y + a.height <= q.y + 0.5 || q.y + b.height <= p.y + 0.5
    }

    // Saves a picture of the item for the gallery once springs and fades have settled.
    function shoot(item, name, settleMs) {
        wait(settleMs === undefined ? 700 : settleMs)
        grabImage(item).save(harness.galleryDir + "/" + name + ".png")
    }
}

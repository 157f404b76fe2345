import QtQuick
import QtTest
import ClipDock

ScreenTestCase {
    id: testCase
    name: "UpdatesAndSettings"
    width: 520
    height: 700

    Component {
        id: settingsComponent
        SettingsView { width: 460; height: 700; appVersion: "0.0.0" }
    }
    Component {
        id: sheetComponent
        UpdateAvailableSheet { width: 520; height: 520; installedVersion: "2.0.3" }
    }

    function openSettings() {
        const root = harness.newRoot()
        const view = createTemporaryObject(settingsComponent, stage, {
            destination: root.destination, settings: root.settings, updateService: root.updateService })
        return { root: root, settings: root.settings, item: name => findChild(view, name) }
    }

    function test_releaseNotes_data() {
        return rows("tag notes", [["notes", "Line one\n<b>not bold</b>"], ["empty notes", ""], ["no notes"]])
    }

    function test_releaseNotes(data) {
        harness.serveManifest("2.1.0", data.notes)
        const service = harness.newRoot().updateService
        service.check(false)
        tryVerify(() => UiCatalog.updateKind(service.state) === "available", 5000)
        const sheet = createTemporaryObject(sheetComponent, stage, { info: service.state.info })
        const item = name => findChild(sheet, name)
        compare([item("versionText").text, item("installedText").text],
                ["Version 2.1.0 is ready to install.", "Currently installed: 2.0.3"])
        const shown = !!data.notes
        compare([item("notesCard").visible, item("noNotesCard").visible], [shown, !shown])
        if (shown)
            compare(item("notesText").text, data.notes)
    }

    // A limit that is not one of the choices highlights none; a click sets it and moves the
    // highlight.
    function test_concurrencyChoices_data() {
        return [1, 10].map(n => ({ tag: "choose " + n, choice: n }))
    }

    function test_concurrencyChoices(data) {
        const s = openSettings()
        const highlighted = () => [1, 2, 3, 5, 8, 10].filter(n => s.item("choice" + n).current)
        s.settings.maxConcurrentDownloads = 4
        compare(highlighted(), [])
        mouseClick(s.item("choice" + data.choice))
        compare(s.settings.maxConcurrentDownloads, data.choice)
        compare(highlighted(), [data.choice])
    }

    // The switch follows the setting, sets it and is remembered for the next start.
    function test_skipSavedReels() {
        const s = openSettings()
        const toggle = s.item("skipSavedSwitch")
        s.settings.skipSavedReels = true
        verify(toggle.checked)
        for (const on of [false, true, false]) {
            mouseClick(toggle)
            compare([s.settings.skipSavedReels, toggle.checked, harness.newRoot().settings.skipSavedReels],
                    [on, on, on])
        }
    }

    // The status row and the check button follow the update state; a failure shows its message.
    function test_checkButton_data() {
        return rows("tag serve pill button", [
            ["checking", () => harness.stallManifest(), "", "Checking…"],
            ["upToDate", () => harness.serveManifest("0.0.0"), "You're up to date", "Check for updates"],
            ["available", () => harness.serveManifest("2.1"), "Version 2.1 available", "Get version 2.1"],
            ["failed", () => harness.failManifest(500), null, "Check for updates"]])
    }

    function test_checkButton(data) {
        const s = openSettings()
        const [button, pill] = [s.item("checkButton"), s.item("statusPill")]
        compare(button.text, "Check for updates")
        verify(!pill.visible)
        data.serve()
        mouseClick(button)
        tryVerify(() => UiCatalog.updateKind(s.root.updateService.state) === data.tag, 5000)
        compare([button.text, button.enabled], [data.button, data.tag !== "checking"])
        compare(pill.visible, data.pill !== "")
        if (data.pill !== "")
            compare(pill.text, data.pill === null ? s.root.updateService.state.message : data.pill)
    }

    // With no desktop dialog, the app's own opens at the folder in use, lists its folders,
    // refuses a name already there, makes a new folder and goes into it; "Use This Folder"
    // takes it, "Cancel" changes nothing.
    function test_chooseFolder_data() {
        return [{ tag: "confirmed", accept: true }, { tag: "cancelled", accept: false }]
    }

    function test_chooseFolder(data) {
        const s = openSettings()
        const start = harness.newFolder("Start " + data.tag)
        harness.newFolder("Start " + data.tag + "/Older")
        verify(s.root.destination.adoptFolder(start))
        const before = s.root.destination.displayPath
        mouseClick(s.item("chooseFolderButton"))
        const sheet = s.item("folderSheet")
        tryCompare(sheet, "visible", true)
        const item = name => findChild(sheet.contentItem, name)
        tryVerify(() => item("folderPathText") !== null && item("folderRow_Older") !== null, 5000)
        compare(item("folderPathText").text, before)
        verify(!s.item("chooseFolderButton").enabled, "one chooser at a time")

        const field = item("newFolderField")
        tryVerify(() => sheet.active, 2000, "the sheet takes the keyboard")
        mouseClick(field)
        for (const [name, message] of [["Older", "\u201cOlder\u201d already exists here."], ["Reels 2024", ""]]) {
            field.clear()
            type(name)
            mouseClick(item("createFolderButton"))
            compare(item("folderMessage").visible ? item("folderMessage").text : "", message)
        }
        compare([field.text, item("folderPathText").text], ["", before + "/Reels 2024"])
        verify(harness.isFolder(start + "/Reels 2024"))
        tryCompare(item("noFoldersText"), "visible", true)

        mouseClick(item(data.accept ? "useFolderButton" : "cancelFolderButton"))
        tryCompare(sheet, "visible", false)
        compare(s.root.destination.displayPath, data.accept ? before + "/Reels 2024" : before)
        compare(s.item("folderTitleSubtitle").text, s.root.destination.displayPath)
        verify(s.item("chooseFolderButton").enabled)
    }

    function test_folderNoteOnLinux() {
        compare(openSettings().item("folderNote").text,
                "Files are saved to the folder you pick. Clip Dock remembers it for future sessions too.")
    }
}

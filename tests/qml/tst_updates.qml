import QtQuick
import QtTest
import ClipDock
import "../support"

ScreenTestCase {
    id: testCase
    name: "UpdatesAndSettings"
    width: 520
    height: 700

    // A limit that is not one of the choices highlights none; a click sets it and moves the
    // highlight.
    function test_concurrencyChoices_data() {
        return [1, 10].map(n => ({ tag: "choose " + n, choice: n }))
    }

    function test_concurrencyChoices(data) {
        const s = screen("settings")
        const highlighted = () => [1, 2, 3, 5, 8, 10].filter(n => s.item("choice" + n).current)
        s.root.settings.maxConcurrentDownloads = 4
        compare(highlighted(), [])
        mouseClick(s.item("choice" + data.choice))
        compare(s.root.settings.maxConcurrentDownloads, data.choice)
        compare(highlighted(), [data.choice])
    }

    // The switch follows the setting, sets it and is remembered for the next start.
    function test_skipSavedReels() {
        const s = screen("settings")
        const [toggle, settings] = [s.item("skipSavedSwitch"), s.root.settings]
        settings.skipSavedReels = true
        verify(toggle.checked)
        for (const on of [false, true, false]) {
            mouseClick(toggle)
            compare([settings.skipSavedReels, toggle.checked, harness.newRoot().settings.skipSavedReels],
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
        const s = screen("settings")
        const [button, pill] = [s.item("checkButton"), s.item("statusPill")]
        compare([button.text, pill.visible], ["Check for updates", false])
        data.serve()
        mouseClick(button)
        tryVerify(() => UiCatalog.updateKind(s.root.updateService.state) === data.tag, 5000)
        compare([button.text, button.enabled], [data.button, data.tag !== "checking"])
        compare([pill.visible, pill.visible ? pill.text : ""],
                [data.pill !== "", data.pill === null ? s.root.updateService.state.message : data.pill])
    }

    // With no desktop dialog, the app's own opens at the folder in use, lists its folders,
    // refuses a name already there, makes a new folder and goes into it; "Use This Folder"
    // takes it, "Cancel" changes nothing. The note under the folder is the one for Linux.
    function test_chooseFolder_data() {
        return [{ tag: "confirmed", accept: true }, { tag: "cancelled", accept: false }]
    }

    function test_chooseFolder(data) {
        const s = screen("settings")
        compare(s.item("folderNote").text,
                "Files are saved to the folder you pick. Clip Dock remembers it for future sessions too.")
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
}

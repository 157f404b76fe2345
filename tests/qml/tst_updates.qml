import QtQuick
import QtTest
import ClipDock

Item {
    id: top
    width: 520
    height: 700

    TestCase {
        id: testCase
        name: "UpdatesAndSettings"
        when: windowShown

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
            const view = createTemporaryObject(settingsComponent, top, {
                destination: root.destination, settings: root.settings,
                updateService: root.updateService })
            return { root: root, view: view, item: name => findChild(view, name) }
        }

        function availableUpdate(version, notes) {
            harness.serveManifest(version, notes)
            const service = harness.newRoot().updateService
            service.check(false)
            tryVerify(() => UiCatalog.updateKind(service.state) === "available", 5000)
            return service.state.info
        }

        function test_releaseNotes_data() {
            return [
                { tag: "notes", notes: "Line one\n<b>not bold</b>", shown: true },
                { tag: "empty notes", notes: "", shown: false },
                { tag: "no notes", notes: undefined, shown: false },
            ]
        }

        function test_releaseNotes(data) {
            const sheet = createTemporaryObject(sheetComponent, top,
                                                { info: availableUpdate("2.1.0", data.notes) })
            compare(findChild(sheet, "versionText").text, "Version 2.1.0 is ready to install.")
            compare(findChild(sheet, "installedText").text, "Currently installed: 2.0.3")
            compare(findChild(sheet, "notesCard").visible, data.shown)
            compare(findChild(sheet, "noNotesCard").visible, !data.shown)
            if (data.shown)
                compare(findChild(sheet, "notesText").text, data.notes)
        }

        function test_concurrencyChoices_data() {
            return [1, 10].map(n => ({ tag: "choose " + n, choice: n }))
        }

        function test_concurrencyChoices(data) {
            const s = openSettings()
            s.root.settings.maxConcurrentDownloads = 4
            for (const n of [1, 2, 3, 5, 8, 10])
                verify(!s.item("choice" + n).current, "a limit of 4 highlights no choice")
            mouseClick(s.item("choice" + data.choice))
            compare(s.root.settings.maxConcurrentDownloads, data.choice)
            for (const n of [1, 2, 3, 5, 8, 10])
                compare(s.item("choice" + n).current, n === data.choice)
        }

        // The switch follows the setting, sets it and is remembered for the next start.
        function test_skipSavedReels() {
            const s = openSettings()
            const toggle = s.item("skipSavedSwitch")
            s.root.settings.skipSavedReels = true
            verify(toggle.checked)
            for (const on of [false, true, false]) {
                mouseClick(toggle)
                compare(s.root.settings.skipSavedReels, on)
                compare(toggle.checked, on)
                compare(harness.newRoot().settings.skipSavedReels, on)
            }
        }

        // The status row and the check button follow the update state.
        function test_checkButton_data() {
            return [
                { tag: "checking", serve: () => harness.stallManifest(), kind: "checking",
                  pill: "", button: "Checking…", enabled: false },
                { tag: "up to date", serve: () => harness.serveManifest("0.0.0"), kind: "upToDate",
                  pill: "You're up to date", button: "Check for updates", enabled: true },
                { tag: "available", serve: () => harness.serveManifest("2.1"), kind: "available",
                  pill: "Version 2.1 available", button: "Get version 2.1", enabled: true },
                { tag: "failed", serve: () => harness.failManifest(500), kind: "failed",
                  pill: "(message)", button: "Check for updates", enabled: true },
            ]
        }

        function test_checkButton(data) {
            const s = openSettings()
            const button = s.item("checkButton")
            compare(button.text, "Check for updates")
            verify(!s.item("statusPill").visible)
            data.serve()
            mouseClick(button)
            tryVerify(() => UiCatalog.updateKind(s.root.updateService.state) === data.kind, 5000)
            compare(button.text, data.button)
            compare(button.enabled, data.enabled)
            const pill = s.item("statusPill")
            compare(pill.visible, data.pill !== "")
            if (data.kind === "failed")
                compare(pill.text, s.root.updateService.state.message)
            else if (data.pill)
                compare(pill.text, data.pill)
        }

        // With no desktop dialog, the app's own opens at the folder in use, lists its folders,
        // refuses a name already there, makes a new folder and goes into it; "Use This Folder"
        // takes it, "Cancel" changes nothing.
        function test_chooseFolder_data() {
            return [ { tag: "confirmed", accept: true }, { tag: "cancelled", accept: false } ]
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
            tryVerify(() => item("folderPathText") !== null)
            compare(item("folderPathText").text, before)
            tryVerify(() => item("folderRow_Older") !== null, 5000)
            verify(!s.item("chooseFolderButton").enabled, "one chooser at a time")

            const field = item("newFolderField")
            tryVerify(() => sheet.active, 2000, "the sheet takes the keyboard")
            mouseClick(field)
            for (const name of ["Older", "Reels 2024"]) {
                field.clear()
                for (const c of name)
                    keyClick(c)
                mouseClick(item("createFolderButton"))
                if (name === "Older")
                    compare(item("folderMessage").text, "\u201cOlder\u201d already exists here.")
            }
            verify(!item("folderMessage").visible)
            compare(field.text, "")
            compare(item("folderPathText").text, before + "/Reels 2024")
            verify(harness.isFolder(start + "/Reels 2024"))
            tryCompare(item("noFoldersText"), "visible", true)

            mouseClick(item(data.accept ? "useFolderButton" : "cancelFolderButton"))
            tryCompare(sheet, "visible", false)
            compare(s.root.destination.displayPath, data.accept ? before + "/Reels 2024" : before)
            compare(s.item("folderTitleSubtitle").text, s.root.destination.displayPath)
            verify(s.item("chooseFolderButton").enabled)
        }

        function test_folderNoteOnLinux() {
            const s = openSettings()
            compare(s.item("folderNote").text,
                    "Files are saved to the folder you pick. Clip Dock remembers it for future sessions too.")
        }
    }
}

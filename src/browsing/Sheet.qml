import QtQuick
import QtQuick.Window
import ClipDock

// A modal window over the main one, shown while `open` holds. Closing it by the window manager
// or with Escape asks the owner to clear its flag through `dismissed`; the window itself only
// ever follows the flag.
//
// A sheet opens over the sheet in front, if one is shown, else over the window that holds it:
// the window manager keeps it above that one, and it blocks that one rather than the other way
// round.
Window {
    id: sheet

    property bool open: false
    signal dismissed()

    // The window that holds the sheet, which it opens over when no other sheet is shown.
    property var home: null
    property bool shown: false

    function follow() {
        if (open && !shown) {
            if (home === null)
                home = transientParent
            const front = UiCatalog.frontModalWindow()
            transientParent = front !== null && front !== sheet ? front : home
        }
        shown = open
    }

    visible: shown
    flags: Qt.Dialog
    modality: Qt.WindowModal
    color: Theme.background

    onOpenChanged: follow()
    Component.onCompleted: follow()
    onVisibleChanged: if (visible) requestActivate()
    onClosing: (close) => {
        // A hidden sheet has nothing to refuse. Quitting closes every window that was ever shown,
        // hidden sheets too, and one refusal keeps the application running without a window.
        if (!sheet.visible)
            return
        close.accepted = false
        sheet.dismissed()
    }

    Shortcut {
        sequences: [StandardKey.Cancel]
        onActivated: sheet.dismissed()
    }
}

import QtQuick
import QtQuick.Window
import ClipDock

// A modal window over the main one, shown while `open` holds. Closing it by the window manager
// or with Escape asks the owner to clear its flag through `dismissed`; the window itself only
// ever follows the flag.
Window {
    id: sheet

    property bool open: false
    signal dismissed()

    visible: open
    flags: Qt.Dialog
    modality: Qt.WindowModal
    color: Theme.background

    onVisibleChanged: if (visible) requestActivate()
    onClosing: (close) => {
        close.accepted = false
        sheet.dismissed()
    }

    Shortcut {
        sequences: [StandardKey.Cancel]
        onActivated: sheet.dismissed()
    }
}

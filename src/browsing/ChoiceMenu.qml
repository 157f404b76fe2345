import QtQuick
import QtQuick.Controls.Basic
import ClipDock

// A dark pop-up menu of choices; its entries are ChoiceMenuItems and MenuSeparators.
Menu {
    padding: 4
    background: Rectangle {
        implicitWidth: 200
        radius: 10
        color: Theme.surfaceElevated
        border.color: Theme.stroke
    }
    delegate: ChoiceMenuItem { }
}

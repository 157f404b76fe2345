import QtQuick
import QtQuick.Controls.Basic
import ClipDock

// One entry of a ChoiceMenu: its title, with a checkmark when it is the current choice.
MenuItem {
    id: item

    property bool current: false

    Accessible.role: Accessible.MenuItem
    Accessible.name: text
    Accessible.checkable: true
    Accessible.checked: current
    implicitHeight: 32
    leftPadding: 10
    rightPadding: 10
    background: Rectangle {
        radius: 6
        color: item.highlighted ? Theme.withAlpha(Theme.accent, 0.25) : "transparent"
    }
    indicator: null
    contentItem: Row {
        spacing: 8
        Icon {
            anchors.verticalCenter: parent.verticalCenter
            width: 14
            symbol: "checkmark"
            size: 14
            color: Theme.textPrimary
            opacity: item.current ? 1 : 0
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: item.text
            color: Theme.textPrimary
            font.pixelSize: 13
        }
    }
}

import QtQuick
import QtQuick.Layouts
import ClipDock

// One count of the profile header: the value over its title, taking an equal share of the row.
Column {
    property string title
    property string value

    Layout.fillWidth: true
    Layout.preferredWidth: 1
    spacing: 2

    Text {
        objectName: "stat" + parent.title
        anchors.horizontalCenter: parent.horizontalCenter
        text: parent.value
        color: Theme.textPrimary
        font.pixelSize: 16
        font.weight: Font.Bold
    }
    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        text: parent.title
        color: Theme.textTertiary
        font.pixelSize: 11
        font.weight: Font.Medium
    }
}

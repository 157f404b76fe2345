import QtQuick
import QtQuick.Controls
import ClipDock

ApplicationWindow {
    id: window

    required property ContentView root

    width: 460
    height: 820
    minimumWidth: 420
    minimumHeight: 720
    visible: true
    title: "Clip Dock"
    color: "#0B0B12"

    Column {
        anchors.centerIn: parent
        spacing: 8

        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Clip Dock"
            color: "white"
            font.pixelSize: 34
            font.weight: Font.Bold
        }
        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            text: window.root.appVersion
            color: "#8A8AA0"
            font.pixelSize: 13
        }
    }
}

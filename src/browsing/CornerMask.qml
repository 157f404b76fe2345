import QtQuick
import ClipDock

// Rounds the corners of what lies beneath by painting over them in the colour around it: a ring
// whose inner edge is the rounded rectangle. Cheaper than a masking layer for every grid cell.
Rectangle {
    property real cornerRadius: 12
    property color surroundColor: Theme.background
    readonly property real reach: 3

    anchors.fill: parent
    anchors.margins: -reach
    radius: cornerRadius + reach
    color: "transparent"
    border.width: reach
    border.color: surroundColor
    Accessible.ignored: true
}

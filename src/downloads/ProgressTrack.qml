import QtQuick
import ClipDock

// A capsule track with a capsule fill across `fraction` of its width. The fill never gets shorter
// than `minimumFill`, so nothing done yet still shows a stub.
Item {
    id: track

    property real fraction: 0
    property real barHeight: 4
    property real minimumFill: 4
    property bool brandFill: true
    property color fillColor: Theme.accent
    // Eases the fill to each new width.
    property bool animated: false

    readonly property real fillWidth: Math.max(minimumFill, width * Math.min(1, Math.max(0, fraction)))

    implicitHeight: barHeight
    Accessible.role: Accessible.ProgressBar

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        color: Theme.surfaceElevated
    }
    Item {
        objectName: "fill"
        width: track.fillWidth
        height: parent.height
        Behavior on width {
            enabled: track.animated
            NumberAnimation { duration: 250; easing.type: Easing.OutCubic }
        }

        BrandFill {
            anchors.fill: parent
            visible: track.brandFill
            radius: height / 2
        }
        Rectangle {
            anchors.fill: parent
            visible: !track.brandFill
            radius: height / 2
            color: track.fillColor
        }
    }
}

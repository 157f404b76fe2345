import QtQuick
import ClipDock

// The placeholder of an image that is still loading: a band of light sweeps across it from left
// to right once every 1.2 s.
Rectangle {
    id: shimmer

    property real phase: -1

    color: Theme.surfaceElevated
    clip: true
    Accessible.ignored: true

    Rectangle {
        width: shimmer.width
        height: shimmer.height
        x: shimmer.phase * 200
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0; color: "transparent" }
            GradientStop { position: 0.5; color: Qt.rgba(1, 1, 1, 0.08) }
            GradientStop { position: 1; color: "transparent" }
        }
    }

    NumberAnimation on phase {
        from: -1
        to: 1
        duration: 1200
        loops: Animation.Infinite
        running: shimmer.visible
    }
}

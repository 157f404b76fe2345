import QtQuick
import ClipDock

// The card background: an opaque surface with a faint white hairline.
Rectangle {
    property real cornerRadius: 12

    radius: cornerRadius
    color: Theme.surface
    border.color: Theme.stroke
    border.width: 1
}

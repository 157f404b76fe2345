import QtQuick
import ClipDock

// Shows which control has the keyboard focus: a ring round its shape, `gap` outside it (inside
// when negative, for controls that clip). Controls show it for focus that came from the keyboard
// only; other items take the focus from the keyboard alone.
Rectangle {
    id: ring

    property Item target: parent
    // The corner radius of the target's shape.
    property real targetRadius: 12
    property real gap: 3

    x: -gap
    y: -gap
    width: target.width + 2 * gap
    height: target.height + 2 * gap
    z: 10
    radius: Math.max(0, targetRadius + gap)
    color: "transparent"
    border.color: Theme.focusRing
    border.width: 2
    visible: target.visualFocus !== undefined ? target.visualFocus : target.activeFocus
    Accessible.ignored: true
}

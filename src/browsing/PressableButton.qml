import QtQuick
import QtQuick.Controls.Basic
import ClipDock

// A button whose label shrinks to 96 % and dims to 85 % while it is held, springing back when it
// is released or the press slides off it. It adds no look of its own: the label and the
// background bring it. Tab reaches it without a click taking the focus; Space, Return and Enter
// press it, and a ring shows while the keyboard is on it. Screen readers call it by its text
// unless it names itself otherwise.
AbstractButton {
    id: control

    // The opacity when not held; a screen may dim the whole button.
    property real restingOpacity: 1
    // The corner radius of the ring: the background's own where it has one.
    property real focusRadius: background && background.radius !== undefined
                               ? background.radius : Math.min(height / 2, 12)

    padding: 0
    focusPolicy: Qt.TabFocus
    scale: down ? 0.96 : 1
    opacity: restingOpacity * (down ? 0.85 : 1)
    Accessible.role: Accessible.Button
    Accessible.name: text
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    Behavior on scale { Spring { response: 0.25; dampingFraction: 0.7 } }
    Behavior on opacity { Spring { response: 0.25; dampingFraction: 0.7 } }

    FocusRing { targetRadius: control.focusRadius }
}

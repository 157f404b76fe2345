import QtQuick
import QtQuick.Controls.Basic
import ClipDock

// A button whose label shrinks to 96 % and dims to 85 % while it is held, springing back when it
// is released or the press slides off it. It adds no look of its own: the label and the
// background bring it.
AbstractButton {
    id: control

    // The opacity when not held; a screen may dim the whole button.
    property real restingOpacity: 1

    padding: 0
    focusPolicy: Qt.NoFocus
    scale: down ? 0.96 : 1
    opacity: restingOpacity * (down ? 0.85 : 1)

    Behavior on scale { Spring { response: 0.25; dampingFraction: 0.7 } }
    Behavior on opacity { Spring { response: 0.25; dampingFraction: 0.7 } }
}

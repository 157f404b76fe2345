import QtQuick
import ClipDock

// A round icon button on the surface colour with a hairline.
PressableButton {
    id: button

    property string symbol
    property real symbolSize: 16
    property real diameter: 36

    implicitWidth: diameter
    implicitHeight: diameter

    background: Rectangle {
        radius: width / 2
        color: Theme.surface
        border.color: Theme.stroke
        border.width: 1
    }
    contentItem: Icon {
        symbol: button.symbol
        size: button.symbolSize
        color: Theme.textPrimary
    }
}

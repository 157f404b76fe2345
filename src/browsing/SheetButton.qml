import QtQuick
import QtQuick.Layouts
import ClipDock

// One of a sheet's two bottom buttons, sharing the row's width: "Cancel" on the surface with a
// hairline, or the primary action on the brand gradient with its glow. Disabled, it is drawn at
// half opacity. A title too long for the button shrinks, and is cut short only below 10 points.
PressableButton {
    id: button

    property bool primary: false
    property string symbol

    Layout.fillWidth: true
    Layout.preferredWidth: 1
    implicitHeight: 50
    restingOpacity: enabled ? 1 : 0.5

    background: Item {
        BrandFill {
            anchors.fill: parent
            visible: button.primary
            radius: 16
            shadowColor: Theme.withAlpha(Theme.accent, 0.35)
            shadowRadius: 16
            shadowY: 8
        }
        Rectangle {
            anchors.fill: parent
            visible: !button.primary
            radius: 16
            color: Theme.surface
            border.color: Theme.stroke
            border.width: 1
        }
    }
    contentItem: Item {
        Row {
            id: label
            anchors.centerIn: parent
            spacing: 6
            Icon {
                id: symbolIcon
                anchors.verticalCenter: parent.verticalCenter
                visible: button.symbol.length > 0
                symbol: button.symbol
                size: 17
                color: "white"
            }
            Text {
                objectName: button.objectName + "Label"
                anchors.verticalCenter: parent.verticalCenter
                // What the button leaves beside the symbol, 12 in from either edge.
                width: Math.min(implicitWidth, button.width - 24
                                - (symbolIcon.visible ? symbolIcon.width + label.spacing : 0))
                text: button.text
                color: button.primary ? "white" : Theme.textPrimary
                font.pixelSize: 15
                font.weight: Font.DemiBold
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 10
                elide: Text.ElideRight
                verticalAlignment: Text.AlignVCenter
            }
        }
    }
}

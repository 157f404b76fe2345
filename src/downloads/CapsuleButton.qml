import QtQuick
import ClipDock

// A small action of the download sheet: an optional symbol and a title side by side, on the
// capsule its user supplies as the background.
PressableButton {
    id: button

    property string symbol
    property color textColor: "white"
    property real fontSize: 11
    property int symbolWeight: Font.DemiBold

    implicitWidth: label.implicitWidth + 22
    implicitHeight: 26

    contentItem: Item {
        Row {
            id: label
            anchors.centerIn: parent
            spacing: 5

            Icon {
                anchors.verticalCenter: parent.verticalCenter
                visible: button.symbol !== ""
                symbol: button.symbol
                size: 10
                font.weight: button.symbolWeight
                color: button.textColor
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: button.text
                color: button.textColor
                font.pixelSize: button.fontSize
                font.weight: Font.DemiBold
            }
        }
    }
}

import QtQuick
import QtQuick.Layouts
import ClipDock

// Why the last fetch failed, shown while the phase is an error. It keeps the message while it
// fades out, so the text does not vanish before the note does.
Item {
    id: note

    required property ReelsViewModel viewModel
    readonly property bool shown: viewModel.phase === ReelsViewModel.Error
    property string message

    implicitHeight: box.implicitHeight
    visible: opacity > 0.01
    opacity: shown ? 1 : 0
    Behavior on opacity { Spring { response: 0.45; dampingFraction: 0.85 } }

    transform: Translate {
        y: note.shown ? 0 : -note.height
        Behavior on y { Spring { response: 0.45; dampingFraction: 0.85; epsilon: 0.25 } }
    }

    Component.onCompleted: message = viewModel.errorMessage

    Connections {
        target: note.viewModel
        function onPhaseChanged() {
            if (note.shown)
                note.message = note.viewModel.errorMessage
        }
    }

    Rectangle {
        id: box
        width: parent.width
        implicitHeight: row.implicitHeight + 20
        radius: 12
        color: Theme.withAlpha(Theme.red, 0.12)

        RowLayout {
            id: row
            anchors.fill: parent
            anchors.leftMargin: 14
            anchors.rightMargin: 14
            anchors.topMargin: 10
            anchors.bottomMargin: 10
            spacing: 8

            Icon {
                symbol: "exclamationmark.triangle.fill"
                size: 13
                color: Theme.withAlpha(Theme.red, 0.85)
            }
            Text {
                objectName: "errorText"
                Layout.fillWidth: true
                text: note.message
                color: Theme.withAlpha(Theme.red, 0.85)
                font.pixelSize: 13
                font.weight: Font.Medium
                wrapMode: Text.WordWrap
            }
        }
    }
}

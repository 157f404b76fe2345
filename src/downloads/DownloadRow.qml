import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import ClipDock

// One item of the download queue: its thumbnail, title, state badge, bar and failure message,
// and the actions its state allows. The owner decides what each action does.
GlassCard {
    id: row

    required property string itemId
    required property string title
    required property url thumbnailURL
    required property string stateKind // "idle", "queued", "downloading", "completed", "failed"
    required property real progress
    required property int percent
    required property string message
    required property url fileURL
    required property bool alreadySaved // completed by a file an earlier run saved

    signal cancelRequested()
    signal retryRequested()
    signal openRequested(url file)
    signal revealRequested(url file)

    readonly property bool failed: stateKind === "failed"
    readonly property bool completed: stateKind === "completed"
    readonly property bool running: stateKind === "downloading" || stateKind === "queued"

    cornerRadius: 14
    implicitHeight: Math.max(content.implicitHeight, 60) + 24
    Accessible.role: Accessible.ListItem
    Accessible.name: title
    Accessible.description: row.failed ? row.message : badgeText.text

    RowLayout {
        id: content
        anchors.fill: parent
        anchors.margins: 12
        spacing: 12

        // The thumbnail, its corners rounded by a frame in the card's colour laid over it.
        Rectangle {
            Layout.preferredWidth: 44
            Layout.preferredHeight: 60
            Layout.alignment: Qt.AlignVCenter
            color: Theme.surfaceElevated
            radius: 8

            Image {
                anchors.fill: parent
                source: row.thumbnailURL
                fillMode: Image.PreserveAspectCrop
                asynchronous: true
                visible: status === Image.Ready
            }
            Rectangle {
                readonly property real frame: 6
                x: -frame
                y: -frame
                width: parent.width + 2 * frame
                height: parent.height + 2 * frame
                radius: parent.radius + frame
                color: "transparent"
                border.color: Theme.surface
                border.width: frame
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignVCenter
            spacing: 7

            // The badge beside the title, or under it when the two do not fit on one line.
            Item {
                id: heading
                readonly property bool oneLine: !badge.visible
                                                || titleText.implicitWidth + 8 + badge.width <= width
                Layout.fillWidth: true
                implicitWidth: titleText.implicitWidth + 8 + badge.implicitWidth
                implicitHeight: oneLine ? Math.max(titleText.height, badge.height)
                                        : titleText.height + 3 + badge.height

                Text {
                    id: titleText
                    width: heading.oneLine && badge.visible ? heading.width - 8 - badge.width
                                                            : heading.width
                    y: heading.oneLine ? (heading.height - height) / 2 : 0
                    text: row.title
                    color: Theme.textPrimary
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    elide: Text.ElideRight
                }
                Row {
                    id: badge
                    objectName: "badge"
                    x: heading.oneLine ? heading.width - width : 0
                    y: heading.oneLine ? (heading.height - height) / 2 : titleText.height + 3
                    spacing: 4
                    visible: row.stateKind !== "idle"

                    readonly property color tint: row.completed ? Theme.withAlpha(Theme.green, 0.9)
                                                : row.failed ? Theme.withAlpha(Theme.red, 0.85)
                                                : row.stateKind === "queued" ? Theme.textTertiary
                                                : Theme.textSecondary

                    Icon {
                        anchors.verticalCenter: parent.verticalCenter
                        visible: row.completed
                        symbol: "checkmark.circle.fill"
                        size: 12
                        color: parent.tint
                    }
                    Text {
                        id: badgeText
                        objectName: "badgeText"
                        anchors.verticalCenter: parent.verticalCenter
                        text: row.completed ? (row.alreadySaved ? qsTr("Already saved") : qsTr("Saved"))
                            : row.failed ? qsTr("Failed")
                            : row.stateKind === "queued" ? qsTr("Queued")
                            : row.stateKind === "downloading" ? qsTr("%1%").arg(row.percent) : ""
                        color: parent.tint
                        font.pixelSize: 11
                        font.weight: Font.DemiBold
                    }
                }
            }

            ProgressTrack {
                objectName: "rowBar"
                Accessible.name: row.title
                Layout.fillWidth: true
                barHeight: 4
                minimumFill: 4
                fraction: row.progress
                brandFill: !row.failed && !row.completed
                fillColor: row.failed ? Theme.withAlpha(Theme.red, 0.7)
                                      : Theme.withAlpha(Theme.green, 0.85)
            }

            Text {
                objectName: "messageText"
                Layout.fillWidth: true
                visible: row.failed
                text: row.message
                color: Theme.withAlpha(Theme.red, 0.85)
                font.pixelSize: 11
                font.weight: Font.Medium
                wrapMode: Text.Wrap
            }
        }

        Row {
            Layout.alignment: Qt.AlignVCenter
            spacing: 6

            PressableButton {
                objectName: "cancelButton"
                visible: row.running
                text: qsTr("Cancel")
                implicitWidth: cancelGlyph.implicitWidth + 20
                implicitHeight: 26
                background: Rectangle {
                    radius: height / 2
                    color: Theme.surfaceElevated
                }
                contentItem: Icon {
                    id: cancelGlyph
                    symbol: "xmark"
                    size: 11
                    font.weight: Font.DemiBold
                    color: Theme.textSecondary
                }
                onClicked: row.cancelRequested()
            }
            CapsuleButton {
                objectName: "openButton"
                visible: row.completed
                text: qsTr("Open")
                symbol: "play.fill"
                background: BrandFill { radius: height / 2 }
                onClicked: row.openRequested(row.fileURL)
            }
            CapsuleButton {
                objectName: "revealButton"
                visible: row.completed
                text: FileActions.revealLabel
                symbol: "folder"
                background: BrandFill { radius: height / 2 }
                onClicked: row.revealRequested(row.fileURL)
            }
            CapsuleButton {
                objectName: "retryButton"
                visible: row.failed
                text: qsTr("Retry")
                symbol: "arrow.clockwise"
                background: BrandFill { radius: height / 2 }
                onClicked: row.retryRequested()
            }
        }
    }
}

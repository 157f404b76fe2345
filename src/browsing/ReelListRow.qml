import QtQuick
import QtQuick.Layouts
import ClipDock

// One reel in the list: its picture (a tap plays it), its number, duration and counts, the
// progress of its download, and a button that downloads it now; in selection mode a selection
// circle instead of the button.
Rectangle {
    id: row

    required property int index
    required property string reelId
    required property url thumbnailURL
    required property var durationSeconds
    required property var viewCount
    required property var likeCount
    required property bool selected
    property bool isSelectionMode: false
    // A DownloadState, or undefined while the reel was never queued.
    property var downloadState
    readonly property string downloadKind: ProfilePresentation.downloadKind(downloadState)

    signal tapped()
    signal longPressed()
    signal play()
    signal download()

    implicitHeight: 100
    radius: 16
    color: selected ? Theme.withAlpha(Theme.accent, 0.1) : Theme.surface
    border.color: selected ? Theme.withAlpha(Theme.accent, 0.6) : Theme.stroke
    border.width: selected ? 1.5 : 1
    Behavior on color { ColorAnimation { duration: 200 } }

    // Tab reaches the row; Space, Return or Enter play the reel, or toggle it while selecting.
    activeFocusOnTab: true
    Keys.onSpacePressed: isSelectionMode ? tapped() : play()
    Keys.onReturnPressed: isSelectionMode ? tapped() : play()
    Keys.onEnterPressed: isSelectionMode ? tapped() : play()
    Accessible.role: Accessible.ListItem
    Accessible.name: reelNumber.text
    Accessible.description: qsTr("%1, %2 views, %3 likes").arg(ProfilePresentation.duration(durationSeconds))
                                                          .arg(ProfilePresentation.count(viewCount))
                                                          .arg(ProfilePresentation.count(likeCount))
    Accessible.selectable: isSelectionMode
    Accessible.selected: selected

    FocusRing { targetRadius: row.radius }

    MouseArea {
        anchors.fill: parent
        pressAndHoldInterval: 250
        onClicked: row.tapped()
        onPressAndHold: row.longPressed()
    }

    RowLayout {
        anchors.fill: parent
        anchors.margins: 10
        spacing: 12

        Item {
            id: thumbnail
            objectName: "rowThumbnail"
            Layout.preferredWidth: 56
            Layout.preferredHeight: 80

            ReelThumbnail {
                anchors.fill: parent
                source: row.thumbnailURL
                failureSymbolSize: 16
            }
            Rectangle {
                anchors.centerIn: parent
                visible: !row.isSelectionMode
                width: 28
                height: 28
                radius: 14
                color: Qt.rgba(0, 0, 0, 0.45)
                Icon {
                    anchors.centerIn: parent
                    symbol: "play.fill"
                    size: 14
                    color: "white"
                }
            }
            Rectangle {
                anchors.fill: parent
                visible: row.isSelectionMode && row.selected
                color: Qt.rgba(0, 0, 0, 0.3)
                Icon {
                    anchors.centerIn: parent
                    symbol: "checkmark.circle.fill"
                    size: 18
                    color: "white"
                }
            }
            CornerMask {
                cornerRadius: 10
                surroundColor: Qt.tint(Theme.background, row.color)
            }
            MouseArea {
                objectName: "thumbnailArea"
                anchors.fill: parent
                enabled: !row.isSelectionMode
                pressAndHoldInterval: 250
                onClicked: row.play()
                onPressAndHold: row.longPressed()
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 6

            RowLayout {
                Layout.fillWidth: true
                spacing: 6
                Text {
                    id: reelNumber
                    objectName: "reelNumberText"
                    text: qsTr("Reel #%1").arg(row.index + 1)
                    color: Theme.textPrimary
                    font.pixelSize: 14
                    font.weight: Font.DemiBold
                }
                Item { Layout.fillWidth: true }
                Rectangle {
                    implicitWidth: durationText.implicitWidth + 12
                    implicitHeight: durationText.implicitHeight + 4
                    radius: height / 2
                    color: Theme.surfaceElevated
                    Text {
                        id: durationText
                        objectName: "durationText"
                        anchors.centerIn: parent
                        text: ProfilePresentation.duration(row.durationSeconds)
                        color: Theme.textSecondary
                        font.pixelSize: 11
                        font.weight: Font.DemiBold
                    }
                }
            }
            Row {
                spacing: 14
                Repeater {
                    model: [ { symbol: "play.fill", value: row.viewCount, name: "viewCountText" },
                             { symbol: "heart.fill", value: row.likeCount, name: "likeCountText" } ]
                    Row {
                        required property var modelData
                        spacing: 4
                        Icon {
                            anchors.verticalCenter: parent.verticalCenter
                            symbol: modelData.symbol
                            size: 11
                            color: Theme.textSecondary
                        }
                        Text {
                            objectName: modelData.name
                            anchors.verticalCenter: parent.verticalCenter
                            text: ProfilePresentation.count(modelData.value)
                            color: Theme.textSecondary
                            font.pixelSize: 11
                            font.weight: Font.Medium
                        }
                    }
                }
            }
            Item {
                objectName: "progressBar"
                Layout.fillWidth: true
                Layout.preferredHeight: 3
                visible: row.downloadKind === "downloading"
                Rectangle {
                    anchors.fill: parent
                    radius: 1.5
                    color: Theme.surfaceElevated
                }
                Rectangle {
                    height: parent.height
                    width: Math.max(4, parent.width * ProfilePresentation.downloadProgress(row.downloadState))
                    radius: 1.5
                    gradient: Gradient {
                        orientation: Gradient.Horizontal
                        GradientStop { position: 0; color: Theme.brandStops[0] }
                        GradientStop { position: 0.5; color: Theme.brandStops[1] }
                        GradientStop { position: 1; color: Theme.brandStops[2] }
                    }
                }
            }
        }

        PressableButton {
            id: downloadButton
            objectName: "rowDownloadButton"
            visible: !row.isSelectionMode
            Accessible.name: qsTr("Download")
            implicitWidth: 36
            implicitHeight: 36
            background: Item {
                BrandFill {
                    anchors.fill: parent
                    radius: width / 2
                    visible: row.downloadKind !== "completed"
                }
                Rectangle {
                    anchors.fill: parent
                    radius: width / 2
                    visible: row.downloadKind === "completed"
                    color: Theme.withAlpha(Theme.green, 0.85)
                }
            }
            contentItem: Icon {
                objectName: "rowDownloadIcon"
                symbol: ProfilePresentation.downloadSymbol(row.downloadState)
                size: 14
                color: "white"
            }
            onClicked: row.download()
        }

        Item {
            objectName: "rowSelectionCircle"
            visible: row.isSelectionMode
            implicitWidth: 26
            implicitHeight: 26
            BrandFill {
                anchors.fill: parent
                radius: width / 2
                visible: row.selected
            }
            Rectangle {
                anchors.fill: parent
                radius: width / 2
                color: row.selected ? "transparent" : Theme.surfaceElevated
                border.color: Theme.stroke
                border.width: 1
            }
            Icon {
                anchors.centerIn: parent
                visible: row.selected
                symbol: "checkmark"
                size: 12
                font.bold: true
                color: "white"
            }
        }
    }
}

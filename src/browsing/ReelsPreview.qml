import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import ClipDock

// The loaded profile as a plain list of its reels, with a way back to the search and to the
// settings. Stands in for the full profile screen.
Rectangle {
    id: preview

    required property ReelsViewModel viewModel
    signal back()

    color: Theme.background

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 16
            spacing: 12

            CircleButton {
                objectName: "backButton"
                symbol: "chevron.left"
                onClicked: preview.back()
            }
            Text {
                Layout.fillWidth: true
                horizontalAlignment: Text.AlignHCenter
                text: preview.viewModel.hasProfile ? "@" + preview.viewModel.profile.username : ""
                color: Theme.textPrimary
                font.pixelSize: 15
                font.weight: Font.DemiBold
                elide: Text.ElideRight
            }
            CircleButton {
                objectName: "settingsButton"
                symbol: "gearshape.fill"
                onClicked: preview.viewModel.showingSettings = true
            }
        }

        ListView {
            id: list
            objectName: "reelList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: 10
            leftMargin: 16
            rightMargin: 16
            bottomMargin: 16
            model: preview.viewModel.reelModel

            delegate: GlassCard {
                required property int index
                required property string reelId
                required property url thumbnailURL
                required property date postedAt

                width: ListView.view.width - 32
                height: 72
                cornerRadius: 14

                Row {
                    anchors.fill: parent
                    anchors.margins: 8
                    spacing: 12

                    Rectangle {
                        width: 32
                        height: parent.height
                        radius: 6
                        color: Theme.surfaceElevated
                        clip: true
                        Image {
                            anchors.fill: parent
                            source: thumbnailURL
                            fillMode: Image.PreserveAspectCrop
                            asynchronous: true
                        }
                    }
                    Column {
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 4
                        Text {
                            text: "Reel #" + (index + 1)
                            color: Theme.textPrimary
                            font.pixelSize: 14
                            font.weight: Font.DemiBold
                        }
                        Text {
                            text: postedAt.toLocaleDateString(Qt.locale(), Locale.ShortFormat)
                            color: Theme.textSecondary
                            font.pixelSize: 11
                            font.weight: Font.Medium
                        }
                    }
                }
            }

            footer: Item {
                width: ListView.view.width
                height: preview.viewModel.isLoadingMore ? 48 : 0
                Spinner {
                    anchors.centerIn: parent
                    visible: preview.viewModel.isLoadingMore
                    color: Theme.textSecondary
                }
            }
        }
    }
}

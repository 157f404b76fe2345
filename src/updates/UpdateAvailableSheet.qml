import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import ClipDock

// Announces a newer release with its notes; the owner decides what the two buttons do.
Rectangle {
    id: sheet

    required property var info // UpdateInfo
    required property string installedVersion
    signal download()
    signal dismiss()

    color: Theme.background

    ColumnLayout {
        anchors.fill: parent
        spacing: 18

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            Layout.topMargin: 18
            spacing: 14

            BrandFill {
                implicitWidth: 52
                implicitHeight: 52
                radius: 14

                Icon {
                    anchors.centerIn: parent
                    symbol: "arrow.down.app.fill"
                    size: 24
                    color: "white"
                }
            }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 3

                Text {
                    text: qsTr("Update available")
                    color: Theme.textPrimary
                    font.pixelSize: 20
                    font.weight: Font.Bold
                }
                Text {
                    objectName: "versionText"
                    Layout.fillWidth: true
                    text: qsTr("Version %1 is ready to install.").arg(sheet.info.version)
                    color: Theme.textSecondary
                    font.pixelSize: 13
                    font.weight: Font.Medium
                    elide: Text.ElideRight
                }
                Text {
                    objectName: "installedText"
                    text: qsTr("Currently installed: %1").arg(sheet.installedVersion)
                    color: Theme.textTertiary
                    font.pixelSize: 11
                    font.weight: Font.Medium
                }
            }
        }

        // The notes as plain text, scrolling inside their card; the buttons stay put.
        GlassCard {
            objectName: "notesCard"
            visible: sheet.info.releaseNotes.length > 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.maximumHeight: notesScroll.contentHeight
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            cornerRadius: 14

            Flickable {
                id: notesScroll
                objectName: "notesScroll"
                anchors.fill: parent
                clip: true
                contentWidth: width
                contentHeight: notesText.implicitHeight + 28
                boundsBehavior: Flickable.StopAtBounds

                Text {
                    id: notesText
                    objectName: "notesText"
                    x: 14
                    y: 14
                    width: notesScroll.width - 28
                    text: sheet.info.releaseNotes
                    textFormat: Text.PlainText
                    wrapMode: Text.Wrap
                    color: Theme.textSecondary
                    font.pixelSize: 13
                    font.weight: Font.Medium
                }
            }
        }

        GlassCard {
            objectName: "noNotesCard"
            visible: !sheet.info.releaseNotes.length
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            implicitHeight: noNotes.implicitHeight + 28
            cornerRadius: 14

            RowLayout {
                id: noNotes
                anchors.fill: parent
                anchors.margins: 14
                spacing: 8

                Icon {
                    symbol: "doc.text"
                    size: 14
                    color: Theme.textTertiary
                }
                Text {
                    Layout.fillWidth: true
                    text: qsTr("No release notes provided.")
                    color: Theme.textTertiary
                    font.pixelSize: 12
                    font.weight: Font.Medium
                }
            }
        }

        Item {
            Layout.fillHeight: true
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            Layout.bottomMargin: 18
            spacing: 12

            PressableButton {
                id: laterButton
                objectName: "laterButton"
                text: qsTr("Later")
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                Layout.preferredHeight: 50

                background: Rectangle {
                    radius: 16
                    color: Theme.surface
                    border.color: Theme.stroke
                    border.width: 1
                }
                contentItem: Text {
                    text: laterButton.text
                    color: Theme.textPrimary
                    font.pixelSize: 15
                    font.weight: Font.DemiBold
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                onClicked: sheet.dismiss()
            }

            PressableButton {
                id: downloadButton
                objectName: "downloadButton"
                text: qsTr("Download update")
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                Layout.preferredHeight: 50

                background: BrandFill {
                    radius: 16
                    shadowColor: Theme.withAlpha(Theme.accent, 0.35)
                    shadowRadius: 16
                    shadowY: 8
                }
                contentItem: Item {
                    Row {
                        anchors.centerIn: parent
                        spacing: 8

                        Icon {
                            anchors.verticalCenter: parent.verticalCenter
                            symbol: "arrow.down.circle.fill"
                            size: 15
                            color: "white"
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: downloadButton.text
                            color: "white"
                            font.pixelSize: 15
                            font.weight: Font.DemiBold
                        }
                    }
                }
                onClicked: sheet.download()
            }
        }
    }
}

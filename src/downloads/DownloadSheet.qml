import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import ClipDock

// The download queue: a status line with the bulk actions, the overall progress, the way to the
// download folder and one row per item. All of it is the manager's, except why the folder could
// not be opened at the last try.
Rectangle {
    id: sheet

    required property DownloadManager manager
    required property DownloadDestination destination
    property string folderProblem

    color: Theme.background

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        // The title with the actions beside it when they fit there, else on a row of their own
        // below the status line; either way the actions keep one row. The status line runs
        // under both, cut short only when the sheet cannot hold it.
        Item {
            id: header
            readonly property bool actionsBeside: title.implicitWidth + 8 + actions.implicitWidth
                                                  <= width
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            Layout.topMargin: 18
            Layout.bottomMargin: 12
            implicitHeight: statusLine.y + statusLine.height
                            + (actionsBeside || actions.width === 0 ? 0 : 10 + actions.height)

            Text {
                id: title
                text: qsTr("Downloads")
                color: Theme.textPrimary
                font.pixelSize: 22
                font.weight: Font.Bold
            }
            Text {
                id: statusLine
                objectName: "statusLine"
                y: title.height + 2
                width: Math.min(implicitWidth, header.width)
                text: sheet.manager.statusLine
                color: Theme.textSecondary
                font.pixelSize: 13
                font.weight: Font.Medium
                elide: Text.ElideRight
            }

            Row {
                id: actions
                x: header.width - width
                y: header.actionsBeside ? (title.height - height) / 2
                                        : statusLine.y + statusLine.height + 10
                spacing: 6

                CapsuleButton {
                    objectName: "stopAllButton"
                    visible: sheet.manager.activeCount >= 1
                    text: qsTr("Stop all")
                    symbol: "stop.fill"
                    symbolWeight: Font.Bold
                    fontSize: 12
                    implicitHeight: 28
                    onClicked: sheet.manager.stopAll()

                    background: Rectangle {
                        radius: height / 2
                        color: Theme.withAlpha(Theme.red, 0.85)
                    }
                }
                CapsuleButton {
                    objectName: "retryFailedButton"
                    visible: sheet.manager.hasFailures
                    text: qsTr("Retry failed")
                    symbol: "arrow.clockwise"
                    symbolWeight: Font.Bold
                    fontSize: 12
                    implicitHeight: 28
                    onClicked: sheet.manager.retryAllFailed()

                    background: BrandFill {
                        radius: height / 2
                    }
                }
                CapsuleButton {
                    objectName: "clearFinishedButton"
                    visible: sheet.manager.completedCount + sheet.manager.failedCount >= 1
                    text: qsTr("Clear finished")
                    textColor: Theme.accent
                    fontSize: 12
                    implicitHeight: 28
                    onClicked: sheet.manager.clearFinished()

                    background: Rectangle {
                        radius: height / 2
                        color: Theme.withAlpha(Theme.accent, 0.14)
                        border.color: Theme.withAlpha(Theme.accent, 0.35)
                        border.width: 1
                    }
                }
            }
        }

        GlassCard {
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            implicitHeight: overall.implicitHeight + 28
            cornerRadius: 14

            ColumnLayout {
                id: overall
                anchors.fill: parent
                anchors.margins: 14
                spacing: 10

                RowLayout {
                    Layout.fillWidth: true

                    Text {
                        Layout.fillWidth: true
                        id: overallTitle
                        text: qsTr("Overall progress")
                        color: Theme.textTertiary
                        font.pixelSize: 12
                        font.weight: Font.Medium
                    }
                    Text {
                        objectName: "overallPercent"
                        text: qsTr("%1%").arg(sheet.manager.overallPercent)
                        color: Theme.textSecondary
                        font.pixelSize: 12
                        font.weight: Font.DemiBold
                    }
                }
                ProgressTrack {
                    objectName: "overallBar"
                    Accessible.name: overallTitle.text
                    Layout.fillWidth: true
                    barHeight: 6
                    minimumFill: 8
                    animated: true
                    fraction: sheet.manager.overallProgress
                }
            }
        }

        PressableButton {
            id: openFolderButton
            objectName: "openFolderButton"
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            Layout.topMargin: 12
            Layout.bottomMargin: folderNote.visible ? 8 : 12
            text: qsTr("Open download folder")
            implicitHeight: folderLabel.implicitHeight + 22
            onClicked: sheet.folderProblem = FileActions.openFolder(sheet.destination.folderURL)

            background: Rectangle {
                radius: 12
                color: Theme.withAlpha(Theme.accent, 0.10)
                border.color: Theme.withAlpha(Theme.accent, 0.30)
                border.width: 1
            }
            contentItem: Item {
                RowLayout {
                    id: folderLabel
                    anchors.fill: parent
                    anchors.leftMargin: 14
                    anchors.rightMargin: 14
                    spacing: 10

                    Icon {
                        symbol: "folder.fill"
                        size: 13
                        font.weight: Font.DemiBold
                        color: Theme.accent
                    }
                    Text {
                        Layout.fillWidth: true
                        text: openFolderButton.text
                        color: Theme.textPrimary
                        font.pixelSize: 13
                        font.weight: Font.DemiBold
                    }
                    Icon {
                        symbol: "arrow.up.right.square.fill"
                        size: 13
                        font.weight: Font.DemiBold
                        color: Theme.textSecondary
                    }
                }
            }
        }

        RowLayout {
            id: folderNote
            objectName: "folderNote"
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            Layout.bottomMargin: 12
            visible: sheet.folderProblem !== ""
            spacing: 8

            Icon {
                Layout.alignment: Qt.AlignTop
                symbol: "exclamationmark.triangle.fill"
                size: 12
                color: Theme.withAlpha(Theme.red, 0.85)
            }
            Text {
                objectName: "folderNoteText"
                Layout.fillWidth: true
                text: sheet.folderProblem
                color: Theme.withAlpha(Theme.red, 0.85)
                font.pixelSize: 12
                font.weight: Font.Medium
                wrapMode: Text.Wrap
            }
        }

        ListView {
            id: list
            objectName: "downloadList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: 10
            bottomMargin: 24
            boundsBehavior: Flickable.StopAtBounds
            model: sheet.manager.items

            delegate: DownloadRow {
                x: 20
                width: ListView.view.width - 40
                onCancelRequested: sheet.manager.cancel(itemId)
                onRetryRequested: sheet.manager.retry(itemId)
                onOpenRequested: file => FileActions.open(file)
                onRevealRequested: file => FileActions.reveal(file)
            }

            ScrollBar.vertical: ScrollBar { }
        }
    }
}

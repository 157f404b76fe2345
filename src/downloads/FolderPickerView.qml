import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Qt.labs.folderlistmodel
import ClipDock

// The app's own folder chooser, where the desktop has none: the folders inside the one shown, a
// way up, a new folder, and the buttons that take the folder shown or give up.
Rectangle {
    id: view

    required property FolderChooser chooser

    color: Theme.background

    function create() {
        if (chooser.createFolder(nameField.text))
            nameField.clear()
    }

    FolderListModel {
        id: folders
        folder: view.chooser.folder
        showFiles: false
        showHidden: false
        showDotAndDotDot: false
        sortCaseSensitive: false
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 14

        RowLayout {
            Layout.fillWidth: true
            spacing: 10

            Text {
                Layout.fillWidth: true
                text: qsTr("Choose Download Folder")
                color: Theme.textPrimary
                font.pixelSize: 20
                font.weight: Font.Bold
                elide: Text.ElideRight
            }
            CircleButton {
                objectName: "closeFolderButton"
                Accessible.name: qsTr("Close")
                diameter: 32
                symbol: "xmark"
                symbolSize: 13
                onClicked: view.chooser.cancel()
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 10

            CircleButton {
                objectName: "upButton"
                Accessible.name: qsTr("Parent folder")
                diameter: 32
                symbol: "chevron.left"
                symbolSize: 16
                enabled: view.chooser.canGoUp
                restingOpacity: enabled ? 1 : 0.4
                onClicked: view.chooser.goUp()
            }
            Icon {
                symbol: "folder.fill"
                size: 15
                color: Theme.accent
            }
            Text {
                objectName: "folderPathText"
                Layout.fillWidth: true
                text: view.chooser.displayPath
                color: Theme.textPrimary
                font.pixelSize: 14
                font.weight: Font.DemiBold
                elide: Text.ElideMiddle
            }
        }

        GlassCard {
            Layout.fillWidth: true
            Layout.fillHeight: true
            cornerRadius: 14

            ListView {
                id: list
                objectName: "folderList"
                anchors.fill: parent
                anchors.margins: 6
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                model: folders

                ScrollIndicator.vertical: ScrollIndicator { }

                delegate: PressableButton {
                    id: row

                    required property string fileName
                    required property url fileUrl

                    objectName: "folderRow_" + fileName
                    text: fileName
                    width: ListView.view.width
                    implicitHeight: 40
                    hoverEnabled: true
                    background: Rectangle {
                        radius: 10
                        color: row.hovered ? Theme.surfaceElevated : "transparent"
                    }
                    contentItem: RowLayout {
                        spacing: 10
                        Item { implicitWidth: 2 }
                        Icon {
                            symbol: "folder"
                            size: 16
                            color: Theme.textSecondary
                        }
                        Text {
                            Layout.fillWidth: true
                            text: row.text
                            color: Theme.textPrimary
                            font.pixelSize: 14
                            font.weight: Font.Medium
                            elide: Text.ElideRight
                        }
                        Icon {
                            symbol: "chevron.right"
                            size: 14
                            color: Theme.textTertiary
                        }
                        Item { implicitWidth: 2 }
                    }
                    onClicked: view.chooser.enter(fileUrl)
                }
            }

            Text {
                objectName: "noFoldersText"
                anchors.centerIn: parent
                visible: folders.status === FolderListModel.Ready && folders.count === 0
                text: qsTr("No folders inside")
                color: Theme.textTertiary
                font.pixelSize: 13
                font.weight: Font.Medium
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 10

            TextField {
                id: nameField
                objectName: "newFolderField"
                Layout.fillWidth: true
                implicitHeight: 40
                leftPadding: 12
                rightPadding: 12
                color: Theme.textPrimary
                selectionColor: Theme.withAlpha(Theme.accent, 0.5)
                selectedTextColor: "white"
                placeholderText: qsTr("New folder name")
                Accessible.role: Accessible.EditableText
                Accessible.name: placeholderText
                placeholderTextColor: Theme.textTertiary
                font.pixelSize: 14
                font.weight: Font.Medium
                background: Rectangle {
                    radius: 12
                    color: Theme.surfaceElevated
                    border.color: nameField.activeFocus ? Theme.withAlpha(Theme.accent, 0.6) : Theme.stroke
                    border.width: 1
                }
                onAccepted: view.create()
            }
            PressableButton {
                id: createButton
                objectName: "createFolderButton"
                text: qsTr("Create")
                implicitWidth: createRow.implicitWidth + 24
                implicitHeight: 40
                enabled: nameField.text.trim().length > 0
                restingOpacity: enabled ? 1 : 0.5
                background: Rectangle {
                    radius: 12
                    color: Theme.surfaceElevated
                    border.color: Theme.stroke
                    border.width: 1
                }
                contentItem: Item {
                    Row {
                        id: createRow
                        anchors.centerIn: parent
                        spacing: 6
                        Icon {
                            anchors.verticalCenter: parent.verticalCenter
                            symbol: "folder.badge.plus"
                            size: 15
                            color: Theme.accent
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: createButton.text
                            color: Theme.textPrimary
                            font.pixelSize: 14
                            font.weight: Font.DemiBold
                        }
                    }
                }
                onClicked: view.create()
            }
        }

        Text {
            objectName: "folderMessage"
            Layout.fillWidth: true
            visible: text.length > 0
            text: view.chooser.message
            color: Theme.red
            font.pixelSize: 12
            font.weight: Font.Medium
            wrapMode: Text.Wrap
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            SheetButton {
                objectName: "cancelFolderButton"
                text: qsTr("Cancel")
                onClicked: view.chooser.cancel()
            }
            SheetButton {
                objectName: "useFolderButton"
                primary: true
                text: qsTr("Use This Folder")
                onClicked: view.chooser.useFolder()
            }
        }
    }
}

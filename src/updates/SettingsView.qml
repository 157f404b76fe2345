import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Qt.labs.platform as Platform
import ClipDock

// Where downloads go, how many run at once, whether reels saved before are downloaded again, and
// the app's update status. Every change applies at once; there is nothing to save or cancel.
Rectangle {
    id: screen

    required property DownloadDestination destination
    required property AppSettings settings
    required property UpdateService updateService
    required property string appVersion
    signal close()

    readonly property string updateKind: UiCatalog.updateKind(updateService.state)
    readonly property bool checking: updateKind === "checking"

    color: Theme.background

    // A card's title row: an icon tile, a title and a subtitle.
    component CardTitle: RowLayout {
        id: titleRow

        property string symbol
        property bool brandTile: false
        property string title
        property string subtitle
        property int subtitleElide: Text.ElideNone

        Layout.fillWidth: true
        spacing: 12

        Item {
            implicitWidth: 44
            implicitHeight: 44

            BrandFill {
                anchors.fill: parent
                visible: titleRow.brandTile
                radius: 12
            }
            Rectangle {
                anchors.fill: parent
                visible: !titleRow.brandTile
                radius: 12
                color: Theme.surfaceElevated
            }
            Icon {
                anchors.centerIn: parent
                symbol: titleRow.symbol
                size: 18
                color: titleRow.brandTile ? "white" : Theme.accent
            }
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2

            Text {
                Layout.fillWidth: true
                text: titleRow.title
                color: Theme.textPrimary
                font.pixelSize: 14
                font.weight: Font.DemiBold
            }
            Text {
                objectName: titleRow.objectName + "Subtitle"
                Layout.fillWidth: true
                text: titleRow.subtitle
                color: Theme.textSecondary
                font.pixelSize: 12
                font.weight: Font.Medium
                elide: titleRow.subtitleElide
                wrapMode: titleRow.subtitleElide === Text.ElideNone ? Text.Wrap : Text.NoWrap
            }
        }
    }

    // A full-width brand button of the cards: an icon or a spinner, then a label.
    component CardButton: PressableButton {
        id: cardButton

        property string symbol
        property bool busy: false

        Layout.fillWidth: true
        Layout.preferredHeight: 44

        background: BrandFill {
            radius: 12
        }
        contentItem: Item {
            Row {
                anchors.centerIn: parent
                spacing: 8

                Spinner {
                    anchors.verticalCenter: parent.verticalCenter
                    visible: cardButton.busy
                    size: 14
                }
                Icon {
                    anchors.verticalCenter: parent.verticalCenter
                    visible: !cardButton.busy
                    symbol: cardButton.symbol
                    size: 14
                    color: "white"
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: cardButton.text
                    color: "white"
                    font.pixelSize: 14
                    font.weight: Font.DemiBold
                }
            }
        }
    }

    component Card: GlassCard {
        default property alias content: column.data

        Layout.fillWidth: true
        Layout.leftMargin: 20
        Layout.rightMargin: 20
        implicitHeight: column.implicitHeight + 32
        cornerRadius: 18

        ColumnLayout {
            id: column
            anchors.fill: parent
            anchors.margins: 16
            spacing: 14
        }
    }

    component StatusPill: Rectangle {
        id: pill

        property string symbol
        property string text
        property color tint

        implicitWidth: pillRow.implicitWidth + 24
        implicitHeight: pillRow.implicitHeight + 16
        radius: 10
        color: Theme.withAlpha(tint, 0.10)
        border.color: Theme.withAlpha(tint, 0.30)
        border.width: 1

        RowLayout {
            id: pillRow
            anchors.fill: parent
            anchors.leftMargin: 12
            anchors.rightMargin: 12
            anchors.topMargin: 8
            anchors.bottomMargin: 8
            spacing: 8

            Icon {
                symbol: pill.symbol
                size: 12
                color: pill.tint
            }
            Text {
                objectName: "statusText"
                Layout.fillWidth: true
                text: pill.text
                color: Theme.textSecondary
                font.pixelSize: 12
                font.weight: Font.Medium
                wrapMode: Text.Wrap
            }
        }
    }

    // The desktop's folder dialog where there is one, else the app's own in the sheet below.
    FolderChooser {
        id: folderChooser
        objectName: "folderChooser"
        destination: screen.destination
        window: screen.Window.window
        platformDialog: Platform.FolderDialog {
            title: qsTr("Choose Download Folder")
            acceptLabel: qsTr("Use This Folder")
            parentWindow: screen.Window.window
        }
    }

    Sheet {
        id: folderSheet
        objectName: "folderSheet"
        title: qsTr("Choose Download Folder")
        minimumWidth: 380
        minimumHeight: 440
        width: 420
        height: 520
        open: folderChooser.browsing
        onDismissed: folderChooser.cancel()

        Loader {
            anchors.fill: parent
            active: folderSheet.open
            sourceComponent: FolderPickerView {
                chooser: folderChooser
            }
        }
    }

    Flickable {
        anchors.fill: parent
        contentWidth: width
        contentHeight: content.implicitHeight + 18 + 12
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        ScrollIndicator.vertical: ScrollIndicator { }

        ColumnLayout {
            id: content
            y: 18
            width: parent.width
            spacing: 18

            RowLayout {
                Layout.fillWidth: true
                Layout.leftMargin: 20
                Layout.rightMargin: 20

                Text {
                    Layout.fillWidth: true
                    text: qsTr("Settings")
                    color: Theme.textPrimary
                    font.pixelSize: 22
                    font.weight: Font.Bold
                }
                CircleButton {
                    objectName: "closeButton"
                    Accessible.name: qsTr("Close")
                    diameter: 32
                    symbol: "xmark"
                    symbolSize: 13
                    onClicked: screen.close()
                }
            }

            Card {
                objectName: "folderCard"

                CardTitle {
                    objectName: "folderTitle"
                    brandTile: true
                    symbol: "folder.fill"
                    title: qsTr("Download folder")
                    subtitle: screen.destination.displayPath
                    subtitleElide: Text.ElideMiddle
                }
                CardButton {
                    objectName: "chooseFolderButton"
                    enabled: !folderChooser.choosing
                    symbol: "folder.badge.plus"
                    text: qsTr("Choose folder…")
                    onClicked: folderChooser.open()
                }
                Text {
                    objectName: "folderChoiceMessage"
                    Layout.fillWidth: true
                    visible: text.length > 0
                    text: folderChooser.browsing ? "" : folderChooser.message
                    color: Theme.red
                    font.pixelSize: 12
                    font.weight: Font.Medium
                    wrapMode: Text.Wrap
                }
            }

            Card {
                objectName: "concurrencyCard"

                CardTitle {
                    id: concurrencyTitle
                    symbol: "square.stack.3d.down.right.fill"
                    title: qsTr("Simultaneous downloads")
                    subtitle: qsTr("How many reels download at once when you tap Download All.")
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 8

                    Repeater {
                        model: [1, 2, 3, 5, 8, 10]

                        PressableButton {
                            id: choice

                            required property int modelData
                            readonly property bool current:
                                screen.settings.maxConcurrentDownloads === modelData

                            objectName: "choice" + modelData
                            text: modelData
                            Accessible.role: Accessible.RadioButton
                            Accessible.description: concurrencyTitle.title
                            Accessible.checkable: true
                            Accessible.checked: current
                            Layout.fillWidth: true
                            Layout.preferredWidth: 1
                            Layout.preferredHeight: 40

                            background: Item {
                                BrandFill {
                                    anchors.fill: parent
                                    visible: choice.current
                                    radius: 12
                                }
                                Rectangle {
                                    anchors.fill: parent
                                    visible: !choice.current
                                    radius: 12
                                    color: Theme.surfaceElevated
                                    border.color: Theme.stroke
                                    border.width: 1
                                }
                            }
                            contentItem: Text {
                                text: choice.text
                                color: choice.current ? "white" : Theme.textPrimary
                                font.pixelSize: 14
                                font.weight: Font.Bold
                                horizontalAlignment: Text.AlignHCenter
                                verticalAlignment: Text.AlignVCenter
                            }
                            onClicked: screen.settings.maxConcurrentDownloads = modelData
                        }
                    }
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 6

                    Icon {
                        Layout.alignment: Qt.AlignTop
                        symbol: "info.circle"
                        size: 11
                        color: Theme.textTertiary
                    }
                    Text {
                        Layout.fillWidth: true
                        text: qsTr("Higher numbers download faster but use more bandwidth and may hit Instagram rate limits.")
                        color: Theme.textTertiary
                        font.pixelSize: 11
                        font.weight: Font.Medium
                        wrapMode: Text.Wrap
                    }
                }
            }

            Card {
                objectName: "skipSavedCard"

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 12

                    CardTitle {
                        id: skipTitle
                        symbol: "checkmark.circle.fill"
                        title: qsTr("Skip reels already saved")
                        subtitle: qsTr("Reels whose file is already in the download folder are not downloaded again.")
                    }
                    Switch {
                        id: skipSwitch
                        objectName: "skipSavedSwitch"
                        Layout.alignment: Qt.AlignVCenter
                        padding: 0
                        implicitWidth: 46
                        implicitHeight: 28
                        checked: screen.settings.skipSavedReels
                        Accessible.role: Accessible.CheckBox
                        Accessible.name: skipTitle.title
                        Accessible.description: skipTitle.subtitle
                        // A click sets the setting; the switch then follows it again.
                        onToggled: {
                            screen.settings.skipSavedReels = checked
                            checked = Qt.binding(() => screen.settings.skipSavedReels)
                        }

                        indicator: Item {
                            anchors.fill: parent

                            BrandFill {
                                anchors.fill: parent
                                visible: skipSwitch.checked
                                radius: height / 2
                            }
                            Rectangle {
                                anchors.fill: parent
                                visible: !skipSwitch.checked
                                radius: height / 2
                                color: Theme.surfaceElevated
                                border.color: Theme.stroke
                                border.width: 1
                            }
                            Rectangle {
                                width: 22
                                height: 22
                                radius: 11
                                y: 3
                                x: skipSwitch.checked ? parent.width - width - 3 : 3
                                color: "white"
                                Behavior on x { NumberAnimation { duration: 120 } }
                            }
                        }
                        contentItem: Item { }

                        FocusRing { targetRadius: skipSwitch.height / 2 }
                    }
                }
            }

            Card {
                objectName: "updateCard"

                CardTitle {
                    symbol: "arrow.down.app.fill"
                    title: qsTr("Updates")
                    subtitle: qsTr("Current version %1").arg(screen.appVersion)
                }
                StatusPill {
                    objectName: "statusPill"
                    Layout.maximumWidth: parent.width
                    visible: screen.updateKind === "upToDate"
                             || screen.updateKind === "available"
                             || screen.updateKind === "failed"
                    symbol: screen.updateKind === "upToDate" ? "checkmark.seal.fill"
                          : screen.updateKind === "available" ? "sparkles"
                          : "exclamationmark.triangle.fill"
                    text: screen.updateKind === "upToDate" ? qsTr("You're up to date")
                        : screen.updateKind === "available"
                          ? qsTr("Version %1 available").arg(screen.updateService.state.info.version)
                        : screen.updateService.state.message
                    tint: screen.updateKind === "upToDate" ? Theme.green
                        : screen.updateKind === "available" ? Theme.accent
                        : Theme.withAlpha(Theme.red, 0.85)
                }
                CardButton {
                    objectName: "checkButton"
                    enabled: !screen.checking
                    busy: screen.checking
                    symbol: "arrow.clockwise"
                    text: screen.checking ? qsTr("Checking…")
                        : screen.updateKind === "available"
                          ? qsTr("Get version %1").arg(screen.updateService.state.info.version)
                        : qsTr("Check for updates")
                    onClicked: screen.updateService.check(false)
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.leftMargin: 20
                Layout.rightMargin: 20
                implicitHeight: infoRow.implicitHeight + 28
                radius: 14
                color: Theme.withAlpha(Theme.accent, 0.08)
                border.color: Theme.withAlpha(Theme.accent, 0.25)
                border.width: 1

                RowLayout {
                    id: infoRow
                    anchors.fill: parent
                    anchors.margins: 14
                    spacing: 10

                    Icon {
                        Layout.alignment: Qt.AlignTop
                        symbol: "info.circle.fill"
                        size: 14
                        color: Theme.accent
                    }
                    Text {
                        objectName: "folderNote"
                        Layout.fillWidth: true
                        // The grant that keeps a chosen folder writable exists only on macOS;
                        // elsewhere the folder is simply remembered.
                        text: Qt.platform.os === "osx"
                              ? qsTr("Files are saved to the folder you pick. macOS keeps a permission grant so we can write there in future sessions too.")
                              : qsTr("Files are saved to the folder you pick. Clip Dock remembers it for future sessions too.")
                        color: Theme.textSecondary
                        font.pixelSize: 12
                        font.weight: Font.Medium
                        wrapMode: Text.Wrap
                    }
                }
            }
        }
    }
}

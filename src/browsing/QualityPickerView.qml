import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import ClipDock

// "Download options": one quality for the batch, optionally a date range when nothing is
// selected, and a button that says how many reels a confirmation downloads. The choices are
// written to the view model at once; the owner enqueues and closes the sheet.
Rectangle {
    id: picker

    required property ReelsViewModel viewModel
    // The date card shows only when nothing is selected.
    property bool showDateFilter: true
    property int reelCount: 0
    property bool showingCustomRange: false

    signal confirm()
    signal cancel()

    color: Theme.background

    Flickable {
        anchors.fill: parent
        contentHeight: content.implicitHeight + 18 + actions.height
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        ColumnLayout {
            id: content
            y: 18
            x: 20
            width: picker.width - 40
            spacing: 18

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 6
                Text {
                    text: qsTr("Download options")
                    color: Theme.textPrimary
                    font.pixelSize: 22
                    font.weight: Font.Bold
                }
                Text {
                    objectName: "optionsSubtitle"
                    Layout.fillWidth: true
                    text: ProfilePresentation.optionsSubtitle(picker.reelCount, picker.showDateFilter,
                                                              picker.viewModel.downloadDateFilter)
                    color: Theme.textSecondary
                    font.pixelSize: 13
                    font.weight: Font.Medium
                    elide: Text.ElideRight
                }
            }

            GlassCard {
                objectName: "dateRangeCard"
                visible: picker.showDateFilter
                Layout.fillWidth: true
                implicitHeight: dateCard.implicitHeight + 28
                cornerRadius: 18

                ColumnLayout {
                    id: dateCard
                    anchors.fill: parent
                    anchors.margins: 14
                    spacing: 12

                    RowLayout {
                        spacing: 10
                        Rectangle {
                            implicitWidth: 36
                            implicitHeight: 36
                            radius: 10
                            color: Theme.surfaceElevated
                            Icon {
                                anchors.centerIn: parent
                                symbol: "calendar"
                                size: 16
                                color: Theme.accent
                            }
                        }
                        ColumnLayout {
                            spacing: 2
                            Text {
                                id: dateRangeTitle
                                text: qsTr("Date range")
                                color: Theme.textPrimary
                                font.pixelSize: 14
                                font.weight: Font.DemiBold
                            }
                            Text {
                                text: qsTr("Optional — limit which reels are downloaded.")
                                color: Theme.textSecondary
                                font.pixelSize: 11
                                font.weight: Font.Medium
                            }
                        }
                    }

                    PressableButton {
                        id: dateButton
                        objectName: "optionsDateButton"
                        readonly property bool allTime: ProfilePresentation.isAllTime(picker.viewModel.downloadDateFilter)
                        text: picker.viewModel.downloadDateFilter.shortLabel
                        Accessible.role: Accessible.ButtonMenu
                        Accessible.description: dateRangeTitle.text
                        Layout.fillWidth: true
                        implicitHeight: 42
                        background: Item {
                            BrandFill {
                                anchors.fill: parent
                                radius: 12
                                visible: !dateButton.allTime
                            }
                            Rectangle {
                                anchors.fill: parent
                                radius: 12
                                visible: dateButton.allTime
                                color: Theme.surfaceElevated
                            }
                        }
                        contentItem: Item {
                            RowLayout {
                                anchors.fill: parent
                                anchors.leftMargin: 14
                                anchors.rightMargin: 14
                                spacing: 8
                                Icon {
                                    symbol: "calendar.badge.clock"
                                    size: 15
                                    color: dateButton.allTime ? Theme.accent : "white"
                                }
                                Text {
                                    objectName: "optionsDateLabel"
                                    text: dateButton.text
                                    color: dateButton.allTime ? Theme.textPrimary : "white"
                                    font.pixelSize: 13
                                    font.weight: Font.DemiBold
                                }
                                Item { Layout.fillWidth: true }
                                Icon {
                                    symbol: "chevron.up.chevron.down"
                                    size: 14
                                    color: dateButton.allTime ? Theme.textSecondary : "white"
                                }
                            }
                        }
                        onClicked: dateMenu.popup(dateButton, 0, dateButton.height + 4)

                        DateFilterMenu {
                            id: dateMenu
                            objectName: "optionsDateMenu"
                            filter: picker.viewModel.downloadDateFilter
                            onPresetChosen: preset => picker.viewModel.downloadDateFilter = preset
                            onCustomChosen: picker.showingCustomRange = true
                        }
                    }
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 10

                Repeater {
                    model: ProfilePresentation.qualityEntries()

                    PressableButton {
                        id: qualityRow
                        required property var modelData
                        readonly property bool isSelected: picker.viewModel.selectedQuality === modelData.raw
                        objectName: "quality " + modelData.raw
                        text: modelData.title
                        Accessible.role: Accessible.RadioButton
                        Accessible.description: modelData.subtitle
                        Accessible.checkable: true
                        Accessible.checked: isSelected
                        Layout.fillWidth: true
                        implicitHeight: 72
                        background: Rectangle {
                            radius: 16
                            color: Theme.surface
                            border.color: qualityRow.isSelected ? Theme.withAlpha(Theme.accent, 0.6)
                                                                : Theme.stroke
                            border.width: qualityRow.isSelected ? 1.5 : 1
                        }
                        contentItem: Item {
                            RowLayout {
                                anchors.fill: parent
                                anchors.margins: 14
                                spacing: 14

                                Item {
                                    implicitWidth: 44
                                    implicitHeight: 44
                                    BrandFill {
                                        anchors.fill: parent
                                        radius: 12
                                        visible: qualityRow.isSelected
                                    }
                                    Rectangle {
                                        anchors.fill: parent
                                        radius: 12
                                        visible: !qualityRow.isSelected
                                        color: Theme.surfaceElevated
                                    }
                                    Icon {
                                        anchors.centerIn: parent
                                        symbol: qualityRow.modelData.symbol
                                        size: 20
                                        color: "white"
                                    }
                                }
                                ColumnLayout {
                                    Layout.fillWidth: true
                                    spacing: 3
                                    Text {
                                        text: qualityRow.text
                                        color: Theme.textPrimary
                                        font.pixelSize: 15
                                        font.weight: Font.DemiBold
                                    }
                                    Text {
                                        Layout.fillWidth: true
                                        text: qualityRow.modelData.subtitle
                                        color: Theme.textSecondary
                                        font.pixelSize: 12
                                        font.weight: Font.Medium
                                        elide: Text.ElideRight
                                    }
                                }
                                Rectangle {
                                    objectName: "radioMark"
                                    implicitWidth: 22
                                    implicitHeight: 22
                                    radius: 11
                                    color: "transparent"
                                    border.color: qualityRow.isSelected ? Theme.accent : Theme.stroke
                                    border.width: 2
                                    BrandFill {
                                        anchors.centerIn: parent
                                        width: 14
                                        height: 14
                                        radius: 7
                                        visible: qualityRow.isSelected
                                    }
                                }
                            }
                        }
                        onClicked: picker.viewModel.selectedQuality = modelData.raw
                    }
                }
            }
        }
    }

    // Pinned to the bottom over the list.
    Item {
        id: actions
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 50 + 12 + 18

        Rectangle {
            anchors.fill: parent
            gradient: Gradient {
                GradientStop { position: 0; color: Theme.withAlpha(Theme.background, 0) }
                GradientStop { position: 0.3; color: Theme.background }
            }
        }
        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 20
            anchors.rightMargin: 20
            anchors.topMargin: 12
            anchors.bottomMargin: 18
            spacing: 12

            SheetButton {
                objectName: "cancelButton"
                text: qsTr("Cancel")
                onClicked: picker.cancel()
            }
            SheetButton {
                objectName: "downloadButton"
                primary: true
                symbol: "arrow.down.circle.fill"
                text: ProfilePresentation.downloadButtonText(picker.reelCount)
                enabled: picker.reelCount > 0
                onClicked: picker.confirm()
            }
        }
    }

    // The options' own custom range sheet, for the download filter.
    Sheet {
        id: rangeSheet
        objectName: "optionsRangeSheet"
        title: qsTr("Custom date range")
        minimumWidth: 380
        minimumHeight: 360
        width: 420
        height: 380
        open: picker.showingCustomRange
        onDismissed: picker.showingCustomRange = false

        Loader {
            anchors.fill: parent
            active: rangeSheet.open
            sourceComponent: CustomDateRangeSheet {
                viewModel: picker.viewModel
                onApply: {
                    picker.viewModel.applyCustomRange(true)
                    picker.showingCustomRange = false
                }
                onCancel: picker.showingCustomRange = false
            }
        }
    }
}

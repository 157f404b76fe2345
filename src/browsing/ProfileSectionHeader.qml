import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import ClipDock

// Above the reels: how many are shown and selected, whether more are loading or why no more
// came, the date filter, the number of columns and the selection buttons. When the window is too
// narrow for the counts and the controls on one row, the controls move to a second row on the
// right. Whether more are loading takes the room left between the counts and the controls and
// never more, so its coming and going moves nothing. Why no more came is a line of its own below
// them, whole: it stays until the next search, and a reason cut short would tell nothing. While
// the platform has asked for a pause, a line in the same place counts it down and offers to stop.
Item {
    id: section

    required property ReelsViewModel viewModel
    readonly property bool selecting: viewModel.isSelectionMode
    readonly property bool twoRows: counts.implicitWidth + 10 + controls.implicitWidth > width
    // Where the loading pill starts, and the room it has.
    readonly property real statusX: counts.implicitWidth + counts.spacing
    readonly property real statusRoom: Math.max(0, (twoRows ? width : controls.x - 10) - statusX)

    signal customRangeRequested()

    readonly property real rowsHeight: twoRows ? counts.height + 10 + controls.implicitHeight
                                               : Math.max(counts.height, controls.implicitHeight)
    implicitHeight: rowsHeight + (moreNote.shown ? 10 + moreNote.height : 0)
                    + (waitNote.shown ? 10 + waitNote.height : 0)

    RowLayout {
        id: counts
        anchors.left: parent.left
        y: section.twoRows ? 0 : (section.rowsHeight - height) / 2
        height: 30
        spacing: 10

        Text {
            objectName: "reelCountText"
            text: ProfilePresentation.reelCountText(section.viewModel.filteredModel.count,
                                                    section.viewModel.reelCount)
            color: Theme.textPrimary
            font.pixelSize: 14
            font.weight: Font.DemiBold
        }
        Text {
            visible: section.selecting
            text: "·"
            Accessible.ignored: true
            color: Theme.textTertiary
            font.pixelSize: 13
        }
        Text {
            objectName: "selectedCountText"
            visible: section.selecting
            text: qsTr("%1 selected").arg(section.viewModel.selectedCount)
            color: Theme.accent
            font.pixelSize: 13
            font.weight: Font.Medium
        }
    }

    Rectangle {
        id: loadingPill
        objectName: "loadingMorePill"
        // The words only where they fit at 9 points or more; else the spinner says it alone.
        readonly property bool worded:
            section.statusRoom >= 20 + spinner.width + loadingRow.spacing + smallestWords.width

        x: section.statusX
        y: counts.y + (counts.height - height) / 2
        width: loadingRow.width + 20
        height: 26
        radius: 13
        color: Theme.surface
        border.color: Theme.stroke
        border.width: 1
        visible: opacity > 0.01
        opacity: section.viewModel.isLoadingMore ? 1 : 0
        scale: section.viewModel.isLoadingMore ? 1 : 0.00001
        Behavior on opacity { Spring { response: 0.32; dampingFraction: 0.85 } }
        Behavior on scale { Spring { response: 0.32; dampingFraction: 0.85 } }
        Accessible.name: loadingWords.text

        TextMetrics {
            id: smallestWords
            font.pixelSize: 9
            font.weight: Font.DemiBold
            text: loadingWords.text
        }

        Row {
            id: loadingRow
            anchors.centerIn: parent
            spacing: 6
            Spinner {
                id: spinner
                anchors.verticalCenter: parent.verticalCenter
                size: 11
                color: Theme.accent
            }
            Text {
                id: loadingWords
                anchors.verticalCenter: parent.verticalCenter
                visible: loadingPill.worded
                width: Math.min(implicitWidth,
                                section.statusRoom - 20 - spinner.width - loadingRow.spacing)
                text: qsTr("Loading more…")
                color: Theme.textSecondary
                font.pixelSize: 11
                font.weight: Font.DemiBold
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 9
                verticalAlignment: Text.AlignVCenter
            }
        }

        HoverHandler { id: pillHover }
        ToolTip.visible: pillHover.hovered && !worded
        ToolTip.text: loadingWords.text
    }

    // Why no more reels came; the reels shown stay.
    Rectangle {
        id: moreNote
        objectName: "loadingMoreNote"

        readonly property string message: section.viewModel.loadingMoreError
        readonly property bool shown: message !== ""

        y: section.rowsHeight + 10
        width: section.width
        height: noteRow.implicitHeight + 16
        radius: 12
        color: Theme.withAlpha(Theme.red, 0.12)
        border.color: Theme.withAlpha(Theme.red, 0.3)
        border.width: 1
        visible: opacity > 0.01
        opacity: shown ? 1 : 0
        Behavior on opacity { Spring { response: 0.32; dampingFraction: 0.85 } }

        RowLayout {
            id: noteRow
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            anchors.leftMargin: 12
            anchors.rightMargin: 12
            spacing: 8
            Icon {
                Layout.alignment: Qt.AlignTop
                symbol: "exclamationmark.triangle.fill"
                size: 12
                color: Theme.withAlpha(Theme.red, 0.85)
            }
            Text {
                id: noteText
                objectName: "loadingMoreNoteText"
                Layout.fillWidth: true
                text: moreNote.message
                color: Theme.withAlpha(Theme.red, 0.85)
                font.pixelSize: 12
                font.weight: Font.DemiBold
                wrapMode: Text.Wrap
            }
        }
    }

    // The pause the platform asked for, counting down; stopping keeps the reels shown.
    Rectangle {
        id: waitNote
        objectName: "waitNote"

        readonly property bool shown: section.viewModel.waitSecondsLeft > 0

        y: section.rowsHeight + 10 + (moreNote.shown ? 10 + moreNote.height : 0)
        width: section.width
        height: Math.max(waitRow.implicitHeight + 12, 42)
        radius: 12
        color: Theme.withAlpha(Theme.accent, 0.08)
        border.color: Theme.withAlpha(Theme.accent, 0.25)
        border.width: 1
        visible: opacity > 0.01
        opacity: shown ? 1 : 0
        Behavior on opacity { Spring { response: 0.32; dampingFraction: 0.85 } }

        RowLayout {
            id: waitRow
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            anchors.leftMargin: 12
            anchors.rightMargin: 6
            spacing: 8
            Icon {
                symbol: "clock.fill"
                size: 12
                color: Theme.accent
            }
            Text {
                objectName: "waitNoteText"
                Layout.fillWidth: true
                text: section.viewModel.loadingStep
                color: Theme.textSecondary
                font.pixelSize: 12
                font.weight: Font.DemiBold
                wrapMode: Text.Wrap
            }
            PressableButton {
                id: stopButton
                objectName: "stopWaitingButton"
                enabled: waitNote.shown
                text: qsTr("Stop")
                implicitWidth: stopLabel.implicitWidth + 24
                implicitHeight: 30
                background: Rectangle {
                    radius: height / 2
                    color: Theme.surface
                    border.color: Theme.stroke
                    border.width: 1
                }
                contentItem: Text {
                    id: stopLabel
                    text: stopButton.text
                    color: Theme.textPrimary
                    font.pixelSize: 12
                    font.weight: Font.DemiBold
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                onClicked: section.viewModel.stopWaiting()
            }
        }
    }

    RowLayout {
        id: controls
        anchors.right: parent.right
        y: section.twoRows ? counts.height + 10 : (section.rowsHeight - height) / 2
        spacing: 10

        // The browsing date filter.
        PressableButton {
            id: dateButton
            objectName: "dateMenuButton"
            readonly property bool allTime: ProfilePresentation.isAllTime(section.viewModel.dateFilter)
            text: section.viewModel.dateFilter.shortLabel
            Accessible.role: Accessible.ButtonMenu
            Accessible.description: qsTr("Date filter")
            implicitHeight: 30
            leftPadding: 10
            rightPadding: 10
            background: Item {
                BrandFill {
                    anchors.fill: parent
                    radius: height / 2
                    visible: !dateButton.allTime
                }
                Rectangle {
                    anchors.fill: parent
                    radius: height / 2
                    visible: dateButton.allTime
                    color: Theme.surface
                    border.color: Theme.stroke
                    border.width: 1
                }
            }
            contentItem: Row {
                spacing: 4
                Icon {
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "calendar"
                    size: 11
                    color: dateButton.allTime ? Theme.textPrimary : "white"
                }
                Text {
                    objectName: "dateMenuLabel"
                    anchors.verticalCenter: parent.verticalCenter
                    text: dateButton.text
                    color: dateButton.allTime ? Theme.textPrimary : "white"
                    font.pixelSize: 12
                    font.weight: Font.DemiBold
                }
                Icon {
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "chevron.down"
                    size: 11
                    color: dateButton.allTime ? Theme.textPrimary : "white"
                }
            }
            onClicked: dateMenu.popup(dateButton, 0, dateButton.height + 4)

            DateFilterMenu {
                id: dateMenu
                objectName: "dateMenu"
                filter: section.viewModel.dateFilter
                onPresetChosen: preset => section.viewModel.dateFilter = preset
                onCustomChosen: section.customRangeRequested()
            }
        }

        // Columns of the grid.
        PressableButton {
            id: columnsButton
            objectName: "columnsMenuButton"
            visible: section.viewModel.layout === ReelsViewModel.Grid
            Accessible.role: Accessible.ButtonMenu
            Accessible.name: qsTr("%1 per row").arg(section.viewModel.gridColumns)
            implicitHeight: 30
            leftPadding: 10
            rightPadding: 10
            background: Rectangle {
                radius: height / 2
                color: Theme.surface
                border.color: Theme.stroke
                border.width: 1
            }
            contentItem: Row {
                spacing: 4
                Icon {
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "rectangle.split.3x1.fill"
                    size: 11
                }
                Text {
                    objectName: "columnsMenuLabel"
                    anchors.verticalCenter: parent.verticalCenter
                    text: section.viewModel.gridColumns
                    color: Theme.textPrimary
                    font.pixelSize: 12
                    font.weight: Font.Bold
                }
                Icon {
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "chevron.down"
                    size: 11
                }
            }
            onClicked: columnsMenu.popup(columnsButton, 0, columnsButton.height + 4)

            ChoiceMenu {
                id: columnsMenu
                objectName: "columnsMenu"
                background: Rectangle {
                    implicitWidth: 140
                    radius: 10
                    color: Theme.surfaceElevated
                    border.color: Theme.stroke
                }
                Instantiator {
                    model: ProfilePresentation.columnChoices()
                    delegate: ChoiceMenuItem {
                        required property int modelData
                        objectName: "columns" + modelData
                        text: qsTr("%1 per row").arg(modelData)
                        current: section.viewModel.gridColumns === modelData
                        onTriggered: section.viewModel.gridColumns = modelData
                    }
                    onObjectAdded: (index, object) => columnsMenu.insertItem(index, object)
                    onObjectRemoved: (index, object) => columnsMenu.removeItem(object)
                }
            }
        }

        PressableButton {
            id: selectButton
            objectName: "selectButton"
            text: section.selecting ? qsTr("Done") : qsTr("Select")
            implicitHeight: 30
            leftPadding: 12
            rightPadding: 12
            background: Item {
                BrandFill {
                    anchors.fill: parent
                    radius: height / 2
                    visible: section.selecting
                }
                Rectangle {
                    anchors.fill: parent
                    radius: height / 2
                    color: section.selecting ? "transparent" : Theme.surface
                    border.color: Theme.stroke
                    border.width: 1
                }
            }
            contentItem: Text {
                objectName: "selectButtonLabel"
                text: selectButton.text
                color: section.selecting ? "white" : Theme.textPrimary
                font.pixelSize: 13
                font.weight: Font.DemiBold
                verticalAlignment: Text.AlignVCenter
            }
            onClicked: section.viewModel.toggleSelectionMode()
        }

        PressableButton {
            id: selectAllButton
            objectName: "selectAllButton"
            visible: section.selecting
            text: ProfilePresentation.selectAllTitle(section.viewModel.selectedCount,
                                                     section.viewModel.reelCount)
            implicitHeight: 30
            contentItem: Text {
                objectName: "selectAllLabel"
                text: selectAllButton.text
                color: Theme.accent
                font.pixelSize: 12
                font.weight: Font.DemiBold
                verticalAlignment: Text.AlignVCenter
            }
            onClicked: section.viewModel.toggleSelectAll()
        }
    }
}
